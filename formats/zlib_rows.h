#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include <QByteArray>

#include "formats/prefix_codes.h"

namespace lorvane {

// The zlib stream of PNG's filtered rows, written as the rows come, by a small DEFLATE encoder of
// lorvane01's own that knows what its pictures' rows are: runs of one byte or one pixel, rows that
// repeat the row before, and a few shapes that recur (the captions' letters). So each byte is a
// literal or part of a copy of the byte before, the pixel before, the row above or the last place
// its next four bytes were seen, the longest of them (the nearest of those as long), under Huffman
// codes made for each block, or DEFLATE's fixed codes when they take fewer bits. It holds the
// 32 KiB a copy may reach back to, the row being added and one block's copies, however large the
// picture: buffers the thread keeps from stream to stream.
class ZlibRows {
public:
    // Rows of `rowBytes` bytes (the filter byte too) of pixels of `pixelBytes` bytes.
    ZlibRows(std::size_t rowBytes, std::size_t pixelBytes);
    ZlibRows(const ZlibRows&) = delete;
    ZlibRows& operator=(const ZlibRows&) = delete;
    ~ZlibRows();

    // Where the next row is to be written, `rowBytes` long.
    [[nodiscard]] unsigned char* NextRow();
    // Takes the row written at NextRow().
    void AddRow();
    // The whole stream; then nothing more may be added.
    [[nodiscard]] QByteArray Finish();

    // The zlib stream of `bytes`, as one row.
    [[nodiscard]] static QByteArray Compress(QByteArrayView bytes);

private:
    struct Workspace;
    static Workspace& ThreadWorkspace(std::unique_ptr<Workspace>& own);

    struct Match {
        std::size_t length = 0;
        std::size_t distance = 0;
    };
    // The longest copy that can stand for the row's bytes from `at` on; notes where they were seen.
    [[nodiscard]] Match Longest(const unsigned char* row, std::size_t at);
    void AddCopy(std::size_t length, std::size_t distance);
    void AddLiteral(unsigned char byte);
    void WriteBlock(bool last);
    void WriteCopies(const PrefixCode& literals, const PrefixCode& distances);

    std::size_t rowBytes_;
    std::size_t pixelBytes_;
    // The thread's buffers, kept from stream to stream, or this stream's own while another
    // stream on the thread has them.
    std::unique_ptr<Workspace> own_;
    Workspace& work_;
    // The window holds `used_` bytes, the first of them the thread's stream byte `start_`.
    std::size_t used_ = 0;
    std::uint64_t start_ = 0;
    std::uint32_t adler_ = 1;
    // Whether the last row was mostly literals.
    bool literalRow_ = false;
    std::vector<std::uint32_t> literalCounts_;
    std::vector<std::uint32_t> distanceCounts_;
    QByteArray stream_;
    BitWriter bits_{stream_};
};

}  // namespace lorvane
