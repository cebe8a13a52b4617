#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "clock.h"
#include "platform_error.h"
#include "random_source.h"
#include "surface.h"

namespace lorvane::testing {

// Plays back a script of values, then repeats its last value; counts what was drawn.
// An index listed in failAt raises PlatformError instead of giving a value.
class ScriptedRandomSource final : public RandomSource {
public:
    explicit ScriptedRandomSource(std::vector<float> script = {0.0F}) : script_(std::move(script)) {}

    void Seed(float seed) override { seeds.push_back(seed); }
    float Next() override
    {
        const std::size_t index = drawn++;
        for (const std::size_t failing : failAt) {
            if (failing == index) {
                throw PlatformError("scripted random failure");
            }
        }
        return index < script_.size() ? script_[index] : script_.back();
    }

    std::size_t drawn = 0;
    std::vector<std::size_t> failAt;
    std::vector<float> seeds;

private:
    std::vector<float> script_;
};

// Reads whatever date and time it is given; either read can be made to fail.
class ScriptedClock final : public Clock {
public:
    ScriptedClock(std::string dateText, std::string timeText) : date(std::move(dateText)), time(std::move(timeText)) {}

    std::string Date() override
    {
        if (failDate) {
            throw PlatformError("scripted date failure");
        }
        return date;
    }
    std::string Time() override
    {
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
};

// Records every call as text, e.g. "Line 0 0 0 450 #123456" or "Print T2024...".
// A call for which failIf returns true raises PlatformError (and is still recorded, marked "!").
class RecordingSurface final : public Surface {
public:
    void Cls() override { Call("Cls"); }
    void Line(float x1, float y1, float x2, float y2, Colour colour) override
    {
        Call("Line " + Number(x1) + " " + Number(y1) + " " + Number(x2) + " " + Number(y2) + " " +
             std::to_string(colour));
    }
    void SetFontSize(float points) override { Call("FontSize " + Number(points)); }
    void SetForeColor(Colour colour) override { Call("ForeColor " + std::to_string(colour)); }
    void SetCurrentX(float x) override { Call("CurrentX " + Number(x)); }
    void SetCurrentY(float y) override { Call("CurrentY " + Number(y)); }
    void Print(std::string_view text) override { Call("Print " + std::string(text)); }
    void SetBackColor(Colour colour) override { Call("BackColor " + std::to_string(colour)); }

    std::vector<std::string> calls;
    std::function<bool(const std::string&)> failIf;

private:
    static std::string Number(float value)
    {
        std::string text = std::to_string(value);
        text.erase(text.find_last_not_of('0') + 1);
        if (!text.empty() && text.back() == '.') {
            text.pop_back();
        }
        return text;
    }
    void Call(std::string call)
    {
        if (failIf && failIf(call)) {
            calls.push_back("!" + call);
            throw PlatformError("scripted surface failure");
        }
        calls.push_back(std::move(call));
    }
};

}  // namespace lorvane::testing
