#pragma once

#include <QIcon>

namespace lorvane {

// The window's icon: the installed icon's picture, built into the program as 128 x 128 bare
// pixels, so that nothing is decoded or searched for while the window opens.
[[nodiscard]] QIcon WindowIcon();

}  // namespace lorvane
