#pragma once

#include <functional>
#include <optional>

#include <QByteArray>
#include <QString>

#include "render_options.h"

namespace lorvane {

class Clock;
class Recording;

// Draws the pictures of one seed exactly as the window draws them after the same seed, its
// start-up first and then one "next" per further picture, and saves each to its own file.
class BatchWriter {
public:
    explicit BatchWriter(RenderOptions options);

    // Calls `written` with the path of each file as soon as it is complete. Stops at the first
    // file that cannot be written and returns one line naming the folder and the reason; the
    // files written before it stay.
    [[nodiscard]] std::optional<QString> Run(const std::function<void(const QString& path)>& written);

private:
    [[nodiscard]] std::optional<QString> Draw(Clock& clock, const std::function<QByteArray(const Recording&)>& encode,
                                              const QString& extension,
                                              const std::function<void(const QString& path)>& written) const;

    RenderOptions options_;
};

}  // namespace lorvane
