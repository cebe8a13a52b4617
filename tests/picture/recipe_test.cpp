#include <bit>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <variant>

#include <gtest/gtest.h>

#include "picture/recipe.h"

namespace lorvane {
namespace {

std::string ErrorOf(std::string_view text)
{
    const auto parsed = ParseRecipe(text);
    const auto* error = std::get_if<Problem>(&parsed);
    return error != nullptr ? error->message : "read as " + std::get<Recipe>(parsed).Text();
}

TEST(Recipe, WritesOneLineWithTheShortestSeedThatReadsBackAndTheName)
{
    const Recipe recipe{32702.5F, 3, "20240307090502"};
    EXPECT_EQ(recipe.Text(), "seed=32702.5 picture=3 at=20240307090502");
    EXPECT_EQ(recipe.Name(), "T20240307090502");
    EXPECT_EQ(recipe.IsoTime(), "2024-03-07T09:05:02");
    EXPECT_EQ((Recipe{0.1F, 1, "20240307090502"}.Text()), "seed=0.1 picture=1 at=20240307090502");
}

TEST(Recipe, EverySeedReadsBackToTheSameBits)
{
    for (const float seed :
         {0.0F, -0.0F, 0.1F, 32702.5F, 86399.98F, -1e-3F, 1e-45F, std::numeric_limits<float>::min(),
          std::numeric_limits<float>::max(), std::numeric_limits<float>::lowest(), 16777217.0F, 3.4028233e38F}) {
        const Recipe recipe{seed, Recipe::kLastPicture, "99991231235959"};
        const auto parsed = ParseRecipe(recipe.Text());
        ASSERT_TRUE(std::holds_alternative<Recipe>(parsed)) << recipe.Text() << ": " << ErrorOf(recipe.Text());
        const auto& back = std::get<Recipe>(parsed);
        EXPECT_EQ(std::bit_cast<std::uint32_t>(back.seed), std::bit_cast<std::uint32_t>(seed)) << recipe.Text();
        EXPECT_EQ(back.picture, recipe.picture);
        EXPECT_EQ(back.at, recipe.at);
    }
}

TEST(Recipe, ASeedIsRoundedToTheNearestSinglePrecisionNumberAndRefusedOnlyWhenThatIsNotFinite)
{
    const struct {
        std::string text;
        std::uint32_t bits;
    } read[] = {
        {"0.1", 0x3DCCCCCD},
        {"-2.5", 0xC0200000},
        {".5", 0x3F000000},
        {"5.", 0x40A00000},
        {"1e-45", 0x00000001},
        {"8e-46", 0x00000001},
        {"7e-46", 0x00000000},
        {"1e-60", 0x00000000},
        {"-1e-60", 0x80000000},
        {"0.0000e-99999", 0x00000000},
        {"1e-400", 0x00000000},
        {"3.4028235e+38", 0x7F7FFFFF},
        {"-3.4028235e38", 0xFF7FFFFF},
        {"340282356779733661637539395458142568447", 0x7F7FFFFF},
    };
    for (const auto& [text, bits] : read) {
        const auto seed = ParseSeed(text, "seed");
        ASSERT_TRUE(std::holds_alternative<float>(seed)) << text << ": " << std::get<Problem>(seed).message;
        EXPECT_EQ(std::bit_cast<std::uint32_t>(std::get<float>(seed)), bits) << text;
    }
    const std::string range = " is a number out of range: at most 3.40282e+38 either way";
    const std::pair<std::string, std::string> refused[] = {
        {"3.4028236e38", "--seed '3.4028236e38'" + range},
        {"340282356779733661637539395458142568448", "--seed '340282356779733661637539395458142568448'" + range},
        {"-1e39", "--seed '-1e39'" + range},
        {"0.001e99999999999", "--seed '0.001e99999999999'" + range},
        {"inf", "--seed 'inf' is not a finite number"},
        {"+1", "--seed '+1' is not a number"},
        {" 1", "--seed ' 1' is not a number"},
        {"0x10", "--seed '0x10' is not a number"},
        {"1e", "--seed '1e' is not a number"},
    };
    for (const auto& [text, message] : refused) {
        const auto seed = ParseSeed(text, "--seed");
        EXPECT_EQ(std::holds_alternative<Problem>(seed) ? std::get<Problem>(seed).message : "read", message);
    }
}

TEST(Recipe, ReadsWhatIsWellFormedAndSaysWhatIsWrongWithTheRest)
{
    const std::string last = std::to_string(Recipe::kLastPicture);
    const std::string past = std::to_string(Recipe::kLastPicture + 1);
    const std::string form = "is not of the form seed=S picture=N at=YYYYMMDDhhmmss";
    const struct {
        std::string text;
        std::string answer;
    } cases[] = {
        {"seed=32702.5 picture=3 at=20240307090502", "read as seed=32702.5 picture=3 at=20240307090502"},
        {"  seed=1e5 picture=" + last + " at=20240229235959\r\n",
         "read as seed=1e+05 picture=" + last + " at=20240229235959"},
        {"seed=-0.25 picture=1 at=00010101000000", "read as seed=-0.25 picture=1 at=00010101000000"},
        {"", "the recipe is empty"},
        {std::string(Recipe::kLongestText + 1, ' '), "the recipe is longer than 200 characters"},
        {"seed=1 picture=1 at=20240307090502" + std::string(Recipe::kLongestText - 34, ' '),
         "read as seed=1 picture=1 at=20240307090502"},
        {"seed=1 picture=1 at=20240307090502\n\x01",
         "the recipe holds characters other than letters, digits and signs"},
        {"seed=1 picture=1", "the recipe 'seed=1 picture=1' " + form},
        {"picture=1 seed=1 at=20240307090502", "the recipe 'picture=1 seed=1 at=20240307090502' " + form},
        {"seed=1  picture=1 at=20240307090502", "the recipe 'seed=1  picture=1 at=20240307090502' " + form},
        {"seed=1 picture=1 at=20240307090502 x=1", "the recipe 'seed=1 picture=1 at=20240307090502 x=1' " + form},
        {"seed:1 picture=3 at=20240307090502", "the recipe 'seed:1 picture=3 at=20240307090502' " + form},
        {"seeds=1 picture=3 at=20240307090502", "the recipe 'seeds=1 picture=3 at=20240307090502' " + form},
        {"seed=1 pictures=3 at=20240307090502", "the recipe 'seed=1 pictures=3 at=20240307090502' " + form},
        {"seed=1 picture=3 at20240307090502", "the recipe 'seed=1 picture=3 at20240307090502' " + form},
        {"seed= picture=1 at=20240307090502", "seed '' is not a number"},
        {"seed=abc picture=1 at=20240307090502", "seed 'abc' is not a number"},
        {"seed=1,5 picture=1 at=20240307090502", "seed '1,5' is not a number"},
        {"seed=+1 picture=1 at=20240307090502", "seed '+1' is not a number"},
        {"seed=1e39 picture=1 at=20240307090502",
         "seed '1e39' is a number out of range: at most 3.40282e+38 either way"},
        {"seed=inf picture=1 at=20240307090502", "seed 'inf' is not a finite number"},
        {"seed=nan picture=1 at=20240307090502", "seed 'nan' is not a finite number"},
        {"seed=1 picture=0 at=20240307090502", "picture '0' is not a whole number from 1 to " + last},
        {"seed=1 picture=-3 at=20240307090502", "picture '-3' is not a whole number from 1 to " + last},
        {"seed=1 picture=2.5 at=20240307090502", "picture '2.5' is not a whole number from 1 to " + last},
        {"seed=1 picture=" + past + " at=20240307090502",
         "picture '" + past + "' is not a whole number from 1 to " + last},
        {"seed=1 picture=99999999999999999999999 at=20240307090502",
         "picture '99999999999999999999999' is not a whole number from 1 to " + last},
        {"seed=1 picture=1 at=20240300090502", "at '20240300090502' is not a date and time YYYYMMDDhhmmss"},
        {"seed=1 picture=1 at=20240007090502", "at '20240007090502' is not a date and time YYYYMMDDhhmmss"},
        {"seed=1 picture=1 at=20241399000000", "at '20241399000000' is not a date and time YYYYMMDDhhmmss"},
        {"seed=1 picture=1 at=20230229000000", "at '20230229000000' is not a date and time YYYYMMDDhhmmss"},
        {"seed=1 picture=1 at=21000229000000", "at '21000229000000' is not a date and time YYYYMMDDhhmmss"},
        {"seed=1 picture=1 at=20240231000000", "at '20240231000000' is not a date and time YYYYMMDDhhmmss"},
        {"seed=1 picture=1 at=20240431000000", "at '20240431000000' is not a date and time YYYYMMDDhhmmss"},
        {"seed=1 picture=1 at=20240307240000", "at '20240307240000' is not a date and time YYYYMMDDhhmmss"},
        {"seed=1 picture=1 at=20240307096000", "at '20240307096000' is not a date and time YYYYMMDDhhmmss"},
        {"seed=1 picture=1 at=20240307090560", "at '20240307090560' is not a date and time YYYYMMDDhhmmss"},
        {"seed=1 picture=1 at=00000101000000", "at '00000101000000' is not a date and time YYYYMMDDhhmmss"},
        {"seed=1 picture=1 at=2024030709050", "at '2024030709050' is not a date and time YYYYMMDDhhmmss"},
        {"seed=1 picture=1 at=2024030709050x", "at '2024030709050x' is not a date and time YYYYMMDDhhmmss"},
    };
    for (const auto& [text, answer] : cases) {
        EXPECT_EQ(ErrorOf(text), answer) << text;
    }
}

}  // namespace
}  // namespace lorvane
