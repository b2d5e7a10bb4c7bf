#include "platform/qt/file_filters.h"

#include <QString>

namespace quill {

QStringList qt_name_filters(const std::string& filters) {
    const QStringList parts = QString::fromStdString(filters).split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        const QString pattern = parts[i + 1].trimmed();
        if (pattern.isEmpty()) {
            continue;
        }
        const QString shown = QLatin1Char('(') + pattern + QLatin1Char(')');
        const QString qt_form = QLatin1Char('(') +
                                QString(pattern).replace(QLatin1Char(';'), QLatin1Char(' ')) +
                                QLatin1Char(')');
        if (description.contains(shown)) {
            description.replace(shown, qt_form);
        } else {
            description += QLatin1Char(' ') + qt_form;
        }
        result.append(description.trimmed());
    }
    return result;
}

}  // namespace quill
