#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lorvane {

// The program's arguments byte for byte, as `argv` holds them, read the way Qt's parser reads
// them: so that a file or folder whose name is not UTF-8 is still found. Both programs' command
// lines take their FILE and folder values from here after the parser has checked the arguments.
class RawArguments {
public:
    // `arguments` with the program's name first; `valueOptions` are the long options that take a
    // value (without their dashes), whose next argument is that value.
    RawArguments(std::vector<std::string> arguments, std::vector<std::string> valueOptions);
    // The same from any list of byte strings (the toolkit's own included).
    template <class Arguments>
    RawArguments(const Arguments& arguments, std::vector<std::string> valueOptions)
        : RawArguments(Copied(arguments), std::move(valueOptions))
    {
    }

    // The first argument that is neither an option nor an option's value (the one after "--"
    // when it comes to that first); none when there is none.
    [[nodiscard]] std::optional<std::string> File() const;
    // The last value given for `option` ("out" for `--out DIR` or `--out=DIR`); none when it is not given.
    [[nodiscard]] std::optional<std::string> Value(std::string_view option) const;

private:
    template <class Arguments>
    static std::vector<std::string> Copied(const Arguments& arguments)
    {
        std::vector<std::string> copied;
        for (const auto& argument : arguments) {
            copied.emplace_back(argument.data(), static_cast<std::size_t>(argument.size()));
        }
        return copied;
    }
    [[nodiscard]] bool TakesValue(std::string_view argument) const;

    std::vector<std::string> arguments_;
    std::vector<std::string> valueOptions_;
};

}  // namespace lorvane
