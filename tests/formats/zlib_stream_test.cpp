#include "formats/zlib_stream.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <optional>
#include <vector>

#include <zlib.h>

namespace lorvane {
namespace {

// What zlib's own inflate makes of `stream`, or nothing when it is not one whole zlib stream.
std::optional<std::vector<unsigned char>> Inflated(const std::vector<unsigned char>& stream, std::size_t size)
{
    std::vector<unsigned char> out(size + 1);
    uLongf length = out.size();
    if (uncompress(out.data(), &length, stream.data(), stream.size()) != Z_OK) {
        return std::nullopt;
    }
    out.resize(length);
    return out;
}

TEST(ZlibStream, InflatesBackToTheSameBytesWhateverTheirSize)
{
    std::vector<std::vector<unsigned char>> cases = {{}, {'x'}};
    // Runs of zeros, as filtered rows are, and bytes that hardly compress, past the first
    // buffer tried: at least 64 KiB and a sixteenth of the input.
    std::vector<unsigned char> zeros(std::size_t{3} * 1024 * 1024);
    cases.push_back(zeros);
    std::vector<unsigned char> noise(std::size_t{1024} * 1024);
    unsigned state = 1;
    for (unsigned char& byte : noise) {
        state = state * 1103515245U + 12345U;
        byte = static_cast<unsigned char>(state >> 24);
    }
    cases.push_back(noise);
    for (const std::vector<unsigned char>& data : cases) {
        const std::vector<unsigned char> stream = CompressZlibStream(data);
        EXPECT_EQ(Inflated(stream, data.size()), data) << data.size() << " bytes";
    }
    EXPECT_LT(CompressZlibStream(zeros).size(), zeros.size() / 100);
}

}  // namespace
}  // namespace lorvane
