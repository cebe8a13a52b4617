#pragma once

#include <algorithm>

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

#include "picture/recipe.h"

namespace lorvane {

// Far beyond any element lorvane01 writes (six attributes), or an editor that keeps its own
// settings in the file; the XML reader takes time that grows with the square of the attributes.
constexpr int kMostAttributes = 1000;
// Markup (a tag, a comment, a declaration) or text between markup that gives the XML reader
// more than this is refused before the reader sees it.
constexpr qint64 kLongestRun = qint64{16} * 1024 * 1024;

// Bounds what the XML reader is given, by a quick pass over the bytes before it reads them: how
// long a tag, a comment, a declaration or a run of text is, and how many attributes a tag has.
// It follows quotes in tags and declarations, and the ends of comments, character data and
// processing instructions, so that a '>' inside them does not end the count early.
//
// Given somewhere to keep them, it also passes on only the bytes the reader needs, so that
// markup nobody reads costs no memory whatever its length: a comment, or a processing
// instruction other than the XML declaration, keeps its delimiters and its line breaks (so the
// reader's line numbers stay right), and character data its first characters, enough to tell a
// recipe that is too long.
class MarkupBounds {
public:
    // What is wrong with the bytes that follow those checked so far, or nothing. The bytes the
    // reader needs are appended to `kept` when given; without it, all of them count.
    [[nodiscard]] QString Check(QByteArrayView piece, QByteArray* kept = nullptr)
    {
        kept_ = kept;
        for (qsizetype at = PassedOver(piece, 0); at < piece.size(); at = PassedOver(piece, at + 1)) {
            Step(piece[at]);
            if (run_ > kLongestRun) {
                return QStringLiteral("has an element or text longer than %1 MiB; no picture saved by lorvane01 has")
                    .arg(kLongestRun / (1024 * 1024));
            }
            if (attributes_ > kMostAttributes) {
                return QStringLiteral("has an element with more than %1 attributes; no picture saved by lorvane01 has")
                    .arg(kMostAttributes);
            }
        }
        kept_ = nullptr;
        return {};
    }

private:
    enum class State {
        Text,
        Opened,
        Bang,
        Tag,
        Declaration,
        CommentOpening,
        Comment,
        DataOpening,
        Data,
        Target,
        Instruction,
        Declared,
    };

    // Without anywhere to keep bytes, every one is counted as kept.
    void Keep(char c)
    {
        ++run_;
        if (kept_ != nullptr) {
            kept_->append(c);
        }
    }
    void Keep(QByteArrayView text)
    {
        for (const char c : text) {
            Keep(c);
        }
    }
    void Skip(char c)
    {
        if (kept_ == nullptr || c == '\n' || c == '\r') {
            Keep(c);
        }
    }

    // Where the bulk of markup that is not kept ends, from `at`: the bytes that one step at a time
    // would drop.
    [[nodiscard]] qsizetype PassedOver(QByteArrayView piece, qsizetype at) const
    {
        char end = 0;
        if (kept_ == nullptr) {
            return at;
        }
        if (state_ == State::Comment && dashes_ == 0) {
            end = '-';
        } else if (state_ == State::Instruction && !question_) {
            end = '?';
        } else if (state_ == State::Data && !keeping_ && brackets_ == 0) {
            end = ']';
        } else {
            return at;
        }
        while (at < piece.size() && piece[at] != end && piece[at] != '\n' && piece[at] != '\r') {
            ++at;
        }
        return at;
    }

    // A '<' outside markup: a new run.
    void Open(char c)
    {
        state_ = State::Opened;
        run_ = 0;
        attributes_ = 0;
        quote_ = 0;
        subset_ = 0;
        nested_ = 0;
        Keep(c);
    }

    // The end of markup: back to the text after it, a new run, or to the declaration it is in.
    void Close()
    {
        state_ = returnTo_;
        returnTo_ = State::Text;
        if (state_ == State::Text) {
            run_ = 0;
            attributes_ = 0;
        }
    }

    void Step(char c)
    {
        switch (state_) {
        case State::Text:
            if (c == '<') {
                Open(c);
            } else {
                Keep(c);
            }
            break;
        case State::Opened:
            Keep(c);
            if (c == '!') {
                state_ = State::Bang;
            } else if (c == '?') {
                state_ = State::Target;
                target_.clear();
            } else {
                state_ = State::Tag;
                Declare(c);
            }
            break;
        case State::Bang:
            Keep(c);
            state_ = c == '-' ? State::CommentOpening : c == '[' ? State::DataOpening : State::Declaration;
            opening_ = 0;
            if (state_ == State::Declaration) {
                Declare(c);
            }
            break;
        case State::CommentOpening:
            // "<!-" and one more '-' open a comment; anything else is the reader's to refuse.
            Keep(c);
            state_ = c == '-' ? State::Comment : State::Declaration;
            dashes_ = 0;
            break;
        case State::Comment:
            Comment(c);
            break;
        case State::DataOpening:
            Keep(c);
            if (c != kDataOpening[opening_]) {
                state_ = State::Declaration;
            } else if (++opening_ == kDataOpening.size()) {
                state_ = State::Data;
                brackets_ = 0;
                characters_ = 0;
            }
            break;
        case State::Data:
            Data(c);
            break;
        case State::Target:
            Target(c);
            break;
        case State::Instruction:
            Instruction(c);
            break;
        case State::Declared:
            // The XML declaration, which the reader needs whole (its encoding).
            Keep(c);
            if (c == '>' && question_) {
                Close();
            }
            question_ = c == '?';
            break;
        case State::Tag:
        case State::Declaration:
            Keep(c);
            Declare(c);
            break;
        }
    }

    // A tag, or a declaration with its internal subset, where quotes hide '>' and '['.
    void Declare(char c)
    {
        if (quote_ != 0) {
            quote_ = c == quote_ ? 0 : quote_;
        } else if (state_ == State::Declaration && subset_ > 0 && Nested(c)) {
            return;
        } else if (c == '"' || c == '\'') {
            quote_ = c;
        } else if (c == '=') {
            ++attributes_;
        } else if (c == '[') {
            ++subset_;
        } else if (c == ']') {
            --subset_;
        } else if (c == '>' && (state_ == State::Tag || subset_ <= 0)) {
            subset_ = 0;
            Close();
        }
    }

    // Whether `c` opens a comment or a processing instruction in an internal subset, where quotes
    // in them are no quotes.
    bool Nested(char c)
    {
        constexpr QByteArrayView kComment = "<!--";
        if (c == '?' && nested_ == 1) {
            state_ = State::Target;
            target_.clear();
        } else {
            nested_ = c == kComment[nested_] ? nested_ + 1 : c == '<' ? 1 : 0;
            if (nested_ < kComment.size()) {
                return false;
            }
            state_ = State::Comment;
            dashes_ = 0;
        }
        nested_ = 0;
        returnTo_ = State::Declaration;
        return true;
    }

    // A comment's text is dropped; "--" within it is passed on for the reader to refuse.
    void Comment(char c)
    {
        if (c == '-') {
            ++dashes_;
            return;
        }
        if (dashes_ >= 2) {
            Keep(QByteArrayView("---").first(std::min(dashes_, 3)));
            Keep(c);
            if (c == '>') {
                Close();
            }
        } else {
            Skip(c);
        }
        dashes_ = 0;
    }

    // Character data keeps as many characters as a recipe may have and one more; then only its
    // line breaks and its end.
    void Data(char c)
    {
        if (c == ']') {
            if (++brackets_ > 2) {
                --brackets_;
                DataCharacter(c);
            }
            return;
        }
        if (c == '>' && brackets_ == 2) {
            Keep("]]>");
            Close();
            return;
        }
        for (; brackets_ > 0; --brackets_) {
            DataCharacter(']');
        }
        DataCharacter(c);
    }
    void DataCharacter(char c)
    {
        // A character's first byte decides for the bytes that follow it.
        if ((static_cast<unsigned char>(c) & 0xC0U) != 0x80U) {
            keeping_ = characters_ < kKeptCharacters;
            characters_ += keeping_ ? 1 : 0;
        }
        if (keeping_) {
            Keep(c);
        } else {
            Skip(c);
        }
    }

    // A processing instruction's target: "xml" (in any case) is the declaration, kept whole.
    void Target(char c)
    {
        const bool ends = c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '?';
        if (!ends) {
            Keep(c);
            if (target_.size() <= 3) {
                target_.append(c);
            }
            return;
        }
        state_ = target_.compare("xml", Qt::CaseInsensitive) == 0 ? State::Declared : State::Instruction;
        question_ = false;
        if (state_ == State::Instruction && c != '?') {
            // The blank after the target, or where the target should be, as the reader checks it.
            Keep(c);
        } else {
            Step(c);
        }
    }

    // The rest of any other processing instruction is dropped.
    void Instruction(char c)
    {
        if (c == '>' && question_) {
            Keep("?>");
            Close();
            return;
        }
        question_ = c == '?';
        if (!question_) {
            Skip(c);
        }
    }

    static constexpr QByteArrayView kDataOpening = "CDATA[";
    static constexpr qint64 kKeptCharacters = static_cast<qint64>(Recipe::kLongestText) + 1;

    QByteArray* kept_ = nullptr;
    State state_ = State::Text;
    State returnTo_ = State::Text;
    qint64 run_ = 0;
    int attributes_ = 0;
    int subset_ = 0;
    char quote_ = 0;
    qsizetype opening_ = 0;
    qsizetype nested_ = 0;
    int dashes_ = 0;
    int brackets_ = 0;
    qint64 characters_ = 0;
    bool keeping_ = true;
    bool question_ = false;
    QByteArray target_;
};

}  // namespace lorvane
