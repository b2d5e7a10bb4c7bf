#pragma once

#include <gtest/gtest.h>
#include <QImage>
#include <QJsonObject>
#include <QJsonValue>
#include <QProcess>
#include <QTemporaryDir>
#include <QWebSocket>

#include <map>
#include <optional>
#include <string>

namespace quill::e2e {

// A page in Debian's Chromium, headless, driven through its DevTools protocol on loopback:
// it loads a link, answers what a script asks and shows what a person would see. Every wait is
// bounded and ends with a failure that says what was missing.
class devtools_page {
public:
    devtools_page() = default;
    devtools_page(const devtools_page&) = delete;
    devtools_page& operator=(const devtools_page&) = delete;
    ~devtools_page();

    // A browser with a window of that size, and its first page.
    ::testing::AssertionResult start(int width, int height);
    ::testing::AssertionResult open(const std::string& url);
    // The value of a script's expression; empty when it failed or threw.
    std::optional<QJsonValue> evaluate(const std::string& expression);
    // Until the expression is true.
    ::testing::AssertionResult wait_true(const std::string& expression, const std::string& what);
    QImage screenshot();
    // The mouse moves onto that pixel of the page.
    ::testing::AssertionResult point_at(int x, int y);

private:
    std::optional<QJsonObject> call(const QString& method, const QJsonObject& params = {});

    QProcess browser_;
    QTemporaryDir profile_;
    QWebSocket socket_;
    int next_id_ = 1;
    std::map<int, QJsonObject> answers_;
};

}  // namespace quill::e2e
