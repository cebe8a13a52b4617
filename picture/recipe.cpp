#include "picture/recipe.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <system_error>

#include "platform/float_text.h"

namespace lorvane {

namespace {

constexpr std::size_t kDigitsOfAt = 14;
constexpr std::string_view kForm = "seed=S picture=N at=YYYYMMDDhhmmss";
constexpr std::string_view kBlanks = " \t\r\n";

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The value after `key=` in `field`, or nothing when the field is not that key.
bool Take(std::string_view field, std::string_view key, std::string_view& value)
{
    if (field.size() <= key.size() || field.substr(0, key.size()) != key || field[key.size()] != '=') {
        return false;
    }
    value = field.substr(key.size() + 1);
    return true;
}

// Builds text by appending; GCC 12 warns falsely about `"literal" + std::string` at -O3.
std::string Join(std::initializer_list<std::string_view> pieces)
{
    std::string text;
    for (const std::string_view piece : pieces) {
        text += piece;
    }
    return text;
}

std::string Quoted(std::string_view text)
{
    return Join({"'", text, "'"});
}

// For a decimal number too far from zero or too close to it for a float: whether it is too close,
// by the place of its first significant digit (negative below 1), the written exponent saturated.
bool CloserToZeroThanAFloat(std::string_view number)
{
    const std::size_t e = number.find_first_of("eE");
    // The place of the first significant digit: 1 for 1 to 9.99, 0 for 0.1 to 0.999, -1 below.
    std::int64_t place = 0;
    bool significant = false;
    bool fraction = false;
    for (const char c : number.substr(0, e)) {
        if (c == '.') {
            fraction = true;
        } else if (IsDigit(c) && !significant) {
            significant = c != '0';
            if (fraction && !significant) {
                --place;
            } else if (!fraction && significant) {
                ++place;
            }
        } else if (IsDigit(c) && !fraction) {
            ++place;
        }
    }
    constexpr std::int64_t saturated = 1000000000;
    std::int64_t exponent = 0;
    if (e != std::string_view::npos) {
        for (const char c : number.substr(e + 1)) {
            exponent = IsDigit(c) ? std::min(saturated, exponent * 10 + (c - '0')) : exponent;
        }
        exponent = number.substr(e + 1).starts_with('-') ? -exponent : exponent;
    }
    return place + exponent <= 0;
}

}  // namespace

std::variant<float, Problem> ParseSeed(std::string_view text, std::string_view name)
{
    float seed = 0.0F;
    const auto [end, error] = FloatFromChars(text.data(), text.data() + text.size(), seed);
    const std::string said = Join({name, " ", Quoted(text)});
    if (error == std::errc::invalid_argument || end != text.data() + text.size()) {
        return Problem{Join({said, " is not a number"})};
    }
    if (error == std::errc::result_out_of_range) {
        if (!CloserToZeroThanAFloat(text)) {
            return Problem{Join({said, " is a number out of range: at most 3.40282e+38 either way"})};
        }
        // As a float rounds it: zero, with the number's sign.
        seed = text.starts_with('-') ? -0.0F : 0.0F;
    }
    if (!std::isfinite(seed)) {
        return Problem{Join({said, " is not a finite number"})};
    }
    return seed;
}

namespace {

std::variant<int, Problem> ParsePicture(std::string_view text)
{
    const Problem wrong{
        Join({"picture ", Quoted(text), " is not a whole number from 1 to ", std::to_string(Recipe::kLastPicture)})};
    for (const char c : text) {
        if (!IsDigit(c)) {
            return wrong;
        }
    }
    std::uint64_t picture = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), picture);
    if (error != std::errc{} || end != text.data() + text.size() || picture < 1 ||
        picture > static_cast<std::uint64_t>(Recipe::kLastPicture)) {
        return wrong;
    }
    return static_cast<int>(picture);
}

}  // namespace

std::string Recipe::Name() const
{
    return Join({"T", at});
}

std::string Recipe::SeedText() const
{
    // Shortest form that reads back to the same float, in the "C" locale whatever the process's.
    std::array<char, 32> digits{};
    const auto result = FloatToChars(digits.data(), digits.data() + digits.size(), seed);
    return {digits.data(), static_cast<std::size_t>(result.ptr - digits.data())};
}

std::string Recipe::Text() const
{
    return Join({"seed=", SeedText(), " picture=", std::to_string(picture), " at=", at});
}

std::string Recipe::IsoTime() const
{
    if (at.size() != kDigitsOfAt) {
        return {};
    }
    const std::string_view digits = at;
    return Join({digits.substr(0, 4), "-", digits.substr(4, 2), "-", digits.substr(6, 2), "T", digits.substr(8, 2), ":",
                 digits.substr(10, 2), ":", digits.substr(12, 2)});
}

std::variant<Recipe, Problem> ParseRecipe(std::string_view text)
{
    if (text.size() > Recipe::kLongestText) {
        return Problem{Join({"the recipe is longer than ", std::to_string(Recipe::kLongestText), " characters"})};
    }
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return Problem{"the recipe is empty"};
    }
    text = text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
    for (const char c : text) {
        if (c < ' ' || c > '~') {
            return Problem{"the recipe holds characters other than letters, digits and signs"};
        }
    }

    std::array<std::string_view, 3> values;
    constexpr std::array<std::string_view, 3> keys = {"seed", "picture", "at"};
    std::string_view rest = text;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const std::size_t space = rest.find(' ');
        const std::string_view field = rest.substr(0, space);
        const bool last = i + 1 == keys.size();
        if (!Take(field, keys.at(i), values.at(i)) || (last != (space == std::string_view::npos))) {
            return Problem{Join({"the recipe ", Quoted(text), " is not of the form ", kForm})};
        }
        rest = last ? std::string_view{} : rest.substr(space + 1);
    }

    Recipe recipe;
    auto seed = ParseSeed(values[0], "seed");
    if (auto* error = std::get_if<Problem>(&seed)) {
        return std::move(*error);
    }
    recipe.seed = std::get<float>(seed);
    auto picture = ParsePicture(values[1]);
    if (auto* error = std::get_if<Problem>(&picture)) {
        return std::move(*error);
    }
    recipe.picture = std::get<int>(picture);
    if (!IsDateAndTime(values[2])) {
        return Problem{Join({"at ", Quoted(values[2]), " is not a date and time YYYYMMDDhhmmss"})};
    }
    recipe.at = values[2];
    return recipe;
}

std::optional<Recipe> RecipeOfPicture(float seed, int picture, std::string_view name)
{
    if (picture < 1 || picture > Recipe::kLastPicture || !name.starts_with('T') || !IsDateAndTime(name.substr(1))) {
        return std::nullopt;
    }
    return Recipe{seed, picture, std::string(name.substr(1))};
}

}  // namespace lorvane
