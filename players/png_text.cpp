#include "png_text.h"

#include "recipe_metadata.h"

namespace lorvane {

PngText RecipePngText(const Recipe& recipe)
{
    const auto key = [](std::string_view name) { return QString::fromLatin1(name); };
    return {{key(RecipeMetadata::kPngTitleKey), QString::fromStdString(recipe.Name())},
            {key(RecipeMetadata::kPngSoftwareKey), QString::fromStdString(RecipeMetadata::Software())},
            {key(RecipeMetadata::kPngCreationTimeKey), QString::fromStdString(recipe.IsoTime())},
            {key(RecipeMetadata::kPngRecipeKey), QString::fromStdString(recipe.Text())}};
}

}  // namespace lorvane
