#pragma once

#include <QString>
#include <QStringView>

#include <vector>

// How the memory, the context and the word counts read a block's text. A
// tag is everything from "<" up to and including the next ">"; a "<" with
// no ">" after it is text.

// Tags (speaker, page and end tags alike) left out, every run of blanks and
// line breaks made one blank, blanks at both ends dropped. Letter case and
// accents stay: "Él" is not "el", and a translation must follow both.
QString comparableText(QStringView text);

// Words are runs of letters and digits, with the apostrophe (or the grave
// accent that stands for it) inside them: "don't" is one word. Any other
// character that is neither blank nor part of a tag is a sign of its own.
struct TextToken
{
    qsizetype start = 0;
    qsizetype length = 0;
    bool word = false;
};
std::vector<TextToken> textTokens(QStringView text);

// Words, and characters that are neither blanks nor inside a tag: figures
// that do not move when a line is broken elsewhere or a tag is added.
struct TextFigures
{
    qint64 words = 0;
    qint64 characters = 0;
};
TextFigures textFigures(QStringView text);

// The tag on a block's first line when that line holds only a tag that
// shows a name ("<Pellan>"); empty otherwise.
QString speakerTag(QStringView text);
