#include "e2e/devtools_page.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>

#include <functional>

namespace quill::e2e {

namespace {

using ::testing::AssertionFailure;
using ::testing::AssertionResult;
using ::testing::AssertionSuccess;

constexpr int patience_ms = 15000;

// Runs the event loop until done or the patience is used up.
bool process_until(const std::function<bool()>& done, int milliseconds = patience_ms) {
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() > milliseconds) {
            return false;
        }
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

QByteArray fetch(const QUrl& url) {
    QNetworkAccessManager network;
    QNetworkReply* reply = network.get(QNetworkRequest(url));
    process_until([reply] { return reply->isFinished(); });
    const QByteArray body = reply->isFinished() ? reply->readAll() : QByteArray();
    reply->deleteLater();
    return body;
}

}  // namespace

devtools_page::~devtools_page() {
    socket_.close();
    browser_.kill();
    browser_.waitForFinished(patience_ms);
}

AssertionResult devtools_page::start(int width, int height) {
    // Without the background services: the machine has no network but loopback.
    // Its complaints about the missing desktop services would only fill the log.
    browser_.setStandardOutputFile(QProcess::nullDevice());
    browser_.setStandardErrorFile(QProcess::nullDevice());
    browser_.start(
        "chromium",
        {"--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--hide-scrollbars", "--force-device-scale-factor=1", "--force-color-profile=srgb",
         "--remote-debugging-address=127.0.0.1", "--remote-debugging-port=0",
         "--user-data-dir=" + profile_.path(),
         QStringLiteral("--window-size=%1,%2").arg(width).arg(height), "about:blank"});
    if (!browser_.waitForStarted(patience_ms)) {
        return AssertionFailure() << "chromium could not be started";
    }
    // The browser writes the port it took into its profile.
    QByteArray port;
    process_until([&] {
        QFile active(profile_.filePath("DevToolsActivePort"));
        if (active.open(QIODevice::ReadOnly)) {
            port = active.readLine().trimmed();
        }
        return !port.isEmpty();
    });
    if (port.isEmpty()) {
        return AssertionFailure() << "chromium offered no DevTools port";
    }
    QString page_socket;
    process_until([&] {
        const QJsonArray targets =
            QJsonDocument::fromJson(fetch(QUrl("http://127.0.0.1:" + port + "/json/list"))).array();
        for (const QJsonValue& target : targets) {
            if (target["type"] == "page") {
                page_socket = target["webSocketDebuggerUrl"].toString();
            }
        }
        return !page_socket.isEmpty();
    });
    if (page_socket.isEmpty()) {
        return AssertionFailure() << "chromium showed no page";
    }
    QObject::connect(&socket_, &QWebSocket::textMessageReceived, [this](const QString& text) {
        const QJsonObject message = QJsonDocument::fromJson(text.toUtf8()).object();
        if (message.contains("id")) {
            answers_[message["id"].toInt()] = message;
        }
    });
    socket_.open(QUrl(page_socket));
    if (!process_until([this] { return socket_.state() == QAbstractSocket::ConnectedState; })) {
        return AssertionFailure() << "no DevTools connection to " << page_socket.toStdString();
    }
    return AssertionSuccess();
}

std::optional<QJsonObject> devtools_page::call(const QString& method, const QJsonObject& params) {
    const int id = next_id_++;
    socket_.sendTextMessage(QString::fromUtf8(
        QJsonDocument(QJsonObject{{"id", id}, {"method", method}, {"params", params}})
            .toJson(QJsonDocument::Compact)));
    if (!process_until([&] { return answers_.contains(id); })) {
        return std::nullopt;
    }
    const QJsonObject answer = answers_[id];
    answers_.erase(id);
    if (answer.contains("error")) {
        return std::nullopt;
    }
    return answer["result"].toObject();
}

AssertionResult devtools_page::open(const std::string& url) {
    const std::optional<QJsonObject> opened =
        call("Page.navigate", {{"url", QString::fromStdString(url)}});
    if (!opened || opened->contains("errorText")) {
        return AssertionFailure() << "chromium could not open " << url;
    }
    return AssertionSuccess();
}

std::optional<QJsonValue> devtools_page::evaluate(const std::string& expression) {
    const std::optional<QJsonObject> result =
        call("Runtime.evaluate", {{"expression", QString::fromStdString(expression)},
                                  {"returnByValue", true},
                                  {"awaitPromise", true}});
    if (!result || result->contains("exceptionDetails")) {
        return std::nullopt;
    }
    return (*result)["result"].toObject()["value"];
}

AssertionResult devtools_page::wait_true(const std::string& expression, const std::string& what) {
    if (process_until([&] {
            const std::optional<QJsonValue> value = evaluate(expression);
            return value && value->toBool();
        })) {
        return AssertionSuccess();
    }
    return AssertionFailure() << "waited " << patience_ms / 1000 << " s in the page for " << what;
}

AssertionResult devtools_page::point_at(int x, int y) {
    if (!call("Input.dispatchMouseEvent", {{"type", "mouseMoved"}, {"x", x}, {"y", y}})) {
        return AssertionFailure() << "the mouse could not be moved in the page";
    }
    return AssertionSuccess();
}

QImage devtools_page::screenshot() {
    const std::optional<QJsonObject> shot = call("Page.captureScreenshot", {{"format", "png"}});
    if (!shot) {
        return {};
    }
    return QImage::fromData(QByteArray::fromBase64((*shot)["data"].toString().toLatin1()), "PNG");
}

}  // namespace quill::e2e
