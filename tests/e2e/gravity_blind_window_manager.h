#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

namespace quill::e2e {

// A window manager as some are: it frames a window where the window's inner area stands and
// takes every position a window asks for as that of its inner area, whatever gravity the window
// names. A program that asks for its frame's corner at the top of the screen thus first gets its
// title bar above the screen. It runs on a thread and a connection of its own until destroyed.
class gravity_blind_window_manager {
public:
    gravity_blind_window_manager() = default;
    gravity_blind_window_manager(const gravity_blind_window_manager&) = delete;
    gravity_blind_window_manager& operator=(const gravity_blind_window_manager&) = delete;
    ~gravity_blind_window_manager();

    ::testing::AssertionResult start(const std::string& display_name);

    // The frame around each window, in pixels.
    static constexpr int border = 1;
    static constexpr int title_bar = 20;
    static constexpr int bottom = 5;

private:
    void run();

    void* display_ = nullptr;  // Display*, kept out of this header for Xlib's macros
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

}  // namespace quill::e2e
