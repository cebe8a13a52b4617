#pragma once

#include <variant>

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

#include "picture/recipe.h"

namespace lorvane {

// Why no recipe could be read from a file: one line naming the file and what is wrong.
struct RecipeProblem {
    enum class Cause {
        // The file given: missing, a folder, not a PNG, WebP, SVG or PDF, damaged, or without a
        // recipe or with a damaged one. Exit status 2.
        File,
        // The system refused to read it (permission, input/output error). Exit status 1.
        System,
    };

    QString message;
    Cause cause = Cause::File;

    [[nodiscard]] int ExitStatus() const { return cause == Cause::System ? 1 : 2; }
};

// Reads the recipe a PNG (still or animated), WebP, GIF, SVG or PDF picture saved by lorvane01 carries, each format
// with its own reader beside its writer. The kind of file is told by its content, never by its name. Nothing in the
// file is trusted: its size is bounded, and whatever it holds gives a recipe or a problem, never a crash.
class RecipeReader {
public:
    // No picture of lorvane01 comes near this; a larger file is not read at all.
    static constexpr qint64 kLargestFile = qint64{256} * 1024 * 1024;

    // What to do with a FIFO or a device: a batch reads it (`--from <(...)`) and waits for its
    // writer, which a signal still ends; a window must not wait, and refuses it.
    enum class SpecialFiles { Read, Refuse };

    // `path` is taken byte for byte, as the system names files, so that a name that is not UTF-8
    // is found too. Reads only as much of the file as its recipe needs.
    [[nodiscard]] static std::variant<Recipe, RecipeProblem> Read(const QByteArray& path,
                                                                  SpecialFiles special = SpecialFiles::Read);
    // The same for a file's bytes in memory; the problem's line does not name a file.
    [[nodiscard]] static std::variant<Recipe, RecipeProblem> ReadBytes(QByteArrayView bytes);
};

}  // namespace lorvane
