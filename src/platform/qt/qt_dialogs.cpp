#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QStandardPaths>

#include <algorithm>

#include "platform/qt/busy_pointer.h"
#include "platform/qt/file_filters.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/qt_platform_impl.h"

namespace quill {

namespace {

// Where a dialog without a folder of the game's opens: the user's documents, else their home.
QString documents_folder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QDir(documents).exists() ? documents : QDir::homePath();
}

std::string run_file_dialog(QWidget* owner, QFileDialog::AcceptMode mode, const std::string& title,
                            const std::string& default_path, const std::string& filters,
                            int selected_filter) {
    QFileDialog dialog(
        owner, QString::fromStdString(title),
        default_path.empty() ? documents_folder() : QString::fromStdString(default_path));
    dialog.setAcceptMode(mode);
    // Opening accepts a name that does not exist yet; saving replaces without asking.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QStringList names = qt_name_filters(filters);
    if (!names.isEmpty()) {
        dialog.setNameFilters(names);
        const qsizetype index = std::clamp<qsizetype>(selected_filter, 0, names.size() - 1);
        dialog.selectNameFilter(names[index]);
    }
    const normal_pointer_for_dialog pointer;
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? std::string() : chosen.first().toStdString();
}

// The XML error box joins its lines with lone carriage returns, which a Qt label would not
// break at.
QString displayed_text(const std::string& text) {
    QString shown = QString::fromStdString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

}  // namespace

bool qt_platform::message_box(const std::string& title, const std::string& text,
                              message_buttons buttons, message_icon icon) {
    QMessageBox box(
        icon == message_icon::error ? QMessageBox::Critical : QMessageBox::NoIcon,
        QString::fromStdString(title), displayed_text(text),
        buttons == message_buttons::yes_no ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
        impl_->dialog_owner());
    // Texts may quote what the user typed, which must never be taken for markup.
    box.setTextFormat(Qt::PlainText);
    const normal_pointer_for_dialog pointer;
    return box.exec() == QMessageBox::Yes;
}

std::string qt_platform::input_text(const std::string& title, const std::string& prompt,
                                    const std::string& default_text) {
    bool accepted = false;
    const normal_pointer_for_dialog pointer;
    const QString text = QInputDialog::getText(impl_->dialog_owner(), QString::fromStdString(title),
                                               QString::fromStdString(prompt), QLineEdit::Normal,
                                               QString::fromStdString(default_text), &accepted);
    return accepted ? text.toStdString() : std::string();
}

std::string qt_platform::open_file_dialog(const std::string& title, const std::string& default_path,
                                          const std::string& filters, int selected_filter) {
    return run_file_dialog(impl_->dialog_owner(), QFileDialog::AcceptOpen, title, default_path,
                           filters, selected_filter);
}

std::string qt_platform::save_file_dialog(const std::string& title, const std::string& default_path,
                                          const std::string& filters, int selected_filter) {
    return run_file_dialog(impl_->dialog_owner(), QFileDialog::AcceptSave, title, default_path,
                           filters, selected_filter);
}

}  // namespace quill
