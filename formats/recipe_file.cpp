#include "formats/recipe_file.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <string>
#include <utility>

#include <QByteArray>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "formats/byte_source.h"
#include "formats/gif_file.h"
#include "formats/pdf_file.h"
#include "formats/png_file.h"
#include "formats/svg_file.h"
#include "formats/webp_file.h"
#include "platform/system_calls.h"

namespace lorvane {

namespace {

constexpr QByteArrayView kPngSignature = "\x89PNG\r\n\x1a\n";
constexpr QByteArrayView kPdfSignature = "%PDF-";
constexpr QByteArrayView kRiffSignature = "RIFF";
constexpr QByteArrayView kWebpForm = "WEBP";
// Where a RIFF file names its form, after "RIFF" and its size.
constexpr qsizetype kRiffForm = 8;
constexpr QByteArrayView kUtf8Mark = "\xEF\xBB\xBF";
// Blank lines or spaces before an SVG's first tag that are looked past.
constexpr qsizetype kLongestLead = 4096;

bool IsXmlBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// An XML document in UTF-16: a byte-order mark, or '<' as a 16-bit unit.
bool IsUtf16Markup(QByteArrayView head)
{
    return head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF") || head.startsWith(QByteArrayView("<\0", 2)) ||
           head.startsWith(QByteArrayView("\0<", 2));
}

Problem TooLarge()
{
    return {QStringLiteral("is larger than %1 MiB; no picture saved by lorvane01 is")
                .arg(RecipeReader::kLargestFile / (qint64{1024} * 1024))
                .toStdString(),
            Problem::kRefused};
}

QString Reason(int error)
{
    return QString::fromStdString(ErrorText(error));
}

// The recipe's text in the source, or the problem, without the file's name.
std::variant<Recipe, Problem> ReadSource(ByteSource& source)
{
    const auto problem = [](const QString& what, int status = Problem::kRefused) {
        return Problem{what.toStdString(), status};
    };
    const QByteArrayView head = source.Peek(kLongestLead);
    if (source.Error() != 0) {
        return problem(QStringLiteral("cannot read it: %1").arg(Reason(source.Error())), Problem::kFailed);
    }
    if (head.isEmpty()) {
        return problem(QStringLiteral("is empty"));
    }
    QByteArrayView lead = head.startsWith(kUtf8Mark) ? head.sliced(kUtf8Mark.size()) : head;
    while (!lead.isEmpty() && IsXmlBlank(lead.front())) {
        lead = lead.sliced(1);
    }
    FoundRecipe found;
    if (head.startsWith(kPngSignature)) {
        found = ReadPngRecipe(source);
    } else if (head.startsWith(kRiffSignature) && head.sliced(std::min(head.size(), kRiffForm)).startsWith(kWebpForm)) {
        found = ReadWebpRecipe(source);
    } else if (head.startsWith(kPdfSignature)) {
        found = ReadPdfRecipe(source);
    } else if (head.startsWith(kGifSignature)) {
        found = ReadGifRecipe(source);
    } else if (lead.startsWith('<')) {
        found = ReadSvgRecipe(source);
    } else if (IsUtf16Markup(head)) {
        found.problem = Problem{"is in UTF-16; lorvane01 saves and reads SVG files in UTF-8 only"};
    } else {
        found.problem = Problem{"is not a PNG, WebP, SVG or PDF file"};
    }
    if (source.Error() != 0) {
        return problem(QStringLiteral("cannot read it: %1").arg(Reason(source.Error())), Problem::kFailed);
    }
    if (source.TooLarge()) {
        return TooLarge();
    }
    if (found.problem) {
        return std::move(*found.problem);
    }
    if (!found.text) {
        return problem(QStringLiteral("has no recipe; it is not a picture saved by lorvane01"));
    }
    auto parsed = ParseRecipe(found.text->toStdString());
    if (auto* error = std::get_if<Problem>(&parsed)) {
        error->message.insert(0, "its recipe is damaged: ");
        return std::move(*error);
    }
    return std::get<Recipe>(std::move(parsed));
}

// Closes the descriptor however reading ends.
class OpenFile {
public:
    OpenFile(const QByteArray& path, int flags)
        : descriptor_(open(path.constData(),  // NOLINT(cppcoreguidelines-pro-type-vararg)
                           O_RDONLY | O_CLOEXEC | O_NOCTTY | flags))
    {
    }
    ~OpenFile()
    {
        if (descriptor_ >= 0) {
            close(descriptor_);
        }
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    OpenFile(OpenFile&&) = delete;
    OpenFile& operator=(OpenFile&&) = delete;

    [[nodiscard]] int Descriptor() const { return descriptor_; }

private:
    int descriptor_;
};

}  // namespace

std::variant<Recipe, Problem> RecipeReader::Read(const QByteArray& path, SpecialFiles special)
{
    const std::string name = QString::fromLocal8Bit(path).toStdString();
    const auto named = [&name](Problem problem) {
        problem.message.insert(0, name + ": ");
        return problem;
    };
    const auto fileProblem = [&named](const QString& what) { return named({what.toStdString(), Problem::kRefused}); };

    // A FIFO waits here for a writer unless refused, when it opens at once and is turned away below;
    // while it waits, a signal still ends the program (see InterruptWatch).
    const OpenFile file(path, special == SpecialFiles::Refuse ? O_NONBLOCK : 0);
    if (file.Descriptor() < 0) {
        switch (errno) {
        case ENOENT:
        case ENOTDIR:
            return fileProblem(QStringLiteral("no such file"));
        case ELOOP:
            return fileProblem(QStringLiteral("is a symbolic link in a loop of links; it leads to no file"));
        case ENAMETOOLONG:
            return fileProblem(QStringLiteral("is a name too long for the system"));
        default:
            return named({QStringLiteral("cannot read it: %1").arg(Reason(errno)).toStdString(), Problem::kFailed});
        }
    }
    struct stat info {};
    if (fstat(file.Descriptor(), &info) != 0) {
        return named({QStringLiteral("cannot read it: %1").arg(Reason(errno)).toStdString(), Problem::kFailed});
    }
    if (S_ISDIR(info.st_mode)) {
        return fileProblem(QStringLiteral("is a folder, not a picture"));
    }
    if (special == SpecialFiles::Refuse && !S_ISREG(info.st_mode)) {
        return fileProblem(QStringLiteral("is not a regular file, not a picture"));
    }
    if (S_ISREG(info.st_mode) && info.st_size > kLargestFile) {
        return named(TooLarge());
    }
    ByteSource source(file.Descriptor(), kLargestFile);
    auto read = ReadSource(source);
    if (auto* problem = std::get_if<Problem>(&read)) {
        return named(std::move(*problem));
    }
    return read;
}

std::variant<Recipe, Problem> RecipeReader::ReadBytes(QByteArrayView bytes)
{
    if (bytes.size() > kLargestFile) {
        return TooLarge();
    }
    ByteSource source(bytes);
    return ReadSource(source);
}

}  // namespace lorvane
