#include "formats/byte_source.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>

#include <sys/stat.h>
#include <unistd.h>

namespace lorvane {

namespace {

// Read at once from a file: few system calls, little memory.
constexpr qsizetype kBlock = qsizetype{64} * 1024;

// One read, again after a signal: the bytes read, 0 at the end, or -1 with errno set.
ssize_t ReadOnce(int descriptor, char* into, qint64 count)
{
    ssize_t got = 0;
    do {
        got = read(descriptor, into, static_cast<std::size_t>(count));
    } while (got < 0 && errno == EINTR);
    return got;
}

}  // namespace

ByteSource::ByteSource(QByteArrayView bytes) : memory_(bytes), remaining_(bytes.size()) {}

ByteSource::ByteSource(int descriptor, qint64 limit) : descriptor_(descriptor), remaining_(limit)
{
    struct stat info {};
    seekable_ = fstat(descriptor, &info) == 0 && S_ISREG(info.st_mode) && lseek(descriptor, 0, SEEK_CUR) >= 0;
}

void ByteSource::Fill(qsizetype count)
{
    while (count > 0 && error_ == 0) {
        if (remaining_ == 0) {
            // One byte more says whether the file ends at the limit or goes on.
            char probe = 0;
            if (descriptor_ >= 0 && !tooLarge_) {
                tooLarge_ = ReadOnce(descriptor_, &probe, 1) > 0;
            }
            return;
        }
        const qsizetype want = std::min<qint64>(count, remaining_);
        if (descriptor_ < 0) {
            pending_.append(memory_.sliced(memory_.size() - remaining_, want));
            remaining_ -= want;
            count -= want;
            continue;
        }
        const qsizetype at = pending_.size();
        pending_.resize(at + want);
        const ssize_t got = ReadOnce(descriptor_, pending_.data() + at, want);
        if (got < 0) {
            error_ = errno;
            pending_.resize(at);
            return;
        }
        pending_.resize(at + got);
        if (got == 0) {
            remaining_ = 0;
            return;
        }
        remaining_ -= got;
        count -= got;
    }
}

QByteArray ByteSource::Read(qsizetype count)
{
    if (pending_.size() < count) {
        Fill(count - pending_.size());
    }
    if (error_ != 0) {
        return {};
    }
    QByteArray taken = pending_.left(count);
    pending_.remove(0, taken.size());
    return taken;
}

QByteArrayView ByteSource::Peek(qsizetype count)
{
    if (pending_.size() < count) {
        Fill(count - pending_.size());
    }
    return QByteArrayView(pending_).first(std::min(count, pending_.size()));
}

bool ByteSource::Skip(qint64 count)
{
    const qsizetype fromPending = std::min<qint64>(count, pending_.size());
    pending_.remove(0, fromPending);
    count -= fromPending;
    if (count == 0) {
        return true;
    }
    if (count > remaining_) {
        // Past the limit, or past the end: either way the caller needs nothing beyond it.
        Skip(remaining_);
        Fill(1);
        pending_.clear();
        return false;
    }
    if (descriptor_ < 0 || (seekable_ && lseek(descriptor_, count, SEEK_CUR) >= 0)) {
        // A regular file's end is found on the next read, which then gives fewer bytes.
        remaining_ -= count;
        return true;
    }
    std::array<char, kBlock> scratch{};
    while (count > 0 && error_ == 0) {
        const ssize_t got = ReadOnce(descriptor_, scratch.data(), std::min<qint64>(count, kBlock));
        if (got < 0) {
            error_ = errno;
            break;
        }
        if (got == 0) {
            remaining_ = 0;
            return false;
        }
        remaining_ -= got;
        count -= got;
    }
    return error_ == 0;
}

}  // namespace lorvane
