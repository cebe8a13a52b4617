// The keys, mouse buttons and menus of the window and of full screen.
#include <QAction>
#include <QLabel>
#include <QTextDocument>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include "app/fading_note.h"
#include "app/full_screen_view.h"
#include "tests/app/form1_fixture.h"

namespace lorvane {
namespace {

using testing::kDrawsPerPicture;

class ViewKeys : public testing::Form1Fixture {
protected:
    // Pictures 1 to 5 drawn, standing on picture 3, in full screen.
    void StandOnTheThirdOfFiveInFullScreen()
    {
        if (!form.InFullScreen()) {
            form.ToggleFullScreen();
        }
        ASSERT_TRUE(testing::Activate(*form.FullScreen()));
        while (random.drawn < 5 * kDrawsPerPicture) {
            Next();
        }
        form.Newest();
        form.Back();
        form.Back();
        ASSERT_EQ(form.Shown().recipe->picture, 3);
    }
    // The menu's entries as a person sees them: words, and whether they can be chosen.
    static std::vector<std::pair<QString, bool>> MenuEntries(const QList<QAction*>& menu)
    {
        std::vector<std::pair<QString, bool>> entries;
        for (const QAction* action : menu) {
            if (action->isVisible()) {
                entries.emplace_back(action->text(), action->isEnabled());
            }
        }
        return entries;
    }
    QList<QAction*> WindowMenu() { return Picture1()->actions(); }
};

TEST_F(ViewKeys, FullScreenKeysWalkJumpAndLeaveAsImageViewersKeysDo)
{
    struct Case {
        Qt::Key key = Qt::Key_unknown;
        Qt::KeyboardModifiers modifiers;
        int picture = 0;
        bool fullScreen = true;
    };
    const Case cases[] = {
        {Qt::Key_Right, Qt::NoModifier, 4},    {Qt::Key_Space, Qt::NoModifier, 4},
        {Qt::Key_PageDown, Qt::NoModifier, 4}, {Qt::Key_Right, Qt::AltModifier, 4},
        {Qt::Key_Left, Qt::NoModifier, 2},     {Qt::Key_Backspace, Qt::NoModifier, 2},
        {Qt::Key_PageUp, Qt::NoModifier, 2},   {Qt::Key_Left, Qt::AltModifier, 2},
        {Qt::Key_Home, Qt::NoModifier, 1},     {Qt::Key_End, Qt::NoModifier, 5},
        {Qt::Key_F, Qt::NoModifier, 3, false}, {Qt::Key_F11, Qt::NoModifier, 3, false},
        {Qt::Key_Q, Qt::NoModifier, 3, false}, {Qt::Key_Escape, Qt::NoModifier, 3, false},
        {Qt::Key_Down, Qt::NoModifier, 3},     {Qt::Key_Return, Qt::NoModifier, 3},
    };
    for (const Case& c : cases) {
        StandOnTheThirdOfFiveInFullScreen();
        const std::string key = QKeySequence(QKeyCombination(c.modifiers, c.key)).toString().toStdString();
        QTest::keyClick(form.FullScreen(), c.key, c.modifiers);
        EXPECT_EQ(form.Shown().recipe->picture, c.picture) << key;
        EXPECT_EQ(form.InFullScreen(), c.fullScreen) << key;
        // Walking never draws from the sequence.
        EXPECT_EQ(random.drawn, 5 * kDrawsPerPicture) << key;
        EXPECT_EQ(form.FullScreen()->Image(), RasterPlayer(form.FullScreen()->Fit().scale).Play(form.Shown().recording))
            << key;
    }
}

TEST_F(ViewKeys, ForwardInFullScreenAtTheNewestPictureDrawsTheNextNewOneAsAClickDoes)
{
    form.ToggleFullScreen();
    FullScreenView* view = form.FullScreen();
    ASSERT_TRUE(testing::Activate(*view));
    QTest::keyClick(view, Qt::Key_PageDown);
    QTest::mouseClick(view, Qt::LeftButton);
    EXPECT_EQ(form.Shown().recipe->picture, 3);
    EXPECT_EQ(random.drawn, 3 * kDrawsPerPicture);
    // Behind the newest, a click walks.
    QTest::keyClick(view, Qt::Key_Home);
    QTest::mouseClick(view, Qt::LeftButton);
    EXPECT_EQ(form.Shown().recipe->picture, 2);
    QTest::mouseClick(view, Qt::BackButton);
    EXPECT_EQ(form.Shown().recipe->picture, 1);
    EXPECT_EQ(random.drawn, 3 * kDrawsPerPicture);
}

TEST_F(ViewKeys, TheWindowKeepsItsOwnKeys)
{
    Next();
    Next();
    // Image viewers' keys are full screen's only: here they do nothing.
    for (const Qt::Key key : {Qt::Key_Left, Qt::Key_PageUp, Qt::Key_Home, Qt::Key_Backspace, Qt::Key_Escape, Qt::Key_Q,
                              Qt::Key_F, Qt::Key_P, Qt::Key_F1, Qt::Key_R}) {
        QTest::keyClick(&form, key);
        EXPECT_EQ(form.Shown().recipe->picture, 3) << QKeySequence(key).toString().toStdString();
        EXPECT_FALSE(form.InFullScreen());
        // Without --paint, R paints nothing again: the picture stays whole.
        EXPECT_EQ(Picture1()->PaintedFor(), PicturePainting::kFinished);
    }
    QTest::keyClick(&form, Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(form.Shown().recipe->picture, 2);
    QTest::keyClick(&form, Qt::Key_Right, Qt::AltModifier);
    QTest::keyClick(&form, Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(form.Shown().recipe->picture, 3);
    EXPECT_EQ(random.drawn, 3 * kDrawsPerPicture);
    QTest::keyClick(&form, Qt::Key_F11);
    EXPECT_TRUE(form.InFullScreen());
}

TEST_F(ViewKeys, BackAndForwardAreDisabledInBothMenusWhereTheyCanDoNothing)
{
    using Entries = std::vector<std::pair<QString, bool>>;
    // One picture: nothing to walk to.
    EXPECT_EQ(MenuEntries(WindowMenu()), (Entries{{"Copy picture", true},
                                                  {"Save picture as\u2026", true},
                                                  {"Open picture\u2026", true},
                                                  {"Back", false},
                                                  {"Forward", false},
                                                  {"Full screen", true}}));
    Next();
    EXPECT_EQ(MenuEntries(WindowMenu())[3], (std::pair<QString, bool>{"Back", true}));
    EXPECT_EQ(MenuEntries(WindowMenu())[4], (std::pair<QString, bool>{"Forward", false}));
    form.Back();
    EXPECT_EQ(MenuEntries(WindowMenu())[3], (std::pair<QString, bool>{"Back", false}));
    EXPECT_EQ(MenuEntries(WindowMenu())[4], (std::pair<QString, bool>{"Forward", true}));

    // In full screen Forward always does something: at the newest picture it draws a new one.
    form.ToggleFullScreen();
    EXPECT_EQ(MenuEntries(form.FullScreen()->MenuActions()), (Entries{{"Copy picture", true},
                                                                      {"Save picture as\u2026", true},
                                                                      {"Open picture\u2026", true},
                                                                      {"Back", false},
                                                                      {"Forward", true},
                                                                      {"First picture", false},
                                                                      {"Newest picture", true},
                                                                      {"Pause slideshow", false},
                                                                      {"Keys", true},
                                                                      {"Leave full screen", true}}));
    form.Forward();
    const Entries atNewest = MenuEntries(form.FullScreen()->MenuActions());
    EXPECT_EQ(atNewest[3], (std::pair<QString, bool>{"Back", true}));
    EXPECT_EQ(atNewest[4], (std::pair<QString, bool>{"Forward", true}));
    EXPECT_EQ(atNewest[5], (std::pair<QString, bool>{"First picture", true}));
    EXPECT_EQ(atNewest[6], (std::pair<QString, bool>{"Newest picture", false}));
}

TEST_F(ViewKeys, QuestionMarkOrF1ListsTheFullScreenKeysAndTheListFadesByItself)
{
    form.ToggleFullScreen();
    FullScreenView* view = form.FullScreen();
    ASSERT_TRUE(testing::Activate(*view));
    auto* keys = view->findChild<QLabel*>("Keys");
    ASSERT_NE(keys, nullptr);
    EXPECT_FALSE(keys->isVisible());
    for (const Qt::Key key : {Qt::Key_Question, Qt::Key_F1}) {
        QTest::keyClick(view, key);
        EXPECT_TRUE(keys->isVisible());
    }
    QTextDocument shown;
    shown.setHtml(keys->text());
    // Each command on a line of its own, below its keys.
    const QString text = shown.toPlainText().replace(QChar(0xa0), QLatin1Char(' '));
    for (const char* line :
         {"Right, Space, PgDown, Alt+Right, click, mouse forward\n  Forward\n",
          "Left, Backspace, PgUp, Alt+Left, mouse back\n  Back\n", "Home\n  First picture\n", "End\n  Newest picture\n",
          "p\n  Pause slideshow\n", "?, F1\n  Keys\n", "f, F11\n  Full screen\n", "Esc, q\n  Leave full screen",
          "Ctrl+C, Ctrl+Ins, F16\n  Copy picture\n"}) {
        EXPECT_TRUE(text.contains(QString::fromUtf8(line))) << line << "\n" << text.toStdString();
    }
    EXPECT_TRUE(keys->geometry().intersects(view->rect()));
    EXPECT_TRUE(QTest::qWaitFor([keys] { return !keys->isVisible(); },
                                FullScreenView::kKeysMilliseconds + FadingNote::kFadeMilliseconds + 3000));
    EXPECT_EQ(random.drawn, kDrawsPerPicture);
}

}  // namespace
}  // namespace lorvane
