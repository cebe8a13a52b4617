// libFuzzer: any bytes given to the recipe reader, as the content of a --from file, give a recipe
// or one line saying what is wrong with the file; bytes in memory are never the system's fault.
#include <cstddef>
#include <cstdint>
#include <variant>

#include <QByteArrayView>

#include "formats/recipe_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto read = lorvane::RecipeReader::ReadBytes(
        QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (const auto* problem = std::get_if<lorvane::RecipeProblem>(&read)) {
        if (problem->cause != lorvane::RecipeProblem::Cause::File || problem->message.isEmpty() ||
            problem->message.contains(QLatin1Char('\n'))) {
            __builtin_trap();
        }
    }
    return 0;
}
