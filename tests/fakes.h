#pragma once

#include <algorithm>
#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "platform/platform_error.h"
#include "platform/random_source.h"
#include "platform/seeded_random_source.h"
#include "platform/surface.h"
#include "recording/recorded_item.h"

namespace lorvane::testing {

// Values each picture draws: three periods and three phases for the palette, the span, the start
// and the background's row, then four for each of the 200 squares.
constexpr std::size_t kDrawsPerPicture = 809;

// Plays back a script of values, then repeats its last value; with no script, the real seeded
// sequence. Keeps the seeds and counts the values drawn. An index listed in failAt raises
// PlatformError instead of giving a value.
class ScriptedRandomSource final : public RandomSource {
public:
    explicit ScriptedRandomSource(std::vector<float> script = {}) : script_(std::move(script)) {}

    void Seed(float seed) override
    {
        seeds.push_back(seed);
        real_.Seed(seed);
    }
    float Next() override
    {
        const std::size_t index = drawn++;
        if (std::ranges::find(failAt, index) != failAt.end()) {
            throw PlatformError("scripted random failure");
        }
        if (script_.empty()) {
            return real_.Next();
        }
        return index < script_.size() ? script_[index] : script_.back();
    }

    std::size_t drawn = 0;
    std::vector<std::size_t> failAt;
    std::vector<float> seeds;

private:
    std::vector<float> script_;
    SeededRandomSource real_;
};

// Reads whatever date and time it is given; either read can be made to fail.
class ScriptedClock final : public Clock {
public:
    ScriptedClock(std::string dateText, std::string timeText) : date(std::move(dateText)), time(std::move(timeText)) {}

    std::string Date() override
    {
        reads.emplace_back("date");
        if (failDate) {
            throw PlatformError("scripted date failure");
        }
        return date;
    }
    std::string Time() override
    {
        reads.emplace_back("time");
        if (failTime) {
            throw PlatformError("scripted time failure");
        }
        return time;
    }
    float Timer() override { return timer; }

    std::string date;
    std::string time;
    float timer = 0.0F;
    bool failDate = false;
    bool failTime = false;
    std::vector<std::string> reads;
};

// Passes every call on to another surface (a PictureRecorder) and counts them. The call numbered
// failAt (counting from 0), or every call when failAll is set, raises PlatformError instead and
// is not passed on.
class FailingSurface final : public Surface {
public:
    explicit FailingSurface(Surface& target) : target_(target) {}

    void Cls() override { Pass(&Surface::Cls); }
    void Line(float x1, float y1, float x2, float y2, Colour colour) override
    {
        Pass(&Surface::Line, x1, y1, x2, y2, colour);
    }
    void SetFontSize(float points) override { Pass(&Surface::SetFontSize, points); }
    void SetForeColor(Colour colour) override { Pass(&Surface::SetForeColor, colour); }
    void SetCurrentX(float x) override { Pass(&Surface::SetCurrentX, x); }
    void SetCurrentY(float y) override { Pass(&Surface::SetCurrentY, y); }
    void Print(std::string_view text) override { Pass(&Surface::Print, text); }
    void SetBackColor(Colour colour) override { Pass(&Surface::SetBackColor, colour); }

    static constexpr std::size_t kNever = static_cast<std::size_t>(-1);

    std::size_t calls = 0;
    std::size_t failAt = kNever;
    bool failAll = false;

private:
    template <class... Parameters, class... Arguments>
    void Pass(void (Surface::*call)(Parameters...), Arguments... arguments)
    {
        const bool fails = failAll || calls == failAt;
        ++calls;
        if (fails) {
            throw PlatformError("scripted surface failure");
        }
        (target_.*call)(arguments...);
    }

    Surface& target_;
};

// A square as the composer draws it: one vertical line per column, left to right.
inline void DrawSquare(Surface& surface, float cx, float cy, float half, Colour colour)
{
    for (float x = cx - half; x <= cx + half; x += 1.0F) {
        surface.Line(x, cy - half, x, cy + half, colour);
    }
}

}  // namespace lorvane::testing

namespace lorvane {

// How GoogleTest shows the items of a recording, found next to them by argument-dependent lookup.
inline void PrintTo(const FillItem& fill, std::ostream* out)
{
    *out << "fill (" << fill.left << ", " << fill.top << ")-(" << fill.right << ", " << fill.bottom << ") colour 0x"
         << std::hex << fill.colour << std::dec;
}
inline void PrintTo(const LineItem& line, std::ostream* out)
{
    *out << "line (" << line.x1 << ", " << line.y1 << ")-(" << line.x2 << ", " << line.y2 << ") colour 0x" << std::hex
         << line.colour << std::dec;
}
inline void PrintTo(const TextItem& text, std::ostream* out)
{
    *out << "text '" << text.text << "' at (" << text.x << ", " << text.y << ") " << text.linesBelow << " lines below, "
         << text.points << " points, colour 0x" << std::hex << text.colour << std::dec;
}

}  // namespace lorvane
