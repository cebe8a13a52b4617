#include "interrupt_watch.h"

#include <csignal>
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

}  // namespace

InterruptWatch::InterruptWatch()
{
    const sigset_t signals = Interrupts();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

InterruptWatch::~InterruptWatch()
{
    StopWatching();
}

void InterruptWatch::Watch(std::function<void()> stop)
{
    watcher_ = std::jthread([this, stop = std::move(stop)] {
        const sigset_t signals = Interrupts();
        int signal = 0;
        while (sigwait(&signals, &signal) != 0) {
        }
        if (finished_) {
            return;
        }
        received_ = signal;
        stop();
    });
}

void InterruptWatch::DieOfReceivedSignal()
{
    StopWatching();
    const int signal = received_;
    if (signal == 0) {
        return;
    }
    std::signal(signal, SIG_DFL);
    const sigset_t signals = Interrupts();
    pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
    std::raise(signal);
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
