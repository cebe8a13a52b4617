#pragma once

#include <QImage>
#include <QProcess>
#include <QString>

#include <xcb/xcb.h>

namespace lorvane::testing {

// An Xvfb of its own on a free display number, and a connection to it; the tests that need X
// start one each, so they need no display of the machine's.
class XServer {
public:
    // Starts Xvfb with one screen of `width` x `height`; Ready() says whether it came up.
    XServer(int width, int height);
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    [[nodiscard]] bool Ready() const { return connection_ != nullptr; }
    // ":N", for DISPLAY.
    [[nodiscard]] QString Display() const { return display_; }

    // A plain window of that size, mapped; the test's stand-in for a screensaver host's window.
    [[nodiscard]] xcb_window_t MakeWindow(int width, int height);
    void Resize(xcb_window_t window, int width, int height);
    void Destroy(xcb_window_t window);
    // How many windows `window` holds: a screensaver puts its own in its host's.
    [[nodiscard]] int Children(xcb_window_t window);
    // What the window shows, or a null image when it is gone.
    [[nodiscard]] QImage Grab(xcb_window_t window);

private:
    QProcess xvfb_;
    QString display_;
    xcb_connection_t* connection_ = nullptr;
};

}  // namespace lorvane::testing
