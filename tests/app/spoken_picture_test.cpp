// What a screen reader finds in the window: each control's role and name. How a new picture is
// announced is checked through the real accessibility bus (tests/a11y/).
#include <QAccessible>

#include <gtest/gtest.h>

#include "app/full_screen_view.h"
#include "app/spoken_picture.h"
#include "tests/app/form1_fixture.h"

namespace lorvane {
namespace {

class SpokenPicture : public testing::Form1Fixture {
protected:
    static constexpr const char* kFirst = "T20240307090502, picture 1 of seed 33302.25";
};

TEST_F(SpokenPicture, NamesThePictureAfterItsRecipe)
{
    struct Case {
        std::optional<Recipe> recipe;
        QString name;
    };
    const Case cases[] = {
        {Recipe{32702.0F, 3, "20240307090502"}, "T20240307090502, picture 3 of seed 32702"},
        {Recipe{-1.5e-7F, 10000000, "19991231235959"}, "T19991231235959, picture 10000000 of seed -1.5e-07"},
        {std::nullopt, "A picture without a name"},
    };
    for (const Case& c : cases) {
        const lorvane::SpokenPicture spoken = SpeakPicture(c.recipe);
        EXPECT_EQ(spoken.name, c.name);
        EXPECT_TRUE(spoken.description.startsWith(c.name + ": an abstract picture of 200 squares"))
            << spoken.description.toStdString();
    }
}

TEST_F(SpokenPicture, EveryControlHasItsRoleAndName)
{
    struct Case {
        QWidget* widget = nullptr;
        QAccessible::Role role = QAccessible::NoRole;
        QString name;
    };
    const Case cases[] = {
        {&form, QAccessible::Window, "Form1"},
        {Picture1(), QAccessible::Graphic, kFirst},
        {Button("Command1"), QAccessible::Button, "next"},
        {Button("Command2"), QAccessible::Button, "exit"},
        {form.FullScreen(), QAccessible::Graphic, kFirst},
    };
    for (const Case& c : cases) {
        const QAccessibleInterface* face = QAccessible::queryAccessibleInterface(c.widget);
        ASSERT_NE(face, nullptr) << c.widget->objectName().toStdString();
        EXPECT_EQ(face->role(), c.role) << c.widget->objectName().toStdString();
        EXPECT_EQ(face->text(QAccessible::Name), c.name) << c.widget->objectName().toStdString();
        EXPECT_FALSE(face->text(QAccessible::Description).isEmpty()) << c.widget->objectName().toStdString();
    }
}

TEST_F(SpokenPicture, BothViewsAreNamedAfterThePictureShown)
{
    const auto nameOf = [](QWidget* view) {
        return QAccessible::queryAccessibleInterface(view)->text(QAccessible::Name);
    };
    Next();
    EXPECT_EQ(nameOf(Picture1()), "T20240307090502, picture 2 of seed 33302.25");
    EXPECT_EQ(nameOf(form.FullScreen()), "T20240307090502, picture 2 of seed 33302.25");
    form.Back();
    EXPECT_EQ(nameOf(Picture1()), kFirst);
    EXPECT_EQ(nameOf(form.FullScreen()), kFirst);
}

}  // namespace
}  // namespace lorvane
