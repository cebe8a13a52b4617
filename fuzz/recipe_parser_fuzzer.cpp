// libFuzzer: any text given to the recipe parser gives a recipe or a reason, and a recipe it
// reads writes back to text that reads as the same recipe.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <variant>

#include "picture/recipe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto parsed = lorvane::ParseRecipe(text);
    if (const auto* recipe = std::get_if<lorvane::Recipe>(&parsed)) {
        const auto again = lorvane::ParseRecipe(recipe->Text());
        if (!std::holds_alternative<lorvane::Recipe>(again) ||
            std::get<lorvane::Recipe>(again).Text() != recipe->Text()) {
            __builtin_trap();
        }
    }
    return 0;
}
