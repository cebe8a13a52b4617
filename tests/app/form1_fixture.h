#pragma once

#include <QApplication>
#include <QGuiApplication>
#include <QPushButton>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include "app/form1.h"
#include "app/picture_box.h"
#include "tests/fakes.h"

namespace lorvane::testing {

// Asks for `window` to be the active one and waits until it is. A desktop activates a window when
// it is shown or clicked; a headless Wayland compositor has no seat to give it the keyboard, so
// there the test hands it over as the compositor would.
inline bool Activate(QWidget& window)
{
    if (QGuiApplication::platformName() == QLatin1String("wayland")) {
        if (!QTest::qWaitForWindowExposed(&window)) {
            return false;
        }
        QApplication::setActiveWindow(&window);
        return QApplication::activeWindow() == &window;
    }
    // Not QTest::qWaitForWindowActive, which answers too early for the full-screen view: its
    // window counts as active while its owner, the window, still is.
    window.activateWindow();
    return QTest::qWaitFor([&window] { return QApplication::activeWindow() == &window; });
}

// The window after start-up at 09:05:02.25 (its seed, from the time of day), active and showing
// its first picture of the real sequence, whose values are counted.
class Form1Fixture : public ::testing::Test {
protected:
    static constexpr float kSeed = 33302.25F;

    void SetUp() override
    {
        clock.timer = kSeed;
        form.Load();
        ASSERT_TRUE(Activate(form));
    }

    QPushButton* Button(const char* name) { return form.findChild<QPushButton*>(name); }
    PictureBox* Picture1() { return form.findChild<PictureBox*>("Picture1"); }
    const QImage& Shown() { return Picture1()->Image(); }
    void Next() { Button("Command1")->click(); }

    ScriptedRandomSource random;
    ScriptedClock clock{"03-07-2024", "09:05:02"};
    Form1 form{random, clock};
};

}  // namespace lorvane::testing
