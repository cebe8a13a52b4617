// libFuzzer: any bytes given to the recipe reader, as the content of a --from file, give a recipe
// or one line saying what is wrong with the file; bytes in memory are never the system's fault.
#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>

#include <QByteArrayView>

#include "formats/recipe_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto read = lorvane::RecipeReader::ReadBytes(
        QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (const auto* problem = std::get_if<lorvane::Problem>(&read)) {
        if (problem->status != lorvane::Problem::kRefused || problem->message.empty() ||
            problem->message.find('\n') != std::string::npos) {
            __builtin_trap();
        }
    }
    return 0;
}
