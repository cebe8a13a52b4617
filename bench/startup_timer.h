#pragma once

#include <memory>
#include <optional>

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

struct xcb_connection_t;

namespace lorvane {

// Start-up of a desktop program as a person sees it: from launching it to its first window
// being mapped, as the X server reports it. It runs its own virtual X server (Xvfb), so that
// nothing else on the display interferes and no display is needed.
class StartUpTimer {
public:
    StartUpTimer();
    ~StartUpTimer();
    StartUpTimer(const StartUpTimer&) = delete;
    StartUpTimer& operator=(const StartUpTimer&) = delete;
    StartUpTimer(StartUpTimer&&) = delete;
    StartUpTimer& operator=(StartUpTimer&&) = delete;

    // Whether the X server started and can be watched.
    [[nodiscard]] bool Ready() const { return connection_ != nullptr; }
    // Launches `program` with no arguments, waits for its window and ends it; nothing when no
    // window appeared within ten seconds.
    [[nodiscard]] std::optional<double> Milliseconds(const QString& program);

private:
    QTemporaryDir runtime_;
    QString display_;
    QProcess server_;
    xcb_connection_t* connection_ = nullptr;
};

}  // namespace lorvane
