#pragma once

#include <charconv>

namespace lorvane {

// Single-precision numbers as text, exactly and in the "C" locale whatever the process's, with
// the same results as std::to_chars and std::from_chars for float. Our own because not every
// standard library we build with has the float versions (libc++ 13, which the web build uses,
// has neither); with these the window, lorvane01-render and the web page write and read a
// recipe's seed alike.

// As std::to_chars(first, last, value): the fewest significant digits that read back to the same
// float (the nearest such when several have as few), in plain or exponent form, whichever is
// shorter (plain on a tie). std::errc::value_too_large when it does not fit.
std::to_chars_result FloatToChars(char* first, char* last, float value);

// As std::from_chars(first, last, value) in its general format: correctly rounded, halves to
// even. std::errc::invalid_argument when no number starts at `first`, and
// std::errc::result_out_of_range (value left unchanged) when a number is too large for a float
// or so small that it rounds to zero.
std::from_chars_result FloatFromChars(const char* first, const char* last, float& value);

}  // namespace lorvane
