#pragma once
// What the paper tests read back from documents: the runs of text with their formatting,
// and the alignment of each paragraph.

#include "paper/header_settings.h"
#include "rtf/rich_text.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <ostream>

namespace qm::test {

// Header settings with every text filled: 2003～2004, term 1, 高一(3)班, 90 minutes, the
// given school, a mid-term paper, variant A.
inline paper::HeaderSettings filledSettings(const QString& school)
{
    paper::HeaderSettings s;
    s.firstYear = "2003";
    s.secondYear = "2004";
    s.term = "1";
    s.className = "高一(3)班";
    s.minutes = "90";
    s.school = school;
    s.kind = paper::ExamKind::MidTerm;
    s.variant = paper::Variant::A;
    return s;
}

// One run of text as the reader sees it.
struct Run {
    QString text;
    QString family;
    double size = 0;
    bool bold = false;
    bool underline = false;
    bool operator==(const Run&) const = default;
};

inline void PrintTo(const Run& r, std::ostream* os)
{
    *os << '{' << r.text.toStdString() << " | " << r.family.toStdString() << ' ' << r.size << (r.bold ? " bold" : "")
        << (r.underline ? " underlined" : "") << '}';
}

// The runs of the paragraphs outside tables, in order; the empty ones are left out.
inline QList<Run> runsOutsideTables(const QTextDocument& doc)
{
    QList<Run> runs;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (QTextCursor(b).currentTable())
            continue;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            runs << Run{it.fragment().text(), fontFamilyOf(f, QString()), f.fontPointSize(),
                        f.fontWeight() >= QFont::Bold, f.fontUnderline()};
        }
    }
    return runs;
}

// Each paragraph outside tables as "text" with its alignment ('C' centred, 'L' left), and
// each table as "[table a|b|c]" with its cell texts.
inline QStringList layout(const QTextDocument& doc)
{
    QStringList lines;
    QTextTable* last = nullptr;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (QTextTable* table = QTextCursor(b).currentTable()) {
            if (table != last) {
                QStringList cells;
                for (int r = 0; r < table->rows(); ++r)
                    for (int c = 0; c < table->columns(); ++c)
                        cells << table->cellAt(r, c).firstCursorPosition().block().text();
                lines << QStringLiteral("[table %1]").arg(cells.join(QLatin1Char('|')));
            }
            last = table;
            continue;
        }
        last = nullptr;
        const Qt::Alignment a = b.blockFormat().alignment();
        lines << ((a & Qt::AlignHCenter) ? QStringLiteral("C ") : QStringLiteral("L ")) + b.text();
    }
    return lines;
}

}  // namespace qm::test
