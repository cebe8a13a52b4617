#pragma once

#include <variant>

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

#include "picture/recipe.h"
#include "platform/problem.h"

namespace lorvane {

// Reads the recipe a PNG (still or animated), WebP, GIF, SVG or PDF picture saved by lorvane01 carries, each format
// with its own reader beside its writer. The kind of file is told by its content, never by its name. Nothing in the
// file is trusted: its size is bounded, and whatever it holds gives a recipe or a problem, never a crash.
// The problem is one line naming the file and what is wrong: status kRefused for the file given (missing, a folder,
// not a picture, damaged, without a recipe or with a damaged one), kFailed when the system refused to read it
// (permission, input/output error).
class RecipeReader {
public:
    // No picture of lorvane01 comes near this; a larger file is not read at all.
    static constexpr qint64 kLargestFile = qint64{256} * 1024 * 1024;

    // What to do with a FIFO or a device: a batch reads it (`--from <(...)`) and waits for its
    // writer, which a signal still ends; a window must not wait, and refuses it.
    enum class SpecialFiles { Read, Refuse };

    // `path` is taken byte for byte, as the system names files, so that a name that is not UTF-8
    // is found too. Reads only as much of the file as its recipe needs.
    [[nodiscard]] static std::variant<Recipe, Problem> Read(const QByteArray& path,
                                                            SpecialFiles special = SpecialFiles::Read);
    // The same for a file's bytes in memory; the problem's line does not name a file.
    [[nodiscard]] static std::variant<Recipe, Problem> ReadBytes(QByteArrayView bytes);
};

}  // namespace lorvane
