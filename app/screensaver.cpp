#include "app/screensaver.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stop_token>
#include <thread>
#include <utility>

#include <QGuiApplication>
#include <QLoggingCategory>
#include <QPainter>
#include <QResizeEvent>

#include <unistd.h>
#include <xcb/xcb.h>

#include "platform/seeded_random_source.h"
#include "platform/system_clock.h"

namespace lorvane {

namespace {

// How often the host window's size is asked for: it also tells when the window has gone.
constexpr int kFollowMilliseconds = 250;

// How often the watch thread asks whether the host window is still there.
constexpr std::chrono::milliseconds kWatchInterval{100};

// The window's size in pixels, or nothing when it does not exist.
std::optional<QSize> WindowSize(xcb_connection_t* connection, xcb_window_t window)
{
    xcb_generic_error_t* error = nullptr;
    const std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> reply(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), &error), &std::free);
    std::free(error);
    if (!reply) {
        return std::nullopt;
    }
    return QSize(reply->width, reply->height);
}

extern "C" void EndOnTerm(int /*signal*/)
{
    // The host ends its module this way; nothing is left to write.
    _exit(0);
}

}  // namespace

Screensaver::Screensaver(QWindow* host, std::function<std::optional<QSize>()> hostSize, RandomSource& random,
                         Clock& clock, double intervalSeconds)
    : QRasterWindow(host),
      hostSize_(std::move(hostSize)),
      sequence_(random, clock),
      picture_([this](const QRect& changed) { update(changed); })
{
    next_.setInterval(static_cast<int>(intervalSeconds * 1000.0));
    connect(&next_, &QTimer::timeout, this, &Screensaver::Next);
    follow_.setInterval(kFollowMilliseconds);
    connect(&follow_, &QTimer::timeout, this, &Screensaver::FollowHost);
}

void Screensaver::Start()
{
    sequence_.StartAtTimeOfDay();
    FollowHost();
    Next();
    next_.start();
    follow_.start();
}

void Screensaver::Next()
{
    picture_.Show(sequence_.DrawNext().recording, 0, screen());
    update();
}

void Screensaver::FollowHost()
{
    const std::optional<QSize> size = hostSize_();
    if (!size) {
        // The host closed its window under us: the module's work is over.
        QCoreApplication::exit(0);
        return;
    }
    if (geometry() != QRect(QPoint(0, 0), *size)) {
        setGeometry(QRect(QPoint(0, 0), *size));
    }
}

void Screensaver::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    picture_.Paint(painter);
}

void Screensaver::resizeEvent(QResizeEvent* event)
{
    picture_.Resize(event->size(), devicePixelRatio());
    update();
}

int RunScreensaver(std::optional<std::uint32_t> window, double intervalSeconds, std::optional<double> paintSeconds)
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr) {
        std::fprintf(stderr, "lorvane01: --window-id and --root need an X server (this display is %s)\n",
                     qPrintable(QGuiApplication::platformName()));
        return 1;
    }
    xcb_connection_t* connection = x11->connection();
    const xcb_window_t id = window ? *window : xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    if (!WindowSize(connection, id)) {
        std::fprintf(stderr, "lorvane01: window 0x%x does not exist\n", id);
        return 2;
    }
    // A window that goes away under the program ends it quietly, without the toolkit's notes
    // about requests to it that failed.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.qpa.*=false"));
    std::signal(SIGTERM, EndOnTerm);

    // Drawing a picture for a very large window takes the main thread seconds; this watch ends
    // the program as soon as the host window is gone, whatever the main thread is doing. A
    // connection that broke is left to the toolkit, which says so.
    const std::jthread watch([connection, id](const std::stop_token& stop) {
        while (!stop.stop_requested()) {
            std::this_thread::sleep_for(kWatchInterval);
            if (!WindowSize(connection, id) && xcb_connection_has_error(connection) == 0) {
                _exit(0);
            }
        }
    });
    QWindow* host = QWindow::fromWinId(id);
    SystemClock clock;
    SeededRandomSource random;
    Screensaver saver(
        host, [connection, id] { return WindowSize(connection, id); }, random, clock, intervalSeconds);
    saver.PaintOver(paintSeconds);
    saver.Start();
    saver.show();
    return QGuiApplication::exec();
}

}  // namespace lorvane
