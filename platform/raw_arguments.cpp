#include "platform/raw_arguments.h"

#include <algorithm>
#include <utility>

namespace lorvane {

RawArguments::RawArguments(std::vector<std::string> arguments, std::vector<std::string> valueOptions)
    : arguments_(std::move(arguments)), valueOptions_(std::move(valueOptions))
{
}

bool RawArguments::TakesValue(std::string_view argument) const
{
    // `--name=value` holds its value itself.
    return argument.starts_with("--") &&
           std::find(valueOptions_.begin(), valueOptions_.end(), argument.substr(2)) != valueOptions_.end();
}

std::optional<std::string> RawArguments::File() const
{
    for (std::size_t i = 1; i < arguments_.size(); ++i) {
        const std::string& argument = arguments_[i];
        if (argument == "--") {
            return i + 1 < arguments_.size() ? std::optional(arguments_[i + 1]) : std::nullopt;
        }
        // "-" alone is a name, as for the parser.
        if (argument.size() < 2 || !argument.starts_with('-')) {
            return argument;
        }
        if (TakesValue(argument)) {
            ++i;
        }
    }
    return std::nullopt;
}

std::optional<std::string> RawArguments::Value(std::string_view option) const
{
    const std::string spaced = "--" + std::string(option);
    const std::string joined = spaced + "=";
    std::optional<std::string> value;
    for (std::size_t i = 1; i < arguments_.size(); ++i) {
        const std::string& argument = arguments_[i];
        if (argument == "--") {
            break;
        }
        if (argument == spaced && i + 1 < arguments_.size()) {
            value = arguments_[++i];
        } else if (argument.starts_with(joined)) {
            value = argument.substr(joined.size());
        } else if (TakesValue(argument)) {
            ++i;
        }
    }
    return value;
}

}  // namespace lorvane
