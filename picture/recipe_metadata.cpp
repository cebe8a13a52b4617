#include "recipe_metadata.h"

#include <initializer_list>

#include "lorvane_version.h"

namespace lorvane {

namespace {

// Recipes and names hold only letters, digits and signs, but the packet stays well-formed
// whatever it is given.
std::string XmlEscaped(std::string_view text)
{
    std::string escaped;
    for (const char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
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

}  // namespace

std::string RecipeMetadata::Software()
{
    return Join({"lorvane01 ", kVersion});
}

std::string RecipeMetadata::SvgMetadata(const Recipe& recipe)
{
    return Join({"<", kSvgMetadataElement, "><", kSvgRecipeElement, " xmlns=\"", kSvgRecipeNamespace, "\">",
                 XmlEscaped(recipe.Text()), "</", kSvgRecipeElement, "></", kSvgMetadataElement, ">"});
}

std::string RecipeMetadata::Xmp(const Recipe& recipe)
{
    return Join(
        {"<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
         "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
         "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
         "<rdf:Description rdf:about=\"\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
         "xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\" xmlns:pdf=\"",
         kXmpPdfNamespace, "\">\n<dc:title><rdf:Alt><rdf:li xml:lang=\"x-default\">", XmlEscaped(recipe.Name()),
         "</rdf:li></rdf:Alt></dc:title>\n<dc:format>application/pdf</dc:format>\n<xmp:CreatorTool>",
         XmlEscaped(Software()), "</xmp:CreatorTool>\n<xmp:CreateDate>", XmlEscaped(recipe.IsoTime()),
         "</xmp:CreateDate>\n<pdf:", kXmpKeywordsElement, ">", XmlEscaped(recipe.Text()), "</pdf:", kXmpKeywordsElement,
         ">\n</rdf:Description>\n</rdf:RDF>\n</x:xmpmeta>\n<?xpacket end=\"w\"?>"});
}

}  // namespace lorvane
