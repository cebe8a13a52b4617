#include "app/window_command_line.h"

#include <gtest/gtest.h>

namespace lorvane {
namespace {

WindowCommandLine::Answer Parse(const QStringList& arguments)
{
    QList<QByteArray> bytes = {"lorvane01"};
    for (const QString& argument : arguments) {
        bytes << argument.toLocal8Bit();
    }
    return WindowCommandLine().Parse(bytes);
}

TEST(WindowCommandLine, ResolvesTheFileTheSlideshowAndFullScreen)
{
    const auto plain = std::get<WindowOptions>(Parse({}));
    EXPECT_FALSE(plain.file || plain.fullScreen || plain.interval);
    // The file is only named here: the window reads it.
    const auto slideshow = std::get<WindowOptions>(Parse({"saved.png", "--fullscreen", "--interval", "0.5"}));
    EXPECT_EQ(slideshow.file, "saved.png");
    EXPECT_TRUE(slideshow.fullScreen);
    EXPECT_EQ(slideshow.interval, 0.5);
    EXPECT_EQ(std::get<WindowOptions>(Parse({"--interval=3600"})).interval, 3600.0);
    EXPECT_FALSE(plain.paint);
    EXPECT_EQ(std::get<WindowOptions>(Parse({"--paint", "0.1"})).paint, 0.1);
    EXPECT_EQ(std::get<WindowOptions>(Parse({"--root", "--paint=60"})).paint, 60.0);
    EXPECT_TRUE(std::holds_alternative<WindowCommandLine::HelpOrVersion>(Parse({"--help"})));
}

TEST(WindowCommandLine, KeepsAFileNameThatIsNotUtf8ByteForByte)
{
    const QByteArray name = "/pictures/saved-\xff\xfe.png";
    for (const QList<QByteArray>& arguments :
         {QList<QByteArray>{"lorvane01", name}, QList<QByteArray>{"lorvane01", "--interval", "2", "--fullscreen", name},
          QList<QByteArray>{"lorvane01", "--interval=2", "--", name}}) {
        const auto answer = WindowCommandLine().Parse(arguments);
        ASSERT_TRUE(std::holds_alternative<WindowOptions>(answer)) << arguments.join(' ').toStdString();
        EXPECT_EQ(std::get<WindowOptions>(answer).file, name);
    }
}

TEST(WindowCommandLine, AScreensaverTakesItsWindowFromTheOptionOrTheHostAndTenSeconds)
{
    const auto byId = std::get<WindowOptions>(Parse({"--window-id", "0x2a00007"}));
    EXPECT_EQ(byId.screensaver->window, 0x2a00007U);
    EXPECT_EQ(byId.interval, 10.0);
    EXPECT_EQ(std::get<WindowOptions>(Parse({"--window-id", "44040199", "--interval", "2"})).interval, 2.0);
    qputenv("XSCREENSAVER_WINDOW", "0x400001");
    EXPECT_EQ(std::get<WindowOptions>(Parse({"--root"})).screensaver->window, 0x400001U);
    qunsetenv("XSCREENSAVER_WINDOW");
    const auto root = std::get<WindowOptions>(Parse({"--root"}));
    ASSERT_TRUE(root.screensaver.has_value());
    EXPECT_EQ(root.screensaver->window, std::nullopt);
}

TEST(WindowCommandLine, WindowIdWinsOverRootInEitherOrderAsForXscreensaversPreview)
{
    // xscreensaver-settings runs the `programs:` entry with --window-id added for its preview pane.
    qputenv("XSCREENSAVER_WINDOW", "0x400001");
    for (const QStringList& arguments : {QStringList{"--root", "--interval", "1", "--window-id", "0x2a00007"},
                                         QStringList{"--window-id", "0x2a00007", "--root"}}) {
        const auto answer = Parse(arguments);
        ASSERT_TRUE(std::holds_alternative<WindowOptions>(answer)) << arguments.join(' ').toStdString();
        EXPECT_EQ(std::get<WindowOptions>(answer).screensaver->window, 0x2a00007U);
    }
    qunsetenv("XSCREENSAVER_WINDOW");
}

TEST(WindowCommandLine, BadInputGivesOneLineAndItsStatus)
{
    const std::pair<QStringList, QString> cases[] = {
        {{"--interval", "0"}, "--interval '0' is not a number of seconds from 0.5 to 3600"},
        {{"--interval", "-1"}, "--interval '-1' is not a number of seconds from 0.5 to 3600"},
        {{"--interval", "nan"}, "--interval 'nan' is not a number of seconds from 0.5 to 3600"},
        {{"--interval", "1e9"}, "--interval '1e9' is not a number of seconds from 0.5 to 3600"},
        {{"--interval"}, "Missing value after '--interval'."},
        {{"--paint", "0.09"}, "--paint '0.09' is not a number of seconds from 0.1 to 60"},
        {{"--paint", "61"}, "--paint '61' is not a number of seconds from 0.1 to 60"},
        {{"--paint", "inf"}, "--paint 'inf' is not a number of seconds from 0.1 to 60"},
        {{"--paint", "soon"}, "--paint 'soon' is not a number of seconds from 0.1 to 60"},
        {{"--slideshow"}, "Unknown option 'slideshow'."},
        {{"notes.txt", "notes.txt"}, "unexpected argument 'notes.txt': give one FILE"},
        {{"--window-id", "zebra"}, "--window-id 'zebra' is not a window id (such as 0x2a00007)"},
        {{"--window-id", "0"}, "--window-id '0' is not a window id"},
        {{"--window-id", "0x100000000"}, "--window-id '0x100000000' is not a window id"},
        {{"--root", "--window-id", "zebra"}, "--window-id 'zebra' is not a window id"},
        {{"--root", "--fullscreen"}, "not with --fullscreen or a FILE"},
        // One rule in both programs: an option given twice is refused, not the last one taken.
        {{"--interval", "2", "--interval=3"}, "--interval is given more than once"},
        {{"--fullscreen", "--fullscreen"}, "--fullscreen is given more than once"},
    };
    for (const auto& [arguments, expected] : cases) {
        const WindowCommandLine::Answer answer = Parse(arguments);
        const auto* error = std::get_if<Problem>(&answer);
        ASSERT_NE(error, nullptr) << arguments.join(' ').toStdString();
        EXPECT_NE(error->message.find(expected.toStdString()), std::string::npos) << error->message;
        EXPECT_EQ(error->message.find('\n'), std::string::npos) << error->message;
        EXPECT_EQ(error->status, 2);
    }
}

}  // namespace
}  // namespace lorvane
