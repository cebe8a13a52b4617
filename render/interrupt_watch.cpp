#include "render/interrupt_watch.h"

#include <csignal>
#include <cstdlib>
#include <utility>

#include <pthread.h>

namespace lorvane {

namespace {

sigset_t Interrupts()
{
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    return signals;
}

// Ends the program by `signal`, as its default action does.
[[noreturn]] void DieOf(int signal)
{
    std::signal(signal, SIG_DFL);
    const sigset_t signals = Interrupts();
    pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
    std::raise(signal);
    std::_Exit(128 + signal);
}

}  // namespace

InterruptWatch::InterruptWatch()
{
    const sigset_t signals = Interrupts();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    watcher_ = std::jthread([this] {
        const sigset_t waited = Interrupts();
        int signal = 0;
        while (sigwait(&waited, &signal) != 0) {
        }
        if (finished_) {
            return;
        }
        const std::lock_guard lock(mutex_);
        if (!stop_) {
            // Nothing has been written yet, so there is nothing to tidy: a read that waits for
            // a writer (a FIFO) or a slow disk must not outlast the signal.
            DieOf(signal);
        }
        received_ = signal;
        stop_();
    });
}

InterruptWatch::~InterruptWatch()
{
    StopWatching();
}

void InterruptWatch::Watch(std::function<void()> stop)
{
    const std::lock_guard lock(mutex_);
    stop_ = std::move(stop);
}

void InterruptWatch::DieOfReceivedSignal()
{
    StopWatching();
    const int signal = received_;
    if (signal == 0) {
        return;
    }
    DieOf(signal);
}

void InterruptWatch::StopWatching()
{
    if (!watcher_.joinable()) {
        return;
    }
    // The watcher only wakes for a signal: send it one that it knows to ignore.
    finished_ = true;
    if (received_ == 0) {
        // Not to end the thread: it waits for SIGTERM among others and returns on its own.
        pthread_kill(watcher_.native_handle(), SIGTERM);  // NOLINT(bugprone-bad-signal-to-kill-thread)
    }
    watcher_.join();
}

}  // namespace lorvane
