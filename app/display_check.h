#pragma once

namespace lorvane {

// Turns the toolkit's fatal start-up errors (no display it can open, say) into one line on
// standard error and exit status 1, instead of an abort and a core dump.
void ReportFatalErrorsInOneLine();

// False, after one line on standard error, when no display is named at all.
bool DisplayNamed();

}  // namespace lorvane
