#include "app/view_keys.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include <QAction>
#include <QStringList>
#include <QWidget>

namespace lorvane {

namespace {

using enum ViewCommand;

// The window's keys as they have always been; Escape does nothing there.
constexpr std::array kWindowKeyRows{
    KeyRow{Qt::Key_C, Qt::ControlModifier, Copy},
    KeyRow{Qt::Key_Insert, Qt::ControlModifier, Copy},
    KeyRow{Qt::Key_F16, Qt::NoModifier, Copy},  // the Copy key of some X11 keyboards
    KeyRow{Qt::Key_S, Qt::ControlModifier, Save},
    KeyRow{Qt::Key_O, Qt::ControlModifier, Open},
    KeyRow{Qt::Key_Left, Qt::AltModifier, Back},
    KeyRow{Qt::Key_Right, Qt::AltModifier, Forward},
    KeyRow{Qt::Key_F11, Qt::NoModifier, ToggleFullScreen},
    KeyRow{Qt::Key_R, Qt::NoModifier, PaintAgain},
};
constexpr std::array kWindowButtonRows{
    ButtonRow{Qt::BackButton, Back},
    ButtonRow{Qt::ForwardButton, Forward},
};
// Pause slideshow shows only while one runs; it has no key, so the window's keys stay as they were.
// Paint again shows, and its key works, only when pictures paint themselves.
constexpr std::array kWindowMenu{Copy, Save, Open, Back, Forward, ToggleFullScreen, PauseOrResume, PaintAgain};

// As image viewers have them (eog, feh, nsxiv); the window's keys for keeping and walking too.
constexpr std::array kFullScreenKeyRows{
    KeyRow{Qt::Key_Right, Qt::NoModifier, Forward},
    KeyRow{Qt::Key_Space, Qt::NoModifier, Forward},
    KeyRow{Qt::Key_PageDown, Qt::NoModifier, Forward},
    KeyRow{Qt::Key_Right, Qt::AltModifier, Forward},
    KeyRow{Qt::Key_Left, Qt::NoModifier, Back},
    KeyRow{Qt::Key_Backspace, Qt::NoModifier, Back},
    KeyRow{Qt::Key_PageUp, Qt::NoModifier, Back},
    KeyRow{Qt::Key_Left, Qt::AltModifier, Back},
    KeyRow{Qt::Key_Home, Qt::NoModifier, First},
    KeyRow{Qt::Key_End, Qt::NoModifier, Newest},
    KeyRow{Qt::Key_P, Qt::NoModifier, PauseOrResume},
    KeyRow{Qt::Key_R, Qt::NoModifier, PaintAgain},
    KeyRow{Qt::Key_C, Qt::ControlModifier, Copy},
    KeyRow{Qt::Key_Insert, Qt::ControlModifier, Copy},
    KeyRow{Qt::Key_F16, Qt::NoModifier, Copy},
    KeyRow{Qt::Key_S, Qt::ControlModifier, Save},
    KeyRow{Qt::Key_O, Qt::ControlModifier, Open},
    // "?" is Shift+/ on most layouts; Qt matches it either way.
    KeyRow{Qt::Key_Question, Qt::NoModifier, ShowKeys},
    KeyRow{Qt::Key_F1, Qt::NoModifier, ShowKeys},
    KeyRow{Qt::Key_F, Qt::NoModifier, ToggleFullScreen},
    KeyRow{Qt::Key_F11, Qt::NoModifier, ToggleFullScreen},
    KeyRow{Qt::Key_Escape, Qt::NoModifier, LeaveFullScreen},
    KeyRow{Qt::Key_Q, Qt::NoModifier, LeaveFullScreen},
};
constexpr std::array kFullScreenButtonRows{
    ButtonRow{Qt::LeftButton, Forward},
    ButtonRow{Qt::BackButton, Back},
    ButtonRow{Qt::ForwardButton, Forward},
};
constexpr std::array kFullScreenMenu{Copy,   Save,          Open,       Back,     Forward,        First,
                                     Newest, PauseOrResume, PaintAgain, ShowKeys, LeaveFullScreen};

QString KeyName(const KeyRow& row)
{
    // Letters as typed, so that "f" is not read as a function key.
    if (row.modifiers == Qt::NoModifier && row.key >= Qt::Key_A && row.key <= Qt::Key_Z) {
        return QChar(QLatin1Char(static_cast<char>('a' + (row.key - Qt::Key_A))));
    }
    return QKeySequence(QKeyCombination(row.modifiers, row.key)).toString(QKeySequence::NativeText);
}

QString ButtonName(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return QStringLiteral("click");
    case Qt::BackButton:
        return QStringLiteral("mouse back");
    case Qt::ForwardButton:
        return QStringLiteral("mouse forward");
    default:
        return {};
    }
}

}  // namespace

const ViewKeys kWindowKeys{kWindowKeyRows, kWindowButtonRows, kWindowMenu};
const ViewKeys kFullScreenKeys{kFullScreenKeyRows, kFullScreenButtonRows, kFullScreenMenu};

QString CommandText(ViewCommand command)
{
    switch (command) {
    case Copy:
        return QStringLiteral("Copy picture");
    case Save:
        return QStringLiteral("Save picture as\u2026");
    case Open:
        return QStringLiteral("Open picture\u2026");
    case Back:
        return QStringLiteral("Back");
    case Forward:
        return QStringLiteral("Forward");
    case First:
        return QStringLiteral("First picture");
    case Newest:
        return QStringLiteral("Newest picture");
    case PauseOrResume:
        return QStringLiteral("Pause slideshow");
    case PaintAgain:
        return QStringLiteral("Paint again");
    case ToggleFullScreen:
        return QStringLiteral("Full screen");
    case LeaveFullScreen:
        return QStringLiteral("Leave full screen");
    case ShowKeys:
        return QStringLiteral("Keys");
    }
    return {};
}

std::optional<ViewCommand> ButtonCommand(const ViewKeys& view, Qt::MouseButton button)
{
    const auto row = std::ranges::find(view.buttons, button, &ButtonRow::button);
    if (row == view.buttons.end()) {
        return std::nullopt;
    }
    return row->command;
}

QString KeysTable(const ViewKeys& view)
{
    // One line a command, in the order the table first names it.
    std::vector<std::pair<ViewCommand, QStringList>> lines;
    const auto lineOf = [&lines](ViewCommand command) -> QStringList& {
        auto found = std::ranges::find_if(lines, [command](const auto& line) { return line.first == command; });
        if (found == lines.end()) {
            return lines.emplace_back(command, QStringList()).second;
        }
        return found->second;
    };
    for (const KeyRow& row : view.keys) {
        lineOf(row.command) << KeyName(row);
    }
    for (const ButtonRow& row : view.buttons) {
        lineOf(row.command) << ButtonName(row.button);
    }
    QString table = QStringLiteral("<table cellspacing=\"0\" cellpadding=\"3\">");
    for (const auto& [command, keys] : lines) {
        table += QStringLiteral("<tr><td><b>%1</b></td><td>&nbsp;&nbsp;%2</td></tr>")
                     .arg(keys.join(QStringLiteral(", ")).toHtmlEscaped(), CommandText(command).toHtmlEscaped());
    }
    return table + QStringLiteral("</table>");
}

ViewActions::ViewActions(const ViewKeys& keys, QWidget* view, std::function<void(ViewCommand)> run)
{
    const auto actionFor = [&](ViewCommand command) {
        QAction*& action = actions_[command];
        if (action == nullptr) {
            action = new QAction(CommandText(command), view);
            action->setShortcutContext(Qt::WindowShortcut);
            QList<QKeySequence> shortcuts;
            for (const KeyRow& row : keys.keys) {
                if (row.command == command) {
                    shortcuts << QKeySequence(QKeyCombination(row.modifiers, row.key));
                }
            }
            action->setShortcuts(shortcuts);
            QObject::connect(action, &QAction::triggered, view, [run, command] { run(command); });
            view->addAction(action);
        }
        return action;
    };
    for (const ViewCommand command : keys.menu) {
        menu_ << actionFor(command);
    }
    for (const KeyRow& row : keys.keys) {
        actionFor(row.command);
    }
}

QAction* ViewActions::Action(ViewCommand command) const
{
    const auto found = actions_.find(command);
    return found == actions_.end() ? nullptr : found->second;
}

}  // namespace lorvane
