#!/usr/bin/python3
"""Reads lorvane01's window through the accessibility bus, as a screen reader does: finds its
controls by role and name, presses "next" through the Action interface and hears the picture's
new name, goes Back with Alt+Left and reads the picture's menu. Prints, a line each, what a
screen reader says.

Usage: probe.py FIRST-PICTURE-NAME NEXT-PICTURE-NAME
"""
import sys
import time

import pyatspi
from gi.repository import GLib

WAIT_SECONDS = 20
# The picture's menu in the window, with no slideshow.
MENU = ["Copy picture", "Save picture as\u2026", "Open picture\u2026", "Back", "Forward", "Full screen"]
# Deep enough for the window's few controls, bounded against a broken tree.
MOST_DEPTH = 6


def fail(message):
    print(f"probe: {message}", file=sys.stderr)
    sys.exit(1)


def say(accessible):
    """A screen reader's words for a control: name, role, description."""
    words = f"{accessible.name}, {accessible.getRoleName()}"
    if accessible.description:
        words += f". {accessible.description}"
    return words


def wait_for(find, seconds=WAIT_SECONDS):
    deadline = time.monotonic() + seconds
    while True:
        found = find()
        if found or time.monotonic() > deadline:
            return found
        time.sleep(0.2)


def descendants(accessible, depth=0):
    if accessible is None or depth > MOST_DEPTH:
        return
    yield accessible
    for child in accessible:
        yield from descendants(child, depth + 1)


def find(root, role, name=None):
    for accessible in descendants(root):
        if accessible.getRole() == role and (name is None or accessible.name == name):
            return accessible
    return None


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "lorvane01":
            return app
    return None


def press(accessible):
    action = accessible.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    if "Press" not in names:
        fail(f"{say(accessible)} has no Press action, only {names}")
    action.doAction(names.index("Press"))


def hear_new_name(image, act, expected):
    """Does `act`, then waits for the image to announce `expected` as its new name and its new
    description, each once, as a screen reader hears them."""
    heard = []
    loop = GLib.MainLoop()
    kinds = ("object:property-change:accessible-name", "object:property-change:accessible-description")

    def on_change(event):
        if event.source == image:
            heard.append((event.type.split(":")[-1], event.source.name, event.source.description))
            if len(heard) >= 2 and heard[-1][1] == expected:
                # Anything more that comes in the next moment is heard too.
                GLib.timeout_add(500, loop.quit)

    for kind in kinds:
        pyatspi.Registry.registerEventListener(on_change, kind)
    GLib.timeout_add_seconds(WAIT_SECONDS, loop.quit)
    act()
    loop.run()
    for kind in kinds:
        pyatspi.Registry.deregisterEventListener(on_change, kind)
    kinds_heard = sorted(kind for kind, _, _ in heard)
    if kinds_heard != ["accessible-description", "accessible-name"] or any(name != expected for _, name, _ in heard):
        fail(f"the picture did not announce {expected!r} once; heard {heard}")
    if not image.description.startswith(f"{expected}: an abstract picture"):
        fail(f"the picture's description is {image.description!r}")


# X11's modifier masks and key symbols.
ALT_MASK = 1 << 3
XK_LEFT = 0xFF51
XK_MENU = 0xFF67
XK_ESCAPE = 0xFF1B


def type_key(key, modifiers=0):
    """Types a key, as the keyboard would, into the window that has the focus."""
    registry = pyatspi.Registry
    if modifiers:
        registry.generateKeyboardEvent(modifiers, None, pyatspi.KEY_LOCKMODIFIERS)
    registry.generateKeyboardEvent(key, None, pyatspi.KEY_SYM)
    if modifiers:
        registry.generateKeyboardEvent(modifiers, None, pyatspi.KEY_UNLOCKMODIFIERS)


def menu_items_shown(act):
    """Does `act`, then reads the items of the menu it shows. A menu is no child of the
    application: screen readers learn of it as it shows."""
    menus = []
    loop = GLib.MainLoop()

    def on_showing(event):
        if event.detail1 == 1 and event.source.getRole() == pyatspi.ROLE_POPUP_MENU:
            menus.append(event.source)
            loop.quit()

    pyatspi.Registry.registerEventListener(on_showing, "object:state-changed:showing")
    GLib.timeout_add_seconds(WAIT_SECONDS, loop.quit)
    act()
    loop.run()
    pyatspi.Registry.deregisterEventListener(on_showing, "object:state-changed:showing")
    if not menus:
        return None
    # A hidden item (Pause slideshow, with no slideshow) is not read out.
    return wait_for(lambda: [item.name for item in menus[0]
                             if item.getRole() == pyatspi.ROLE_MENU_ITEM
                             and item.getState().contains(pyatspi.STATE_VISIBLE)], 5)


def main():
    if len(sys.argv) != 3:
        fail("usage: probe.py FIRST-PICTURE-NAME NEXT-PICTURE-NAME")
    first, following = sys.argv[1], sys.argv[2]
    app = wait_for(application)
    if app is None:
        fail("lorvane01 never appeared on the accessibility bus")
    window = wait_for(lambda: find(app, pyatspi.ROLE_FRAME, "Form1"))
    if window is None:
        fail("no frame named 'Form1'")
    image = wait_for(lambda: find(window, pyatspi.ROLE_IMAGE, first))
    if image is None:
        shown = [say(a) for a in descendants(window)]
        fail(f"no image named {first!r}; the window holds {shown}")
    if not image.description.startswith(f"{first}: an abstract picture"):
        fail(f"the picture's description is {image.description!r}")
    buttons = [find(window, pyatspi.ROLE_PUSH_BUTTON, name) for name in ("next", "exit")]
    if None in buttons:
        fail(f"no push buttons 'next' and 'exit': {[say(a) for a in descendants(window)]}")
    for accessible in [image] + buttons:
        if not accessible.getState().contains(pyatspi.STATE_FOCUSABLE):
            fail(f"{say(accessible)} cannot take the keyboard")
    print(f"start: {say(window)}; {say(image)}")
    print(f"buttons: {say(buttons[0])}; {say(buttons[1])}")

    hear_new_name(image, lambda: press(buttons[0]), following)
    print(f"after next: {say(image)}")
    hear_new_name(image, lambda: type_key(XK_LEFT, ALT_MASK), first)
    print(f"after Back: {say(image)}")

    # The picture's menu, from the keyboard (the Menu key): its items read as they are written.
    items = menu_items_shown(lambda: type_key(XK_MENU))
    type_key(XK_ESCAPE)
    if items != MENU:
        fail(f"the picture's menu reads {items}, not {MENU}")
    print(f"menu: {', '.join(items)}")


if __name__ == "__main__":
    main()
