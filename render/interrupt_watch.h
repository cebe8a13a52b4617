#pragma once

#include <atomic>
#include <functional>
#include <thread>

namespace lorvane {

// Turns SIGINT and SIGTERM into a call on a thread of its own, so that the program can stop in
// good order (no half-written file, none unreported) instead of dying wherever it happens to be.
// Make it first thing in main, before any thread starts: threads inherit the blocked signals.
class InterruptWatch {
public:
    InterruptWatch();
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;
    InterruptWatch(InterruptWatch&&) = delete;
    InterruptWatch& operator=(InterruptWatch&&) = delete;

    // Calls `stop` once, on the watching thread, when either signal comes.
    void Watch(std::function<void()> stop);
    // Ends the program by the signal that came, as it would have without the watch, so that
    // whoever started it sees it was interrupted. Returns when none came.
    void DieOfReceivedSignal();

private:
    void StopWatching();

    std::atomic<int> received_ = 0;
    std::atomic<bool> finished_ = false;
    std::jthread watcher_;
};

}  // namespace lorvane
