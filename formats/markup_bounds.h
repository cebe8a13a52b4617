#pragma once

#include <array>

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

namespace lorvane {

// Far beyond any element lorvane01 writes (six attributes), or an editor that keeps its own
// settings in the file; the XML reader takes time that grows with the square of the attributes.
constexpr int kMostAttributes = 1000;
// Markup (a tag, a comment, a declaration) or text between markup longer than this is refused
// before the XML reader sees it.
constexpr qint64 kLongestRun = qint64{16} * 1024 * 1024;

// Bounds what the XML reader is given, by a quick pass over the bytes before it reads them: how
// long a tag, a comment, a declaration or a run of text is, and how many attributes a tag has.
// It follows quotes in tags and declarations, and the ends of comments, character data and
// processing instructions, so that a '>' inside them does not end the count early.
class MarkupBounds {
public:
    // What is wrong with the bytes that follow those checked so far, or nothing.
    [[nodiscard]] QString Check(QByteArrayView piece)
    {
        for (const char c : piece) {
            Step(c);
            if (++run_ > kLongestRun) {
                return QStringLiteral("has an element or text longer than %1 MiB; no picture saved by lorvane01 has")
                    .arg(kLongestRun / (1024 * 1024));
            }
            if (attributes_ > kMostAttributes) {
                return QStringLiteral("has an element with more than %1 attributes; no picture saved by lorvane01 has")
                    .arg(kMostAttributes);
            }
        }
        return {};
    }

private:
    enum class State { Text, Opened, Bang, Tag, Comment, Data, Instruction, Declaration };

    void Begin(State state)
    {
        state_ = state;
        run_ = 0;
        attributes_ = 0;
        quote_ = 0;
        last_ = {0, 0};
    }

    // Whether `c` closes what ends with `end` (two characters and '>').
    bool Closes(char c, char first, char second) const { return c == '>' && last_[0] == first && last_[1] == second; }

    void Step(char c)
    {
        switch (state_) {
        case State::Text:
            if (c == '<') {
                Begin(State::Opened);
            }
            break;
        case State::Opened:
            if (c == '!') {
                state_ = State::Bang;
            } else if (c == '?') {
                state_ = State::Instruction;
            } else {
                state_ = State::Tag;
                Step(c);
            }
            break;
        case State::Bang:
            state_ = c == '-' ? State::Comment : c == '[' ? State::Data : State::Declaration;
            if (state_ == State::Declaration) {
                Step(c);
            }
            break;
        case State::Tag:
        case State::Declaration:
            if (quote_ != 0) {
                quote_ = c == quote_ ? 0 : quote_;
            } else if (c == '"' || c == '\'') {
                quote_ = c;
            } else if (c == '=') {
                ++attributes_;
            } else if (c == '[') {
                ++brackets_;
            } else if (c == ']') {
                --brackets_;
            } else if (c == '>' && (state_ == State::Tag || brackets_ <= 0)) {
                brackets_ = 0;
                Begin(State::Text);
            }
            break;
        case State::Comment:
            if (Closes(c, '-', '-')) {
                Begin(State::Text);
            }
            break;
        case State::Data:
            if (Closes(c, ']', ']')) {
                Begin(State::Text);
            }
            break;
        case State::Instruction:
            if (c == '>' && last_[1] == '?') {
                Begin(State::Text);
            }
            break;
        }
        last_ = {last_[1], c};
    }

    State state_ = State::Text;
    qint64 run_ = 0;
    int attributes_ = 0;
    int brackets_ = 0;
    char quote_ = 0;
    std::array<char, 2> last_{};
};

}  // namespace lorvane
