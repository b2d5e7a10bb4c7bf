#include <gmock/gmock.h>
#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

#include "platform/qt/file_filters.h"
#include "platform_qt/qt_test_window.h"

namespace quill::test {
namespace {

using ::testing::ElementsAre;

TEST(qt_file_filters, pairs_become_qt_name_filters) {
    EXPECT_THAT(qt_name_filters("Partyaufstellung (*.qms)|*.qms|Altes Dateiformat (*.gls)|*.gls"),
                ElementsAre("Partyaufstellung (*.qms)", "Altes Dateiformat (*.gls)"));
    EXPECT_THAT(qt_name_filters("Bilder|*.png;*.jpg"), ElementsAre("Bilder (*.png *.jpg)"));
    EXPECT_THAT(qt_name_filters("Bilder (*.png;*.jpg)|*.png;*.jpg"),
                ElementsAre("Bilder (*.png *.jpg)"));
    // A closing "||" and a description without a pattern add nothing.
    EXPECT_THAT(qt_name_filters("Alle|*.*||"), ElementsAre("Alle (*.*)"));
    EXPECT_THAT(qt_name_filters("Alle|*.*|Rest"), ElementsAre("Alle (*.*)"));
}

// The dialogs block; each test answers the one it expects from inside its event loop.
template <typename dialog_type>
void answer_dialog(std::function<void(dialog_type*)> act) {
    QTimer::singleShot(0, [act] {
        if (auto* dialog = qobject_cast<dialog_type*>(QApplication::activeModalWidget())) {
            act(dialog);
        } else {
            answer_dialog(act);
        }
    });
}

using qt_dialogs = qt_main_window_test;

TEST_F(qt_dialogs, message_box_and_input_give_only_what_was_accepted) {
    answer_dialog<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
    EXPECT_TRUE(platform.message_box("Quillmark", "Speichern?", message_buttons::yes_no,
                                     message_icon::none));
    answer_dialog<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::No)->click(); });
    EXPECT_FALSE(platform.message_box("Quillmark", "Speichern?", message_buttons::yes_no,
                                      message_icon::none));

    answer_dialog<QInputDialog>([](QInputDialog* input) {
        input->setTextValue(input->textValue() + " Grab");
        input->accept();
    });
    EXPECT_EQ(platform.input_text("Quillmark", "Inschrift", "Hier ruht"), "Hier ruht Grab");
    answer_dialog<QInputDialog>([](QInputDialog* input) { input->reject(); });
    EXPECT_EQ(platform.input_text("Quillmark", "Inschrift", "Hier ruht"), "");
}

// Every window the program shows reads German, Qt's own buttons and labels included.
TEST_F(qt_dialogs, dialogs_speak_german) {
    QStringList texts;
    const auto collect = [&texts](QWidget* dialog) {
        for (const QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
            texts.append(button->text().remove(QLatin1Char('&')));
        }
        for (const QLabel* label : dialog->findChildren<QLabel*>()) {
            texts.append(label->text().remove(QLatin1Char('&')));
        }
    };
    answer_dialog<QMessageBox>([&](QMessageBox* box) {
        collect(box);
        box->button(QMessageBox::No)->click();
    });
    platform.message_box("Quillmark", "Speichern?", message_buttons::yes_no, message_icon::none);
    answer_dialog<QInputDialog>([&](QInputDialog* input) {
        collect(input);
        input->reject();
    });
    platform.input_text("Quillmark", "Inschrift", "");
    answer_dialog<QFileDialog>([&](QFileDialog* files) {
        collect(files);
        files->reject();
    });
    platform.save_file_dialog("Speichern", {}, "Neu (*.qms)|*.qms", 0);
    for (const char* german : {"Ja", "Nein", "OK", "Abbrechen", "Speichern", "Dateiname:"}) {
        EXPECT_TRUE(texts.contains(QString::fromUtf8(german))) << german;
    }
    for (const char* english : {"Yes", "No", "Cancel", "Save", "File name:"}) {
        EXPECT_FALSE(texts.contains(QString::fromUtf8(english))) << english;
    }
    EXPECT_EQ(QLocale().language(), QLocale::German);
    // The file dialogs' lists format their dates with the system locale.
    EXPECT_EQ(QLocale::system().language(), QLocale::German);
}

TEST_F(qt_dialogs, file_dialogs_take_new_names_and_replace_without_asking) {
    QTemporaryDir folder;
    const QString missing = folder.filePath("neu.qms");
    QString preselected;
    answer_dialog<QFileDialog>([&](QFileDialog* files) {
        preselected = files->selectedNameFilter();
        files->selectFile(missing);
        // Through QDialog, as the dialog's own button does.
        static_cast<QDialog*>(files)->accept();
    });
    EXPECT_EQ(platform.open_file_dialog("Laden", folder.path().toStdString(),
                                        "Neu (*.qms)|*.qms|Alt (*.gls)|*.gls", 1),
              missing.toStdString());
    EXPECT_EQ(preselected, QString("Alt (*.gls)"));

    const QString existing = folder.filePath("alt.qms");
    QFile file(existing);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    answer_dialog<QFileDialog>([&](QFileDialog* files) {
        files->selectFile(existing);
        static_cast<QDialog*>(files)->accept();
    });
    EXPECT_EQ(
        platform.save_file_dialog("Speichern", folder.path().toStdString(), "Neu (*.qms)|*.qms", 0),
        existing.toStdString());
}

// A program started from a desktop menu often runs in the root folder: a game without a folder
// of its own yet opens its dialogs in the user's documents, or home when there are none.
TEST_F(qt_dialogs, file_dialogs_without_a_folder_open_in_the_documents) {
    QTemporaryDir home;
    const QByteArray old_home = qgetenv("HOME");
    const bool config_set = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    const QByteArray old_config = qgetenv("XDG_CONFIG_HOME");
    const QString old_directory = QDir::currentPath();
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", home.filePath(".config").toUtf8());
    QDir::setCurrent("/");
    for (const bool documents : {true, false}) {
        if (documents) {
            ASSERT_TRUE(QDir(home.path()).mkdir("Documents"));
        } else {
            ASSERT_TRUE(QDir(home.filePath("Documents")).removeRecursively());
        }
        QString opened_in;
        answer_dialog<QFileDialog>([&](QFileDialog* files) {
            opened_in = files->directory().absolutePath();
            files->reject();
        });
        EXPECT_EQ(platform.open_file_dialog("Laden", "", "Neu (*.qms)|*.qms", 0), "");
        EXPECT_EQ(opened_in.toStdString(),
                  (documents ? home.filePath("Documents") : home.path()).toStdString());
    }
    QDir::setCurrent(old_directory);
    qputenv("HOME", old_home);
    if (config_set) {
        qputenv("XDG_CONFIG_HOME", old_config);
    } else {
        qunsetenv("XDG_CONFIG_HOME");
    }
}

// The player view shows only the map: a box asked for while it is the active window stands
// before the main window, not on the table's screen.
TEST_F(qt_dialogs, a_box_asked_for_while_the_player_view_is_active_belongs_to_the_main_window) {
    ASSERT_TRUE(platform.open_window(4, 300, 100, 640, 360, "Quillmark – Spieleransicht",
                                     window_style::viewer));
    platform.activate_window(4);
    ASSERT_TRUE(QTest::qWaitForWindowActive(platform.window_widget(4)));
    QWidget* owner = nullptr;
    answer_dialog<QMessageBox>([&](QMessageBox* box) {
        owner = box->parentWidget();
        box->button(QMessageBox::Ok)->click();
    });
    platform.message_box("Quillmark", "Hinweis", message_buttons::ok, message_icon::none);
    EXPECT_EQ(owner, platform.window_widget(0));
}

// A long load shows the busy pointer; a box shown meanwhile has the normal one, and only the
// outermost end gives the normal pointer back.
TEST_F(qt_dialogs, busy_pointer_nests_and_gives_way_to_dialogs) {
    const auto shape = [] {
        const QCursor* cursor = QGuiApplication::overrideCursor();
        return cursor ? cursor->shape() : Qt::BitmapCursor;  // Bitmap: none set
    };
    ASSERT_EQ(shape(), Qt::BitmapCursor);
    platform.begin_busy();
    platform.begin_busy();
    EXPECT_EQ(shape(), Qt::WaitCursor);
    Qt::CursorShape in_box = Qt::BlankCursor;
    answer_dialog<QMessageBox>([&](QMessageBox* box) {
        in_box = shape();
        box->button(QMessageBox::Ok)->click();
    });
    platform.message_box("Quillmark", "Fehler", message_buttons::ok, message_icon::error);
    EXPECT_EQ(in_box, Qt::ArrowCursor);
    EXPECT_EQ(shape(), Qt::WaitCursor);
    platform.end_busy();
    EXPECT_EQ(shape(), Qt::WaitCursor);
    platform.end_busy();
    EXPECT_EQ(shape(), Qt::BitmapCursor);

    answer_dialog<QMessageBox>([&](QMessageBox* box) {
        in_box = shape();
        box->button(QMessageBox::Ok)->click();
    });
    platform.message_box("Quillmark", "Hinweis", message_buttons::ok, message_icon::none);
    EXPECT_EQ(in_box, Qt::BitmapCursor);
}

}  // namespace
}  // namespace quill::test
