#pragma once

#include <optional>
#include <string_view>

#include <QByteArray>
#include <QString>

#include "picture/recipe.h"

namespace lorvane {

// The XMP packet the PDF and the WebP carry: the picture's name (dc:title), the file's media type
// (dc:format), this program (xmp:CreatorTool), the picture's time (xmp:CreateDate) and the recipe
// (pdf:Keywords). Recipes and names hold only letters, digits and signs, but the packet stays
// well-formed whatever it is given.
[[nodiscard]] QByteArray XmpPacket(const Recipe& recipe, std::string_view mediaType);

// The recipe text in one XMP packet (pdf:Keywords, as an element or as an attribute of its
// rdf:Description); nothing when the packet has none or is not well-formed.
[[nodiscard]] std::optional<QString> XmpRecipe(const QByteArray& packet);

}  // namespace lorvane
