#pragma once

#include <functional>
#include <optional>
#include <stop_token>

#include <QString>

#include "render/render_options.h"
#include "render/saving_pool.h"

namespace lorvane {

// Draws the pictures of one seed exactly as the window draws them after the same seed, its
// start-up first and then one "next" per further picture, and saves each to its own file.
// Pictures are drawn in order on the calling thread, as they share one random sequence; their
// files are made and written on `jobs` threads.
class BatchWriter {
public:
    explicit BatchWriter(RenderOptions options);

    // A line for the person running the batch that is not a problem ("made the folder prints").
    using Notice = std::function<void(const QString& line)>;

    // Makes the folder when it is missing (and says so through `notice`). Calls `written` with
    // the path of each file, in picture order, as soon as it is in place; a problem it gives
    // stops the batch. Stops at the first file that cannot be written and returns one line naming
    // the folder and the reason; the files reported before it stay.
    [[nodiscard]] std::optional<Problem> Run(const SavingPool::Reporter& written, const Notice& notice = {});
    // Makes Run stop as soon as it can, with no file left but those reported, and no problem.
    // Callable from any thread, also before Run.
    void Cancel() { stop_.request_stop(); }

private:
    RenderOptions options_;
    std::stop_source stop_;
};

}  // namespace lorvane
