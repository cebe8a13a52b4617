#include "tests/x11/x_server.h"

#include <cstdlib>
#include <cstring>

namespace lorvane::testing {

XServer::XServer(int width, int height)
{
    // Xvfb picks a display number no server holds and writes it once it takes connections.
    xvfb_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    xvfb_.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                         QStringLiteral("0"), QStringLiteral("%1x%2x24").arg(width).arg(height),
                                         QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    while (!xvfb_.canReadLine() && xvfb_.waitForReadyRead(10000)) {
    }
    display_ = QStringLiteral(":%1").arg(QString::fromLatin1(xvfb_.readLine()).trimmed());
    xcb_connection_t* connection = xcb_connect(display_.toLatin1().constData(), nullptr);
    if (xcb_connection_has_error(connection) == 0) {
        connection_ = connection;
    } else {
        xcb_disconnect(connection);
    }
}

XServer::~XServer()
{
    if (connection_ != nullptr) {
        xcb_disconnect(connection_);
    }
    xvfb_.terminate();
    xvfb_.waitForFinished();
}

xcb_window_t XServer::MakeWindow(int width, int height)
{
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
    const xcb_window_t window = xcb_generate_id(connection_);
    const std::uint32_t white = screen->white_pixel;
    xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, static_cast<std::uint16_t>(width),
                      static_cast<std::uint16_t>(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                      XCB_CW_BACK_PIXEL, &white);
    xcb_map_window(connection_, window);
    xcb_flush(connection_);
    return window;
}

void XServer::Resize(xcb_window_t window, int width, int height)
{
    const std::uint32_t size[] = {static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)};
    xcb_configure_window(connection_, window, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
    xcb_flush(connection_);
}

void XServer::Destroy(xcb_window_t window)
{
    xcb_destroy_window(connection_, window);
    xcb_flush(connection_);
}

int XServer::Children(xcb_window_t window)
{
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(connection_, xcb_query_tree(connection_, window), nullptr);
    const int children = tree != nullptr ? xcb_query_tree_children_length(tree) : 0;
    std::free(tree);
    return children;
}

QImage XServer::Grab(xcb_window_t window)
{
    xcb_get_geometry_reply_t* geometry =
        xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr);
    if (geometry == nullptr) {
        return {};
    }
    const int width = geometry->width;
    const int height = geometry->height;
    std::free(geometry);
    xcb_get_image_reply_t* reply =
        xcb_get_image_reply(connection_,
                            xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0,
                                          static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height), ~0U),
                            nullptr);
    if (reply == nullptr) {
        return {};
    }
    // 24-bit depth comes as 32 bits a pixel, the layout of QImage's RGB32 on this machine.
    QImage image(width, height, QImage::Format_RGB32);
    const std::uint8_t* data = xcb_get_image_data(reply);
    for (int y = 0; y < height; ++y) {
        std::memcpy(image.scanLine(y), data + static_cast<std::ptrdiff_t>(y) * width * 4,
                    static_cast<std::size_t>(width) * 4);
    }
    std::free(reply);
    return image;
}

}  // namespace lorvane::testing
