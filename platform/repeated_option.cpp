#include "platform/repeated_option.h"

#include <string_view>
#include <unordered_set>

namespace lorvane {

std::optional<std::string> RepeatedOption(const std::vector<std::string>& names)
{
    std::unordered_set<std::string_view> seen;
    for (const std::string& name : names) {
        if (!seen.insert(name).second) {
            std::string line = name.size() == 1 ? "-" : "--";
            line += name;
            line += " is given more than once";
            return line;
        }
    }
    return std::nullopt;
}

}  // namespace lorvane
