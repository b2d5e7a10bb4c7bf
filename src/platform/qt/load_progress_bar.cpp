#include "platform/qt/load_progress_bar.h"

namespace quill {

namespace {

constexpr int bar_width = 360;
constexpr int bar_height = 28;

}  // namespace

load_progress_bar::load_progress_bar(QWidget* parent) : QProgressBar(parent) {
    setRange(0, 100);
    setValue(0);
    // Qt puts the share where %p stands.
    setFormat(QString::fromUtf8("Karte wird geladen … %p %"));
    setAlignment(Qt::AlignCenter);
    setGeometry((parent->width() - bar_width) / 2, (parent->height() - bar_height) / 2, bar_width,
                bar_height);
    show();
    raise();
}

void load_progress_bar::show_percent(int percent) {
    if (value() != percent) {
        setValue(percent);
    }
}

}  // namespace quill
