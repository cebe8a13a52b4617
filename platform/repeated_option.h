#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lorvane {

// The one rule both programs keep for an option given more than once (`--scale 2 --scale 3`):
// it is refused, rather than the last one silently winning. `names` are the options in the order
// given, without their dashes, as Qt's parser lists them; the answer is the line that says which
// one was repeated, or none.
[[nodiscard]] std::optional<std::string> RepeatedOption(const std::vector<std::string>& names);

}  // namespace lorvane
