#pragma once

#include <functional>
#include <map>
#include <optional>
#include <span>

#include <QKeySequence>
#include <QList>
#include <QString>

class QAction;
class QWidget;

namespace lorvane {

// What a key, a mouse button or a menu entry asks a view to do.
enum class ViewCommand {
    Copy,
    Save,
    Open,
    // In full screen, Forward at the newest picture draws the next new one, as "next" does.
    Back,
    Forward,
    First,
    Newest,
    PauseOrResume,
    // The picture shown paints itself again, when pictures paint themselves (--paint).
    PaintAgain,
    ToggleFullScreen,
    LeaveFullScreen,
    ShowKeys,
};

// One key of a view: the key, its modifiers and what it does.
struct KeyRow {
    Qt::Key key = Qt::Key_unknown;
    Qt::KeyboardModifiers modifiers;
    ViewCommand command = ViewCommand::ShowKeys;
};

struct ButtonRow {
    Qt::MouseButton button = Qt::NoButton;
    ViewCommand command = ViewCommand::ShowKeys;
};

// Everything a view answers to, as data: each view's keys live in its table and nowhere else
// (the README's keys table describes these tables).
struct ViewKeys {
    std::span<const KeyRow> keys;
    std::span<const ButtonRow> buttons;
    // The context menu's entries, in order; commands with keys but not here have no entry.
    std::span<const ViewCommand> menu;
};

// The window: its keys, the mouse's back and forward buttons, and the drawing area's menu.
extern const ViewKeys kWindowKeys;
// The full-screen view, with the keys image viewers have.
extern const ViewKeys kFullScreenKeys;

// The menu entry's words for a command.
[[nodiscard]] QString CommandText(ViewCommand command);
// The command a mouse button asks for in a view, or none.
[[nodiscard]] std::optional<ViewCommand> ButtonCommand(const ViewKeys& view, Qt::MouseButton button);
// A rich-text table of a view's commands and their keys, one line a command, for an overlay.
[[nodiscard]] QString KeysTable(const ViewKeys& view);

// One action for each command of a view, its shortcuts the view's keys for it, added to `view`
// so that they work anywhere in its window; triggering one hands its command to `run`.
class ViewActions {
public:
    ViewActions(const ViewKeys& keys, QWidget* view, std::function<void(ViewCommand)> run);

    // The command's action, or nullptr when the view has none.
    [[nodiscard]] QAction* Action(ViewCommand command) const;
    // The menu's actions, in order.
    [[nodiscard]] QList<QAction*> Menu() const { return menu_; }

private:
    std::map<ViewCommand, QAction*> actions_;
    QList<QAction*> menu_;
};

}  // namespace lorvane
