#include <gtest/gtest.h>
#include <QImage>
#include <QProgressBar>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <set>
#include <string>

#include "platform_qt/qt_test_window.h"

namespace quill::test {
namespace {

using qt_map_loading = qt_main_window_test;

// A map large enough that its decoding outlasts a few turns of the waiting loop.
QString write_map(const QTemporaryDir& folder) {
    QImage map(3000, 3000, QImage::Format_RGB32);
    for (int y = 0; y < map.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(map.scanLine(y));
        for (int x = 0; x < map.width(); ++x) {
            line[x] = qRgb(x * 7 + y, (x ^ y) & 0xff, (x * y) >> 3);
        }
    }
    const QString path = folder.filePath("map.png");
    map.save(path, "PNG", 90);
    return path;
}

// While a map loads, the main window shows the share decoded, is drawn and takes no input; the
// bar is gone once the picture is in the store, and also after a load that fails.
TEST_F(qt_map_loading, a_map_load_shows_its_share_and_takes_no_input) {
    QTemporaryDir folder;
    const QString path = write_map(folder);
    platform.create_canvas(0, 0, 0, 0, 1286, 775, true);
    platform.show_windows_now();
    platform.set_progress_delay(0);
    QWidget* client = platform.client_widget(0);
    std::set<QString> texts;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (const auto* bar = client->findChild<QProgressBar*>()) {
            texts.insert(bar->text());
        }
        QTest::mouseClick(platform.widget_for_control(0), Qt::LeftButton);
    });
    watcher.start(5);
    const picture_handle map = platform.load_map_picture(path.toStdString());
    watcher.stop();

    EXPECT_EQ(platform.pictures().width(map), 3000);
    ASSERT_FALSE(texts.empty());
    const QRegularExpression shown(QString::fromUtf8("^Karte wird geladen … \\d{1,3} %$"));
    for (const QString& text : texts) {
        EXPECT_TRUE(shown.match(text).hasMatch()) << text.toStdString();
    }
    EXPECT_EQ(client->findChild<QProgressBar*>(), nullptr);
    EXPECT_TRUE(queued_control_events(0).empty());

    EXPECT_EQ(platform.load_map_picture(folder.filePath("fehlt.png").toStdString()), 0);
    EXPECT_EQ(client->findChild<QProgressBar*>(), nullptr);
}

}  // namespace
}  // namespace quill::test
