#pragma once

#include <string_view>

namespace lorvane {

// The fixed captions beside each picture's name. The window and lorvane01-render both print
// these, so that their pictures are the same.
constexpr std::string_view kArtistAddress = "varlenko.art";
constexpr std::string_view kAttribution = "Generative Art by Varlenko";

}  // namespace lorvane
