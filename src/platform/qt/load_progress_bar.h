#pragma once

#include <QProgressBar>

namespace quill {

// "Karte wird geladen … 43 %" in a bar in the middle of a window while a map loads.
class load_progress_bar : public QProgressBar {
public:
    explicit load_progress_bar(QWidget* parent);
    void show_percent(int percent);
};

}  // namespace quill
