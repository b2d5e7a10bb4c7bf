#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <QUrl>

#include <time.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "app/program.h"
#include "bench_scene.h"
#include "content/ui_numbers.h"
#include "live_map/live_map.h"
#include "live_pages.h"
#include "view/map_rendering.h"

namespace quill::bench {

namespace {

constexpr int page_count = 30;
constexpr int drag_steps = 200;
// A hand drags at about a hundred moves a second.
constexpr int step_ms = 10;

long long monotonic_ns() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

long long cpu_ns(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

long long thread_cpu_ns() {
    return cpu_ns(CLOCK_THREAD_CPUTIME_ID);
}

// The program's event loop between two moves: what the sockets have to do is done meanwhile.
void let_events_run(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

double percentile(std::vector<double> values, double share) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const auto at = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1));
    return values[at];
}

// Thirty pages in a process of their own follow a drag of 200 steps on an 8192² map, as
// browsers on the table's network would: from each change made in the program (the move's
// dispatch, the redraw, the message) to its arrival at each page. Also the program's processor
// time per step with the pages, and the memory the sharing takes.
void live_map_drag_to_thirty_pages(benchmark::State& run) {
    bench_scene scene(8192);
    game_state& state = scene.state;
    state.tokens.select(0);
    state.drag_mode = drag_kind::drag_token;
    render_map_view(state, scene.system);

    const long before_sharing = resident_kib();
    live_map live(scene.system);
    if (!live.start(state, QHostAddress::LocalHost)) {
        run.SkipWithError("the live map did not start");
        return;
    }
    QUrl socket(QString::fromStdString(live.links().front() + "ws"));
    socket.setScheme("ws");
    QProcess pages;
    pages.start(QCoreApplication::applicationFilePath(),
                {live_pages_flag, socket.toString(), QString::number(page_count),
                 QString::number(drag_steps)});
    QElapsedTimer patience;
    patience.start();
    while (live.page_count() < page_count && patience.elapsed() < 30'000) {
        let_events_run(10);
    }
    if (live.page_count() < page_count) {
        run.SkipWithError("the pages did not connect");
        return;
    }
    const long with_pages = resident_kib();

    window_event moved;
    moved.kind = event_kind::control;
    moved.window = ui::main_window;
    moved.control = ui::map_canvas;
    moved.type = control_event::mouse_moved;
    std::vector<long long> changed_at;
    long long step_cpu_ns = 0;
    long long publish_cpu_ns = 0;
    const double pi = std::acos(-1.0);
    const long long process_cpu = cpu_ns(CLOCK_PROCESS_CPUTIME_ID);
    for (auto _ : run) {
        for (int step = 0; step < drag_steps; ++step) {
            const double angle = 2 * pi * step / 24;
            scene.system.set_pointer(canvas_width / 2 + static_cast<int>(150 * std::cos(angle)),
                                     canvas_height / 2 + static_cast<int>(150 * std::sin(angle)));
            changed_at.push_back(monotonic_ns());
            const long long cpu = thread_cpu_ns();
            dispatch_event(state, scene.system, moved);
            render_map_view(state, scene.system);
            const long long published = thread_cpu_ns();
            live.publish(state);
            const long long done = thread_cpu_ns();
            step_cpu_ns += done - cpu;
            publish_cpu_ns += done - published;
            let_events_run(step_ms);
        }
    }
    // Everything the program did meanwhile, writing to the sockets included.
    const long long program_cpu_ns = cpu_ns(CLOCK_PROCESS_CPUTIME_ID) - process_cpu;
    pages.waitForFinished(60'000);
    std::vector<double> latencies_ms;
    std::istringstream arrivals(pages.readAllStandardOutput().toStdString());
    std::string line;
    while (std::getline(arrivals, line)) {
        std::istringstream page(line);
        long long at = 0;
        for (std::size_t step = 0; page >> at && step < changed_at.size(); ++step) {
            latencies_ms.push_back(static_cast<double>(at - changed_at[step]) / 1e6);
        }
    }
    if (latencies_ms.size() != static_cast<std::size_t>(page_count * drag_steps)) {
        run.SkipWithError("not every change arrived at every page");
        return;
    }
    run.counters["p50_ms"] = percentile(latencies_ms, 0.50);
    run.counters["p99_ms"] = percentile(latencies_ms, 0.99);
    run.counters["max_ms"] = percentile(latencies_ms, 1.0);
    run.counters["step_cpu_ms"] = static_cast<double>(step_cpu_ns) / 1e6 / drag_steps;
    run.counters["publish_cpu_ms"] = static_cast<double>(publish_cpu_ns) / 1e6 / drag_steps;
    run.counters["program_cpu_ms"] = static_cast<double>(program_cpu_ns) / 1e6 / drag_steps;
    run.counters["sharing_kib"] = static_cast<double>(with_pages - before_sharing);
    run.counters["after_drag_kib"] = static_cast<double>(resident_kib() - before_sharing);
}

}  // namespace

BENCHMARK(live_map_drag_to_thirty_pages)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

}  // namespace quill::bench
