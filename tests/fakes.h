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

// Records every call as a plain value, cheap enough for thousands of whole pictures in one test.
// The call numbered failAt (counting from 0), or every call when failAll is set, raises
// PlatformError and is still recorded, marked failed.
class CallLogSurface final : public Surface {
public:
    enum class Operation { Cls, Line, FontSize, ForeColor, CurrentX, CurrentY, Print, BackColor };

    struct Call {
        Operation operation = Operation::Cls;
        // A line's two ends; a setter's one number is in x1.
        float x1 = 0.0F;
        float y1 = 0.0F;
        float x2 = 0.0F;
        float y2 = 0.0F;
        Colour colour = 0;
        std::string text;
        bool failed = false;

        bool operator==(const Call&) const = default;
    };

    void Cls() override { Record(Operation::Cls); }
    void Line(float x1, float y1, float x2, float y2, Colour colour) override
    {
        Record(Operation::Line, x1, y1, x2, y2, colour);
    }
    void SetFontSize(float points) override { Record(Operation::FontSize, points); }
    void SetForeColor(Colour colour) override { Record(Operation::ForeColor, 0.0F, 0.0F, 0.0F, 0.0F, colour); }
    void SetCurrentX(float x) override { Record(Operation::CurrentX, x); }
    void SetCurrentY(float y) override { Record(Operation::CurrentY, y); }
    void Print(std::string_view text) override
    {
        Record(Operation::Print, 0.0F, 0.0F, 0.0F, 0.0F, 0, std::string(text));
    }
    void SetBackColor(Colour colour) override { Record(Operation::BackColor, 0.0F, 0.0F, 0.0F, 0.0F, colour); }

    static constexpr std::size_t kNever = static_cast<std::size_t>(-1);

    std::vector<Call> calls;
    std::size_t failAt = kNever;
    bool failAll = false;

private:
    void Record(Operation operation, float x1 = 0.0F, float y1 = 0.0F, float x2 = 0.0F, float y2 = 0.0F,
                Colour colour = 0, std::string text = {})
    {
        const bool fails = failAll || calls.size() == failAt;
        Call& call = calls.emplace_back();
        call.operation = operation;
        call.x1 = x1;
        call.y1 = y1;
        call.x2 = x2;
        call.y2 = y2;
        call.colour = colour;
        call.text = std::move(text);
        call.failed = fails;
        if (fails) {
            throw PlatformError("scripted surface failure");
        }
    }
};

}  // namespace lorvane::testing
