#pragma once
// Text as search and duplicate finding compare it: full-width letters, digits and signs
// as their half-width forms (ＡＢＣ１２ = ABC12, the ideographic space a space), letters in
// lower case, every run of white space one space, none at the ends, control characters
// and the picture placeholder left out. Chinese characters stay as they are: they are
// matched as they stand, with no word splitting.

#include <QList>
#include <QString>
#include <QStringList>

namespace qm {

// The folded form of one character; a null QChar for one that folding leaves out, a space
// for any white space. Folding a character never gives more than one.
QChar foldChar(QChar c);

// The folded form of a text.
QString foldText(QStringView text);

// The words of a search: the folded text split at its spaces, each word once.
QStringList searchWords(QStringView query);

// A line of a text around the first place where one of `words` occurs, for a list of
// search results, with where each occurrence of a word in the line starts and its length.
struct ContextLine {
    QString text;
    QList<std::pair<int, int>> marks;  // (start, length) in `text`, in order, not overlapping
};
// `text` is the unfolded text (white space is collapsed for the line); `words` are folded
// search words. At most about `width` characters; "…" marks a cut.
ContextLine contextLine(QStringView text, const QStringList& words, int width = 60);

// A question a search found, as a list of results shows it.
struct FoundQuestion {
    qint64 id = 0;  // 编号
    QString type;
    QString chapter;
    ContextLine line;
};

}  // namespace qm
