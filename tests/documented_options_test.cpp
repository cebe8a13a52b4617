// The man pages and the bash completions name exactly the options each program's parser takes.
#include <gtest/gtest.h>

#include <set>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include "command_line.h"

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

TEST(DocumentedOptions, ManPagesAndCompletionsNameEveryOptionOfEachProgramAndNoOther)
{
    const Names render = HelpOptions(CommandLine().Usage());
    // lorvane01 --help needs no display.
    QProcess lorvane01;
    lorvane01.start(QStringLiteral(LORVANE01), {QStringLiteral("--help")});
    ASSERT_TRUE(lorvane01.waitForFinished());
    const Names window = HelpOptions(QString::fromUtf8(lorvane01.readAllStandardOutput()));
    EXPECT_TRUE(render.contains("--fill") && render.contains("--help-all") && render.contains("--version"));
    EXPECT_TRUE(window.contains("--window-id") && window.contains("--root") && window.contains("--help-all"));

    EXPECT_EQ(ManPageOptions("lorvane01-render"), render);
    EXPECT_EQ(CompletionOptions("lorvane01-render"), render);
    EXPECT_EQ(ManPageOptions("lorvane01"), window);
    EXPECT_EQ(CompletionOptions("lorvane01"), window);
}

}  // namespace
}  // namespace lorvane
