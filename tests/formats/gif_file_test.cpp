#include "formats/gif_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include <QPainter>

#include "formats/animation.h"
#include "formats/file_format.h"
#include "formats/recipe_file.h"
#include "picture/picture_sequence.h"
#include "players/picture_fit.h"
#include "players/raster_player.h"
#include "recording/picture_frames.h"
#include "tests/pillow_frames.h"

namespace lorvane {
namespace {

const Recipe kRecipe{32702.5F, 3, "20240307090502"};

// White captions over stripes of 64 colours: their smoothed edges need more than 256 colours.
RecordedPicture StripesUnderCaptions()
{
    std::vector<RecordedItem> items;
    items.reserve(64 + 3);
    for (int stripe = 0; stripe < 64; ++stripe) {
        items.emplace_back(FillItem{stripe * 9, 400, stripe * 9 + 9, 450, static_cast<Colour>(0x030507 * stripe)});
    }
    for (int line = 0; line < 3; ++line) {
        items.emplace_back(
            TextItem{3.0, 405.0 + 14 * line, 0, 9.0F, 0xFFFFFF, "Generative Art by Varlenko T20240307090502 www"});
    }
    return {0x203040, std::move(items)};
}

// Pixels of 100 colours in no order between two captions, which are painted in one frame: more
// codes than the code table holds, so that it fills up and starts again.
RecordedPicture NoiseBetweenCaptions()
{
    std::vector<RecordedItem> items{TextItem{5.0, 300.0, 0, 9.0F, 0xFFFFFF, "T20240307090502"}};
    unsigned random = 1;
    for (int y = 200; y < 400; ++y) {
        for (int x = 100; x < 400; ++x) {
            random = random * 1103515245U + 12345U;
            items.emplace_back(FillItem{x, y, x + 1, y + 1, static_cast<Colour>((random >> 16) % 100 * 0x020301)});
        }
    }
    items.emplace_back(TextItem{5.0, 420.0, 0, 9.0F, 0xFFFFFF, "Generative Art by Varlenko"});
    return {0x405060, std::move(items)};
}

// A frame as "duration in milliseconds, hash of its RGB pixels", as the decoding script gives it.
std::string Frame(int milliseconds, const QImage& image)
{
    return std::to_string(milliseconds) + " " + testing::Hash(image);
}

// What the raster player shows frame by frame, with the file's timing; in `area`, each frame
// whole on a black canvas where FitPicture places it.
std::vector<std::string> PlayedFrames(const RecordedPicture& picture, double scale,
                                      const std::optional<QSize>& area = {}, Framing framing = Framing::Fit)
{
    const std::vector<PaintingStep> steps = PaintingSteps(picture);
    const std::vector<int> delays = FrameDelays(steps.size() + 1, 400, 300);
    const PictureFit fit = area ? FitPicture(*area, framing) : PictureFit{scale, {}};
    RasterPlayer player(fit.scale);
    const auto shown = [&](int delay) {
        if (!area) {
            return Frame(delay * 10, player.Image());
        }
        QImage canvas(*area, QImage::Format_RGB32);
        canvas.fill(Qt::black);
        QPainter(&canvas).drawImage(fit.placed.topLeft(), player.Image());
        return Frame(delay * 10, canvas);
    };
    player.PlayBackground(picture);
    std::vector<std::string> frames{shown(delays[0])};
    for (std::size_t i = 0; i < steps.size(); ++i) {
        player.PlayItems(picture.Items().subspan(steps[i].firstItem, steps[i].endItem - steps[i].firstItem));
        frames.push_back(shown(delays[i + 1]));
    }
    return frames;
}

// The frames Pillow decodes that a viewer shows for a time, after the loop count it reads.
std::vector<std::string> ShownFrames(const QByteArray& gif)
{
    const testing::DecodedFrames decoded = testing::Decode(gif);
    std::vector<std::string> shown{"loop=" + decoded.header.substr(decoded.header.rfind(' ') + 1)};
    for (const testing::Shown& frame : decoded.frames) {
        if (frame.milliseconds != 0) {
            shown.push_back(std::to_string(frame.milliseconds) + " " + frame.pixels);
        }
    }
    return shown;
}

// Whether `shown` (after its loop count) are the `played` frames, saying where they part.
::testing::AssertionResult SameFrames(const std::vector<std::string>& shown, const std::vector<std::string>& played)
{
    if (shown.empty() || shown.front() != "loop=0") {
        return ::testing::AssertionFailure() << "not looping for ever";
    }
    const std::span<const std::string> frames = std::span(shown).subspan(1);
    const auto [differs, _] = std::ranges::mismatch(frames, played);
    if (frames.size() == played.size() && differs == frames.end()) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << frames.size() << " frames shown, " << played.size()
                                         << " played, the first to differ " << differs - frames.begin();
}

// Every frame a viewer shows for a time equals the raster player's, pixel for pixel; the pieces
// the captions' frame is cut into (their smoothed edges have more than 256 colours) show for none
// in viewers that honour a delay of 0.
TEST(EncodeGifAnimation, EveryFrameShownIsTheRasterPlayersFrameWhenDecodedByPillow)
{
    struct Case {
        const char* name;
        RecordedPicture picture;
        double scale;
    };
    const std::vector<Case> cases{
        {"a picture at scale 1", DrawRecipe(kRecipe).recording, 1.0},
        {"a picture at scale 1.5", DrawRecipe(Recipe{1.5F, 1, "20240307090502"}).recording, 1.5},
        {"captions over many colours at scale 2", StripesUnderCaptions(), 2.0},
        {"noise between the captions", NoiseBetweenCaptions(), 1.0},
    };
    for (const Case& c : cases) {
        const std::optional<QByteArray> gif = EncodeGifAnimation(c.picture, c.scale, AnimationTiming{}, kRecipe);
        ASSERT_TRUE(gif.has_value()) << c.name;
        EXPECT_TRUE(SameFrames(ShownFrames(*gif), PlayedFrames(c.picture, c.scale))) << c.name;
    }
}

// Framed in an area as a still --fit PNG is, at a scale of no whole number: every frame the
// player's, whole on the canvas, borders black or the picture cropped.
TEST(EncodeGifAnimation, FramedInAnAreaEveryFrameShownIsThePlayersFrameOnTheCanvas)
{
    const RecordedPicture picture = DrawRecipe(kRecipe).recording;
    for (const Framing framing : {Framing::Fit, Framing::Fill}) {
        const QSize area(801, 601);
        const std::optional<QByteArray> gif =
            EncodeAnimation(picture, AnimationFormat::Gif, {1.0, area, framing}, AnimationTiming{}, kRecipe);
        ASSERT_TRUE(gif.has_value());
        EXPECT_TRUE(SameFrames(ShownFrames(*gif), PlayedFrames(picture, 1.0, area, framing)))
            << (framing == Framing::Fill ? "filled" : "fitted");
    }
}

TEST(EncodeGifAnimation, NothingForAScaleOrTimingAGifCannotHold)
{
    const RecordedPicture picture = StripesUnderCaptions();
    EXPECT_FALSE(EncodeGifAnimation(picture, 0.5, {}, std::nullopt));
    EXPECT_FALSE(EncodeGifAnimation(picture, 1.0, {-10, 3000}, std::nullopt));
    EXPECT_FALSE(EncodeGifAnimation(picture, 1.0, {4000, 655360}, std::nullopt));
}

// GIF blocks, to build files with.
QByteArray Header()
{
    return QByteArray("GIF89a") + QByteArray::fromHex(
                                      "5802C201"
                                      "000000");  // 600 x 450, no colours
}

QByteArray SubBlocks(const QByteArray& data)
{
    QByteArray blocks;
    for (qsizetype at = 0; at < data.size(); at += 255) {
        const QByteArray part = data.mid(at, 255);
        blocks += static_cast<char>(part.size()) + part;
    }
    return blocks + '\0';
}

QByteArray Comment(const QByteArray& text)
{
    return "\x21\xFE" + SubBlocks(text);
}

// A frame of one pixel at (left, 0), one pixel wide and `width` wide as the descriptor says.
QByteArray Frame(int left = 0, int width = 1, char codeSize = 2)
{
    QByteArray frame = QByteArray::fromHex("21F904040A000000") + '\x2C';
    for (const int value : {left, 0, width, 1}) {
        frame += static_cast<char>(value & 0xFF);
        frame += static_cast<char>(value >> 8);
    }
    return frame +
           QByteArray::fromHex(
               "80"
               "000000FFFFFF") +
           codeSize +
           QByteArray::fromHex(
               "0244"
               "0100");
}

std::string Said(const std::variant<Recipe, Problem>& read)
{
    if (const auto* problem = std::get_if<Problem>(&read)) {
        return std::to_string(problem->status) + " " + problem->message;
    }
    return "recipe " + std::get<Recipe>(read).Text();
}

// Every file gives its recipe or one line with status 2, walking only its blocks: what it keeps
// and how far it reads are bounded, whatever lengths and counts it claims.
TEST(ReadGifRecipe, GivesTheRecipeOrOneLineWithStatusTwoForEveryFile)
{
    const std::optional<QByteArray> written = EncodeGifAnimation(StripesUnderCaptions(), 1.0, {}, kRecipe);
    ASSERT_TRUE(written.has_value());
    const QByteArray& gif = *written;
    const qsizetype recipeAt = gif.indexOf("lorvane01-recipe: ");
    ASSERT_GT(recipeAt, 0);
    const std::string recipe = "recipe " + kRecipe.Text();
    const std::string damaged = "2 is a damaged GIF file";
    const QByteArray endless = QByteArray(255, 'x').prepend('\xFF').repeated(8000);
    const QByteArray other = Comment("lorvane01-recipe: seed=1 picture=1 at=20240307090502");
    const struct {
        const char* name;
        QByteArray bytes;
        std::string said;
    } cases[] = {
        {"the encoder's file", gif, recipe},
        {"no recipe", *EncodeGifAnimation(StripesUnderCaptions(), 1.0, {}, std::nullopt),
         "2 has no recipe; it is not a picture saved by lorvane01"},
        {"cut after the recipe", gif.first(recipeAt + 200), recipe},
        {"cut inside the recipe", gif.first(recipeAt + 20), damaged},
        {"cut inside the header", gif.first(10), damaged},
        {"a sub-block longer than the file", Header() + "\x21\xFE\xC8" + "lorvane01-recipe: ", damaged},
        {"a graphic control block of the wrong length", Header() + QByteArray::fromHex("21F905000000000000") + ";",
         damaged},
        {"a frame beyond the screen", Header() + Frame(0, 601) + ";", damaged},
        {"a frame of a code size no decoder takes", Header() + Frame(0, 1, 12) + ";", damaged},
        {"a block of no kind", Header() + "\x99;", damaged},
        {"more frames than any picture has", Header() + Frame().sliced(8).repeated(10001) + ";",
         "2 has more than 10000 frames; no picture saved by lorvane01 has"},
        {"a loop of extensions", Header() + QByteArray::fromHex("21F9040000000000").repeated(10001) + ";",
         "2 has more than 10000 extensions; no picture saved by lorvane01 has"},
        {"a comment that never ends", Header() + "\x21\xFE" + endless, damaged},
        {"a recipe that never ends", Header() + "\x21\xFE\x12lorvane01-recipe: " + endless,
         "2 its recipe is damaged: the recipe is longer than 200 characters"},
        {"two recipes", gif.first(recipeAt - 3) + other + gif.sliced(recipeAt - 3),
         "2 holds two different recipes; it is not a picture saved by lorvane01"},
    };
    for (const auto& [name, bytes, said] : cases) {
        EXPECT_EQ(Said(RecipeReader::ReadBytes(bytes)), said) << name;
    }
}

}  // namespace
}  // namespace lorvane
