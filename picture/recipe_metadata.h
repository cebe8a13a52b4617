#pragma once

#include <string>
#include <string_view>

#include "recipe.h"

namespace lorvane {

// Where a saved picture keeps its name and recipe. Every writer and the reader take the names
// from here, so that what is written can be read back.
struct RecipeMetadata {
    // PNG text chunks.
    static constexpr std::string_view kPngTitleKey = "Title";
    static constexpr std::string_view kPngSoftwareKey = "Software";
    static constexpr std::string_view kPngCreationTimeKey = "Creation Time";
    static constexpr std::string_view kPngRecipeKey = "lorvane01-recipe";

    // SVG: <title>name</title> and <metadata><recipe xmlns="...">text</recipe></metadata>, both
    // directly under the root <svg>.
    static constexpr std::string_view kSvgMetadataElement = "metadata";
    static constexpr std::string_view kSvgRecipeElement = "recipe";
    static constexpr std::string_view kSvgRecipeNamespace = "https://varlenko.art/lorvane01/recipe";

    // PDF: the XMP packet of the document keeps the recipe in pdf:Keywords.
    static constexpr std::string_view kXmpPdfNamespace = "http://ns.adobe.com/pdf/1.3/";
    static constexpr std::string_view kXmpKeywordsElement = "Keywords";

    // The "Software" text and the PDF's creator: "lorvane01 1.00".
    [[nodiscard]] static std::string Software();
    // The SVG <metadata> element with the recipe, on one line.
    [[nodiscard]] static std::string SvgMetadata(const Recipe& recipe);
    // A complete XMP packet for QPdfWriter::setDocumentXmpMetadata: dc:title is the name,
    // pdf:Keywords the recipe, xmp:CreateDate the picture's local time.
    [[nodiscard]] static std::string Xmp(const Recipe& recipe);
};

}  // namespace lorvane
