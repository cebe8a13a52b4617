#pragma once

#include <optional>

#include <QByteArray>
#include <QDir>
#include <QString>

namespace lorvane {

// A folder that finished pictures go into. A file appears whole or not at all, and an existing
// file is never replaced, not even by another run writing the same name at the same moment.
class OutputFolder {
public:
    // Either the path of the file written, or one line naming the folder and the reason.
    struct Saved {
        QString path;
        QString problem;
    };

    explicit OutputFolder(const QString& path);

    // Why no file can be created in the folder, or nothing when one can. Leaves nothing behind.
    [[nodiscard]] std::optional<QString> Problem() const;
    // Writes `bytes` to <stem><extension>; when that name is taken, to <stem>-2<extension>,
    // <stem>-3<extension> and so on.
    [[nodiscard]] Saved Save(const QString& stem, const QString& extension, const QByteArray& bytes) const;

private:
    [[nodiscard]] QString Failure(const QString& reason) const;

    QString path_;
    QDir dir_;
};

}  // namespace lorvane
