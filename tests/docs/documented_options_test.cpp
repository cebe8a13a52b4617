// The man pages and the bash completions name exactly the options each program's parser takes, with
// the same ranges and values.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <variant>
#include <vector>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include "app/window_command_line.h"
#include "render/command_line.h"

namespace lorvane {
namespace {

// As std::string, so that a failure prints the names.
using Names = std::set<std::string>;

QString Source(const QString& path)
{
    QFile file(QStringLiteral(LORVANE_SOURCE_DIR "/") + path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return QString::fromUtf8(file.readAll());
}

// A long option, "--window-id", standing on its own.
constexpr char kOption[] = R"((?<![\w-])--([a-z][a-z-]*))";

Names Matches(const QString& text, const char* pattern)
{
    Names found;
    const QRegularExpression option(QString::fromLatin1(pattern));
    for (const QRegularExpressionMatch& match : option.globalMatch(text)) {
        found.insert("--" + match.captured(1).toStdString());
    }
    return found;
}

// The options a man page's OPTIONS section lists, each as the tag of an item (".TP" and the line
// after it); groff's hyphen "\-" read as "-".
Names ManPageOptions(const QString& page)
{
    const QString text = Source(QStringLiteral("data/man/%1.1.in").arg(page));
    const qsizetype start = text.indexOf(QStringLiteral("\n.SH OPTIONS\n"));
    EXPECT_NE(start, -1) << page.toStdString();
    const QString section = text.mid(start, text.indexOf(QStringLiteral("\n.SH "), start + 1) - start);
    Names found;
    static const QRegularExpression tag(QStringLiteral(R"(\n\.TP\n([^\n]*))"));
    for (const QRegularExpressionMatch& item : tag.globalMatch(section)) {
        found.merge(Matches(QString(item.captured(1)).replace(QStringLiteral("\\-"), QStringLiteral("-")), kOption));
    }
    return found;
}

// The long options a parser lists in its help, where each option's line starts "  -h, --help" or
// "  --seed <S>"; descriptions are indented further.
Names HelpOptions(const QString& help)
{
    Names found;
    static const QRegularExpression line(QStringLiteral(R"((?:^|\n)  (-[^\n]*?)(?=  |\n))"));
    for (const QRegularExpressionMatch& match : line.globalMatch(help)) {
        found.merge(Matches(match.captured(1), kOption));
    }
    return found;
}

// Every option a completion script offers or knows the value of.
Names CompletionOptions(const QString& program)
{
    return Matches(Source(QStringLiteral("data/%1.bash-completion").arg(program)), kOption);
}

QString Help(const QString& program)
{
    if (program == QLatin1String("lorvane01-render")) {
        return CommandLine().Usage();
    }
    // lorvane01 --help needs no display.
    QProcess lorvane01;
    lorvane01.start(QStringLiteral(LORVANE01), {QStringLiteral("--help")});
    EXPECT_TRUE(lorvane01.waitForFinished());
    return QString::fromUtf8(lorvane01.readAllStandardOutput());
}

TEST(DocumentedOptions, ManPagesAndCompletionsNameEveryOptionOfEachProgramAndNoOther)
{
    const Names render = HelpOptions(Help(QStringLiteral("lorvane01-render")));
    const Names window = HelpOptions(Help(QStringLiteral("lorvane01")));
    EXPECT_TRUE(render.contains("--fill") && render.contains("--help-all") && render.contains("--version"));
    EXPECT_TRUE(window.contains("--window-id") && window.contains("--root") && window.contains("--help-all"));

    EXPECT_EQ(ManPageOptions("lorvane01-render"), render);
    EXPECT_EQ(CompletionOptions("lorvane01-render"), render);
    EXPECT_EQ(ManPageOptions("lorvane01"), window);
    EXPECT_EQ(CompletionOptions("lorvane01"), window);
}

// Whether `program`'s parser takes `arguments` (with a seed, which lorvane01-render needs).
bool Accepts(const QString& program, const QStringList& arguments)
{
    QList<QByteArray> bytes{program.toUtf8()};
    if (program == QLatin1String("lorvane01-render")) {
        bytes << "--seed"
              << "1";
    }
    for (const QString& argument : arguments) {
        bytes << argument.toUtf8();
    }
    if (program == QLatin1String("lorvane01-render")) {
        return std::holds_alternative<RenderOptions>(CommandLine().Parse(bytes));
    }
    return std::holds_alternative<WindowOptions>(WindowCommandLine().Parse(bytes));
}

// The first range "A to B" in `text`, with groff's hyphens and the thousands' commas taken out.
std::string RangeIn(QString text)
{
    text.replace(QStringLiteral("\\-"), QStringLiteral("-"));
    static const QRegularExpression comma(QStringLiteral(R"((?<=[0-9]),(?=[0-9]{3}))"));
    static const QRegularExpression range(QStringLiteral(R"(([0-9][0-9.x]*) to ([0-9](?:[0-9.x]*[0-9])?))"));
    const QRegularExpressionMatch match = range.match(text.replace(comma, QString()).simplified());
    return match.hasMatch() ? match.captured(1).toStdString() + " to " + match.captured(2).toStdString() : "none";
}

// What --help says of `option`: its line and the lines indented under it.
QString HelpOf(const QString& help, const QString& option)
{
    const QRegularExpression item(QStringLiteral(R"((?:^|\n)  (?:-\w, )?%1[ =][^\n]*(?:\n     [^\n]*)*)")
                                      .arg(QRegularExpression::escape(option)));
    return item.match(help).captured();
}

// What the man page says of `option`: its item, from its tag to the next paragraph or item.
QString ManPageOf(const QString& program, const QString& option)
{
    QString page = Source(QStringLiteral("data/man/%1.1.in").arg(program));
    const QRegularExpression item(QStringLiteral(R"(\n\.TP\n\.B[IR]? %1 .*?(?=\n\.(?:TP|PP|SH)\n))")
                                      .arg(QRegularExpression::escape(QString(option).replace('-', "\\-"))),
                                  QRegularExpression::DotMatchesEverythingOption);
    return item.match(page).captured();
}

struct Range {
    const char* program = nullptr;
    const char* option = nullptr;
    // The ends, and one step past each, which the parser refuses.
    const char* low = nullptr;
    const char* high = nullptr;
    const char* belowLow = nullptr;
    const char* aboveHigh = nullptr;
    // Another option the option needs, given before it.
    QStringList needs = {};
};

TEST(DocumentedOptions, EachRangeIsTheOneTheHelpAndTheManPageGiveAndTheParserTakes)
{
    const Range ranges[] = {
        {"lorvane01-render", "--pictures", "1", "100000", "0", "100001"},
        {"lorvane01-render", "--first", "1", "10000000", "0", "10000001"},
        {"lorvane01-render", "--scale", "1", "8", "0", "9"},
        {"lorvane01-render", "--fit", "600x450", "16384x16384", "599x450", "16384x16385"},
        {"lorvane01-render", "--jobs", "1", "256", "0", "257"},
        {"lorvane01-render", "--memory", "1", "1073741824", "0", "1073741825"},
        {"lorvane01-render", "--duration", "1", "60", "0.99", "60.01", {"--animate", "webp"}},
        {"lorvane01", "--interval", "0.5", "3600", "0.49", "3600.01"},
        {"lorvane01", "--paint", "0.1", "60", "0.09", "60.01"},
    };
    for (const Range& range : ranges) {
        const QString program = QString::fromLatin1(range.program);
        const QString option = QString::fromLatin1(range.option);
        SCOPED_TRACE(range.program + std::string(" ") + range.option);
        const std::string expected = range.low + std::string(" to ") + range.high;
        EXPECT_EQ(RangeIn(HelpOf(Help(program), option)), expected);
        EXPECT_EQ(RangeIn(ManPageOf(program, option)), expected);
        EXPECT_TRUE(Accepts(program, range.needs + QStringList{option, QString::fromLatin1(range.low)}));
        EXPECT_TRUE(Accepts(program, range.needs + QStringList{option, QString::fromLatin1(range.high)}));
        EXPECT_FALSE(Accepts(program, range.needs + QStringList{option, QString::fromLatin1(range.belowLow)}));
        EXPECT_FALSE(Accepts(program, range.needs + QStringList{option, QString::fromLatin1(range.aboveHigh)}));
    }
}

// Each completion script's value words, by option: "--format)" then "compgen -W 'png svg pdf'".
std::map<std::string, std::vector<std::string>> CompletionWords(const QString& program)
{
    std::map<std::string, std::vector<std::string>> words;
    static const QRegularExpression branch(QStringLiteral(R"((--[a-z-]+)\)\s*COMPREPLY=\(\$\(compgen -W '([^']*)')"));
    for (const QRegularExpressionMatch& match :
         branch.globalMatch(Source(QStringLiteral("data/%1.bash-completion").arg(program)))) {
        for (const QString& word : match.captured(2).split(' ', Qt::SkipEmptyParts)) {
            words[match.captured(1).toStdString()].push_back(word.toStdString());
        }
    }
    return words;
}

TEST(DocumentedOptions, CompletionsOfferEveryFormatAndScaleAndOnlyValuesTheParserTakes)
{
    const auto render = CompletionWords(QStringLiteral("lorvane01-render"));
    EXPECT_EQ(render.at("--format"), (std::vector<std::string>{"png", "svg", "pdf"}));
    EXPECT_FALSE(Accepts(QStringLiteral("lorvane01-render"), {"--format", "gif"}));
    EXPECT_EQ(render.at("--scale"), (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7", "8"}));
    EXPECT_TRUE(CompletionWords(QStringLiteral("lorvane01")).contains("--interval"));
    for (const QString& program : {QStringLiteral("lorvane01-render"), QStringLiteral("lorvane01")}) {
        for (const auto& [option, words] : CompletionWords(program)) {
            for (const std::string& word : words) {
                EXPECT_TRUE(Accepts(program, {QString::fromStdString(option), QString::fromStdString(word)}))
                    << option << " " << word;
            }
        }
    }
}

}  // namespace
}  // namespace lorvane
