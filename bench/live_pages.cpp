#include "live_pages.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QUrl>
#include <QWebSocket>

#include <time.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace quill::bench {

namespace {

long long monotonic_ns() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

}  // namespace

int run_live_pages(const char* socket_url, int pages, int changes) {
    int argc = 1;
    char name[] = "live_pages";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    const QUrl url(QString::fromUtf8(socket_url));
    const QString origin = "http://" + url.host() + ":" + QString::number(url.port());
    // Per page, the arrival of each message after the first, which is the whole state.
    std::vector<std::vector<long long>> arrivals(static_cast<std::size_t>(pages));
    std::vector<int> received(static_cast<std::size_t>(pages), 0);
    std::vector<std::unique_ptr<QWebSocket>> sockets;
    for (int i = 0; i < pages; ++i) {
        sockets.push_back(std::make_unique<QWebSocket>(origin));
        QObject::connect(sockets.back().get(), &QWebSocket::textMessageReceived,
                         [&, i](const QString&) {
                             const auto page = static_cast<std::size_t>(i);
                             if (received[page]++ > 0) {
                                 arrivals[page].push_back(monotonic_ns());
                             }
                         });
        sockets.back()->open(url);
    }
    QElapsedTimer patience;
    patience.start();
    const auto all_arrived = [&] {
        for (const auto& page : arrivals) {
            if (static_cast<int>(page.size()) < changes) {
                return false;
            }
        }
        return true;
    };
    while (!all_arrived() && patience.elapsed() < 60'000) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    }
    for (const auto& page : arrivals) {
        for (const long long at : page) {
            std::printf("%lld ", at);
        }
        std::printf("\n");
    }
    return all_arrived() ? 0 : 1;
}

}  // namespace quill::bench
