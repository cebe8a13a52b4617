#include "web/web_picture.h"

#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "picture/picture_sequence.h"
#include "picture/recipe.h"
#include "picture/saved_texts.h"
#include "platform/fixed_clock.h"
#include "recording/picture_frames.h"

namespace lorvane {
namespace {

class Answer {
public:
    void Begin(std::uint32_t status)
    {
        bytes_.clear();
        Add(std::uint32_t{0});
        Add(status);
    }
    template <typename T>
    void Add(T value)
    {
        Append(&value, sizeof value);
    }
    void AddText(std::string_view text)
    {
        Add(static_cast<std::uint32_t>(text.size()));
        Append(text.data(), text.size());
    }
    const std::uint8_t* Finish()
    {
        const auto size = static_cast<std::uint32_t>(bytes_.size());
        std::memcpy(bytes_.data(), &size, sizeof size);
        return bytes_.data();
    }

private:
    void Append(const void* data, std::size_t size)
    {
        const std::size_t end = bytes_.size();
        bytes_.resize(end + size);
        if (size != 0) {
            std::memcpy(bytes_.data() + end, data, size);
        }
    }

    std::vector<std::uint8_t> bytes_;
};

enum : std::uint32_t { kDrawn = 0, kRefused = 1 };
enum : std::uint32_t { kFill = 0, kLine = 1, kText = 2 };

// A picture paints itself in about 4 s; an animation then holds the finished picture 3 s.
constexpr int kPaintingMilliseconds = 4000;
constexpr int kHoldingMilliseconds = 3000;

// The page draws one sequence at a time; next asks for the picture after the last one.
struct WebCore {
    // Every picture is named at its recipe's time (GoTo), so the clock is never read.
    PictureSequence sequence{FixedClock()};
    Answer answer;
};

WebCore& Core()
{
    static WebCore core;
    return core;
}

// One writer per item type and no fallback: a new item type does not compile until it is sent.
struct ItemWriter {
    Answer& answer;

    void operator()(const FillItem& fill) const
    {
        answer.Add(std::uint32_t{kFill});
        for (const int value : {fill.left, fill.top, fill.right, fill.bottom}) {
            answer.Add(static_cast<std::int32_t>(value));
        }
        answer.Add(static_cast<std::uint32_t>(fill.colour));
    }
    void operator()(const LineItem& line) const
    {
        answer.Add(std::uint32_t{kLine});
        for (const int value : {line.x1, line.y1, line.x2, line.y2}) {
            answer.Add(static_cast<std::int32_t>(value));
        }
        answer.Add(static_cast<std::uint32_t>(line.colour));
    }
    void operator()(const TextItem& text) const
    {
        answer.Add(std::uint32_t{kText});
        answer.Add(text.x);
        answer.Add(text.y);
        answer.Add(static_cast<std::int32_t>(text.linesBelow));
        answer.Add(text.points);
        answer.Add(static_cast<std::uint32_t>(text.colour));
        answer.AddText(text.text);
    }
};

void AddPicture(Answer& answer, const Drawing& picture)
{
    answer.AddText(picture.recipe ? picture.recipe->Text() : std::string());
    answer.AddText(picture.recipe ? picture.recipe->Name() : std::string());
    std::vector<std::pair<std::string, std::string>> texts;
    if (picture.recipe) {
        texts = SavedPngTexts(*picture.recipe);
    }
    answer.Add(static_cast<std::uint32_t>(texts.size()));
    for (const auto& [keyword, value] : texts) {
        answer.AddText(keyword);
        answer.AddText(value);
    }
    answer.Add(static_cast<std::uint32_t>(picture.recording.Background()));
    answer.Add(static_cast<std::uint32_t>(picture.recording.Items().size()));
    for (const RecordedItem& item : picture.recording.Items()) {
        std::visit(ItemWriter{answer}, item);
    }
    const std::vector<PaintingStep> steps = PaintingSteps(picture.recording);
    answer.Add(static_cast<std::uint32_t>(steps.size()));
    for (const PaintingStep& step : steps) {
        answer.Add(static_cast<std::uint32_t>(step.firstItem));
        answer.Add(static_cast<std::uint32_t>(step.endItem));
        for (const int value : {step.area.left, step.area.top, step.area.right, step.area.bottom}) {
            answer.Add(static_cast<std::int32_t>(value));
        }
    }
    for (const int delay : FrameDelays(steps.size() + 1, kPaintingMilliseconds, kHoldingMilliseconds)) {
        answer.Add(static_cast<std::uint32_t>(delay));
    }
}

}  // namespace
}  // namespace lorvane

extern "C" const std::uint8_t* lorvane_draw(const char* recipe)
{
    using namespace lorvane;
    WebCore& core = Core();
    Answer& answer = core.answer;
    const auto parsed = ParseRecipe(recipe != nullptr ? std::string_view(recipe) : std::string_view());
    if (const auto* error = std::get_if<Problem>(&parsed)) {
        answer.Begin(kRefused);
        answer.AddText(error->message);
        return answer.Finish();
    }
    core.sequence.GoTo(std::get<Recipe>(parsed));
    answer.Begin(kDrawn);
    AddPicture(answer, core.sequence.DrawNext());
    return answer.Finish();
}
