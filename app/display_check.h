#pragma once

namespace lorvane {

// Turns the toolkit's fatal start-up errors (no display it can open, say) into one line on
// standard error and exit status 1, instead of an abort and a core dump. Until
// LetToolkitNotesThrough(), the toolkit's other notes about the environment (such as a missing
// XDG_RUNTIME_DIR when run as root) are dropped, so that an answer to the command line is one line.
void ReportFatalErrorsInOneLine();

// From here on the toolkit's notes reach standard error as usual.
void LetToolkitNotesThrough();

// Whether a display is named at all (or a platform plugin chosen).
[[nodiscard]] bool AnyDisplayNamed();
// False, after one line on standard error, when no display is named at all.
bool DisplayNamed();

}  // namespace lorvane
