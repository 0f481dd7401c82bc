#include "core/text_fold.h"

#include <algorithm>

namespace qm {

QChar foldChar(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= 0xFF01 && u <= 0xFF5E)  // full-width ASCII
        return QChar(char16_t(u - 0xFEE0)).toLower();
    if (u == 0x3000 || c.isSpace())
        return QLatin1Char(' ');
    if (u == 0xFFFC || c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
        return QChar();
    return c.toLower();
}

namespace {

// Folds `text` and records for each character of the result the index of the character
// of `text` it comes from.
QString foldWithSources(QStringView text, QList<int>* sources)
{
    QString out;
    out.reserve(text.size());
    bool space = true;  // at the start, or after a space: no space yet
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar f = foldChar(text[i]);
        if (f.isNull())
            continue;
        if (f == QLatin1Char(' ')) {
            if (space)
                continue;
            space = true;
        } else {
            space = false;
        }
        out.append(f);
        if (sources)
            sources->append(int(i));
    }
    if (out.endsWith(QLatin1Char(' '))) {
        out.chop(1);
        if (sources)
            sources->removeLast();
    }
    return out;
}

}  // namespace

QString foldText(QStringView text)
{
    return foldWithSources(text, nullptr);
}

QStringList searchWords(QStringView query)
{
    QStringList words;
    for (const QString& w : foldText(query).split(QLatin1Char(' '), Qt::SkipEmptyParts))
        if (!words.contains(w))
            words.append(w);
    return words;
}

ContextLine contextLine(QStringView text, const QStringList& words, int width)
{
    QList<int> sources;
    const QString folded = foldWithSources(text, &sources);
    // The line is cut from the folded text's positions, shown in the original characters
    // (white space as one space).
    qsizetype first = -1;
    for (const QString& w : words) {
        const qsizetype at = folded.indexOf(w);
        if (at >= 0 && (first < 0 || at < first))
            first = at;
    }
    qsizetype from = std::max<qsizetype>(0, first < 0 ? 0 : first - width / 3);
    const qsizetype to = std::min<qsizetype>(folded.size(), from + width);
    from = std::max<qsizetype>(0, std::min(from, to - width));
    ContextLine line;
    if (from > 0)
        line.text += QChar(0x2026);
    const int offset = int(line.text.size()) - int(from);
    for (qsizetype i = from; i < to; ++i)
        line.text += folded[i] == QLatin1Char(' ') ? QLatin1Char(' ') : text[sources[i]];
    if (to < folded.size())
        line.text += QChar(0x2026);
    // Every occurrence of every word inside the line; overlapping ones are joined.
    QList<std::pair<int, int>> spans;
    for (const QString& w : words)
        for (qsizetype at = folded.indexOf(w, from); at >= 0 && at + w.size() <= to; at = folded.indexOf(w, at + 1))
            spans.append({int(at) + offset, int(w.size())});
    std::sort(spans.begin(), spans.end());
    for (const auto& s : spans) {
        if (!line.marks.isEmpty() && s.first <= line.marks.last().first + line.marks.last().second) {
            auto& last = line.marks.last();
            last.second = std::max(last.second, s.first + s.second - last.first);
        } else {
            line.marks.append(s);
        }
    }
    return line;
}

}  // namespace qm
