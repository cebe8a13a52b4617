#pragma once

#include <optional>

#include <QByteArray>
#include <QList>
#include <QString>

#include "platform/problem.h"

namespace lorvane {

// A folder that finished pictures go into. A file appears whole or not at all, and an existing
// name is never replaced, whatever it names (a file, a folder, a link that leads nowhere), not
// even when another run writes the same name at the same moment. Paths are bytes, as the system
// keeps them, so a folder whose name is not UTF-8 works too. Safe to use from several threads.
class OutputFolder {
public:
    // Either a path in the folder, or one line naming the folder and the reason (status kFailed).
    struct Saved {
        QByteArray path;
        std::optional<lorvane::Problem> problem;
    };

    explicit OutputFolder(QByteArray path);

    // Makes the folder when it is missing, with any missing folders above it, as `mkdir -p` does.
    // Whether it made it, or one line naming the folder and the reason; a folder it cannot make
    // leaves nothing behind, not even the folders above it that it made on the way.
    struct Made {
        bool made = false;
        std::optional<lorvane::Problem> problem;
    };
    [[nodiscard]] Made MakeIfMissing();
    // Removes the folders MakeIfMissing made, those that are still empty.
    void RemoveMade();
    // Why no file can be created in the folder, or nothing when one can. Leaves nothing behind.
    [[nodiscard]] std::optional<lorvane::Problem> Unwritable() const;
    // Writes `bytes` in full to a new hidden file; its path is for Publish or Discard.
    [[nodiscard]] Saved Stage(const QString& stem, const QString& extension, const QByteArray& bytes) const;
    // Gives a staged file the name <stem><extension>; when that name is taken, <stem>-2<extension>,
    // <stem>-3<extension> and so on. On a problem the staged file is removed.
    [[nodiscard]] Saved Publish(const QByteArray& staged, const QString& stem, const QString& extension) const;
    // Removes a staged file, or a published one that must not stay after all.
    static void Discard(const QByteArray& staged);

private:
    [[nodiscard]] QByteArray PathOf(const QString& name) const;
    [[nodiscard]] lorvane::Problem Failure(const QString& reason) const;

    QByteArray path_;
    // What MakeIfMissing made, outermost first.
    QList<QByteArray> made_;
};

}  // namespace lorvane
