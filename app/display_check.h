#pragma once

namespace lorvane {

// False, after one line on standard error, when there is plainly no display to open.
// Also turns the toolkit's fatal start-up errors into that one line and exit status 1.
bool DisplayAvailable();

}  // namespace lorvane
