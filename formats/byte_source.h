#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

namespace lorvane {

// The bytes of a file, read only as far as they are needed and never beyond a limit, or bytes
// already in memory. The recipe readers take one, so that a file far larger than its recipe
// costs no more than the part of it that is looked at.
class ByteSource {
public:
    // Bytes in memory, which must outlive the source.
    explicit ByteSource(QByteArrayView bytes);
    // An open file (a FIFO or a pipe too), read from where it stands up to `limit` bytes.
    ByteSource(int descriptor, qint64 limit);

    // Up to `count` more bytes: fewer only at the end. Empty with Error() set when the system
    // refused to read.
    [[nodiscard]] QByteArray Read(qsizetype count);
    // The next `count` bytes (fewer at the end) without taking them.
    [[nodiscard]] QByteArrayView Peek(qsizetype count);
    // Passes over up to `count` bytes; whether all of them were there.
    bool Skip(qint64 count);
    // The errno of the read the system refused, or 0.
    [[nodiscard]] int Error() const { return error_; }
    // Whether the file goes on past the limit.
    [[nodiscard]] bool TooLarge() const { return tooLarge_; }

private:
    // Appends up to `count` bytes from the file or memory to pending_.
    void Fill(qsizetype count);

    QByteArrayView memory_;
    int descriptor_ = -1;
    bool seekable_ = false;
    qint64 remaining_ = 0;
    QByteArray pending_;
    int error_ = 0;
    bool tooLarge_ = false;
};

}  // namespace lorvane
