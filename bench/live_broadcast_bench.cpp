#include <QCoreApplication>
#include <QElapsedTimer>
#include <QUrl>
#include <QWebSocket>

#include <memory>
#include <vector>

#include <benchmark/benchmark.h>

#include "live_map/live_server.h"

namespace quill::bench {

namespace {

// Runs the event loop until done() holds; false after five seconds.
template <typename Done>
bool run_until(Done done) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > 5000) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// Wall time from a change broadcast to its arrival at every one of run.range(0) pages, all on
// loopback in this process: the server's share of "every change on every page within 100 ms".
void live_broadcast(benchmark::State& run) {
    live_server server;
    server.greeting = [] { return QByteArray("{}"); };
    server.start(QHostAddress::LocalHost, 0);
    const QString origin = "http://127.0.0.1:" + QString::number(server.port());
    const QUrl url("ws://127.0.0.1:" + QString::number(server.port()) + "/k/" + server.key() +
                   "/ws");
    const int pages = static_cast<int>(run.range(0));
    int arrived = 0;
    std::vector<std::unique_ptr<QWebSocket>> sockets;
    for (int i = 0; i < pages; ++i) {
        sockets.push_back(std::make_unique<QWebSocket>(origin));
        QObject::connect(sockets.back().get(), &QWebSocket::textMessageReceived,
                         [&arrived] { ++arrived; });
        sockets.back()->open(url);
    }
    if (!run_until([&] { return arrived == pages; })) {
        run.SkipWithError("the pages did not connect");
        return;
    }
    const QByteArray change = R"({"moved":[{"id":3,"x":1204,"y":877}]})";
    for (auto _ : run) {
        arrived = 0;
        server.broadcast(change);
        if (!run_until([&] { return arrived == pages; })) {
            run.SkipWithError("a change did not arrive");
            return;
        }
    }
}

}  // namespace

BENCHMARK(live_broadcast)->Arg(1)->Arg(8)->Arg(64)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace quill::bench
