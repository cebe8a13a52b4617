#include "bench/startup_timer.h"

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <thread>

#include <QFileInfo>
#include <QProcessEnvironment>

#include <poll.h>
#include <xcb/xcb.h>

namespace lorvane {

namespace {

constexpr int kFirstDisplay = 90;
constexpr int kLastDisplay = 190;
constexpr int kConnectTries = 200;
constexpr auto kConnectPause = std::chrono::milliseconds(25);
constexpr int kWindowWaitMilliseconds = 10000;
constexpr std::uint8_t kEventTypeBits = 0x7F;

}  // namespace

StartUpTimer::StartUpTimer()
{
    int number = kFirstDisplay;
    while (number <= kLastDisplay && (QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)) ||
                                      QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number)))) {
        ++number;
    }
    display_ = QStringLiteral(":%1").arg(number);
    server_.setProgram(QStringLiteral("Xvfb"));
    server_.setArguments({display_, QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("1280x1024x24"),
                          QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    server_.setStandardOutputFile(QProcess::nullDevice());
    server_.setStandardErrorFile(QProcess::nullDevice());
    server_.start();
    if (!server_.waitForStarted()) {
        return;
    }
    const QByteArray name = display_.toLatin1();
    for (int attempt = 0; attempt < kConnectTries; ++attempt) {
        xcb_connection_t* connection = xcb_connect(name.constData(), nullptr);
        if (xcb_connection_has_error(connection) == 0) {
            connection_ = connection;
            break;
        }
        xcb_disconnect(connection);
        std::this_thread::sleep_for(kConnectPause);
    }
    if (connection_ == nullptr) {
        return;
    }
    // Every window mapped on the screen is reported to us.
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection_, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection_);
}

StartUpTimer::~StartUpTimer()
{
    if (connection_ != nullptr) {
        xcb_disconnect(connection_);
    }
    server_.terminate();
    server_.waitForFinished();
}

std::optional<double> StartUpTimer::Milliseconds(const QString& program)
{
    if (connection_ == nullptr) {
        return std::nullopt;
    }
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display_);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_.path());
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    child.setProcessEnvironment(environment);
    child.setStandardOutputFile(QProcess::nullDevice());
    child.setStandardErrorFile(QProcess::nullDevice());

    const auto start = std::chrono::steady_clock::now();
    child.start(program, {});
    std::optional<double> mapped;
    pollfd events{xcb_get_file_descriptor(connection_), POLLIN, 0};
    while (!mapped) {
        const auto waited = std::chrono::steady_clock::now() - start;
        const int left = kWindowWaitMilliseconds -
                         static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(waited).count());
        if (left <= 0 || poll(&events, 1, left) <= 0) {
            break;
        }
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
            if ((event->response_type & kEventTypeBits) == XCB_MAP_NOTIFY && !mapped) {
                mapped = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            }
            std::free(event);  // NOLINT(cppcoreguidelines-no-malloc): xcb's events are malloc'ed.
        }
    }
    child.kill();
    child.waitForFinished();
    // What the ended program's windows still report is not the next one's: one round trip to the
    // server, then everything it sent is dropped.
    std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));  // NOLINT
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
        std::free(event);  // NOLINT(cppcoreguidelines-no-malloc)
    }
    return mapped;
}

}  // namespace lorvane
