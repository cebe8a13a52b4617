// Writes the core's answers for 1,000 pictures and a few refused recipes to one file, byte for
// byte: built natively and as WebAssembly (run under node) from this same source, the two files
// must be equal.
//
//     lorvane_web_dump OUT
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "web/web_picture.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT\n", argv[0]);
        return 2;
    }
    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    const auto write = [&](const std::string& recipe) {
        const std::uint8_t* answer = lorvane_draw(recipe.c_str());
        std::uint32_t size = 0;
        std::memcpy(&size, answer, sizeof size);
        std::fwrite(answer, 1, size, out);
    };
    // Five seeds of every kind, 200 pictures each: 100 in a row as "next" draws them, then 100
    // reached by starting again, as "back" and addresses do: two far on (by a jump of the random
    // source, a tenth of a second each), the rest near.
    const char* const seeds[] = {"20798.984", "0.1", "-0", "86399.99", "-3.4028235e+38"};
    int day = 0;
    for (const char* seed : seeds) {
        const std::string at = "2026120" + std::to_string(++day) + "054638";
        for (int picture = 1; picture <= 100; ++picture) {
            write(std::string("seed=") + seed + " picture=" + std::to_string(picture) + " at=" + at);
        }
        std::uint32_t step = 12345;
        for (int jump = 0; jump < 100; ++jump) {
            step = step * 1103515245U + 12345U;
            const int picture =
                jump % 50 == 0 ? 1 + static_cast<int>(step % 10000000U) : 1 + static_cast<int>(step % 400U);
            write(std::string("seed=") + seed + " picture=" + std::to_string(picture) + " at=" + at);
        }
    }
    for (const char* refused : {"", "seed=NaN picture=1 at=20261208054638", "seed=1e39 picture=1 at=20261208054638",
                                "seed=1 picture=0 at=20261208054638", "seed=1 picture=10000001 at=20261208054638",
                                "seed=1 picture=1 at=20260230054638", "seed=1 at=20261208054638 picture=1"}) {
        write(refused);
    }
    return std::fclose(out) == 0 ? 0 : 1;
}
