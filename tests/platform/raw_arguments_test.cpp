#include "platform/raw_arguments.h"

#include <algorithm>

#include <gtest/gtest.h>

namespace lorvane {
namespace {

const std::vector<std::string> kValueOptions = {"out", "from", "interval"};

// `arguments` after the program's name.
RawArguments Given(const std::vector<std::string>& arguments)
{
    std::vector<std::string> all(arguments.size() + 1, "program");
    std::copy(arguments.begin(), arguments.end(), all.begin() + 1);
    return {all, kValueOptions};
}

TEST(RawArguments, FindsTheFileAfterOptionsAndTheirValuesByteForByte)
{
    const std::string notUtf8 = "saved-\xff\xfe.png";
    const std::pair<std::vector<std::string>, std::optional<std::string>> cases[] = {
        {{}, std::nullopt},
        {{notUtf8}, notUtf8},
        {{"--interval", "2", "--fullscreen", notUtf8}, notUtf8},
        {{"--interval=2", notUtf8}, notUtf8},
        {{"--", "-dashed.png"}, "-dashed.png"},
        {{"--fullscreen", "--"}, std::nullopt},
        {{"-", "other"}, "-"},
        {{"--interval"}, std::nullopt},
    };
    for (const auto& [arguments, expected] : cases) {
        EXPECT_EQ(Given(arguments).File(), expected) << (arguments.empty() ? "" : arguments.back());
    }
}

TEST(RawArguments, TakesTheLastValueOfAnOptionUpToTheEndOfOptions)
{
    const std::string notUtf8 = "out-\xff";
    const std::pair<std::vector<std::string>, std::optional<std::string>> cases[] = {
        {{}, std::nullopt},
        {{"--out", notUtf8}, notUtf8},
        {{"--out=" + notUtf8}, notUtf8},
        {{"--out", "a", "--out=b"}, "b"},
        // The value of another option is not taken for one.
        {{"--from", "--out", "--out", "c"}, "c"},
        {{"--from", "--out"}, std::nullopt},
        {{"--", "--out", "d"}, std::nullopt},
        {{"--out"}, std::nullopt},
    };
    for (const auto& [arguments, expected] : cases) {
        EXPECT_EQ(Given(arguments).Value("out"), expected) << (arguments.empty() ? "" : arguments.back());
    }
}

}  // namespace
}  // namespace lorvane
