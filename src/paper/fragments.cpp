#include "paper/fragments.h"

#include "bankstore/bank_file.h"
#include "rtf/rich_text.h"
#include "rtf/rtf_writer.h"
#include "selection/draw.h"

#include <QFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

namespace qm::paper {

namespace {

const QString kTableFont = QStringLiteral("宋体");
constexpr double kTablePointSize = 10.5;

QTextCharFormat cellFormat()
{
    QTextCharFormat f;
    f.setFontFamilies({kTableFont});
    f.setFontPointSize(kTablePointSize);
    return f;
}

// A ruled table of the given cell texts, every cell centred and of one width.
QByteArray tableRtf(const QList<QStringList>& rows, double cellWidth)
{
    QTextDocument doc;
    QFont font(kTableFont);
    font.setPointSizeF(kTablePointSize);
    doc.setDefaultFont(font);
    QTextCursor cursor(&doc);
    QTextTableFormat format;
    format.setBorder(1);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setBorderCollapse(true);
    format.setCellSpacing(0);
    format.setCellPadding(2);
    format.setAlignment(Qt::AlignHCenter);
    const int columns = int(rows.first().size());
    format.setColumnWidthConstraints(QList<QTextLength>(columns, QTextLength(QTextLength::FixedLength, cellWidth)));
    QTextTable* table = cursor.insertTable(int(rows.size()), columns, format);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < columns; ++c) {
            QTextCursor cell = table->cellAt(r, c).firstCursorPosition();
            cell.setBlockFormat(centred);
            cell.insertText(rows[r][c], cellFormat());
        }
    }
    return RtfWriter::write(doc);
}

}  // namespace

QByteArray scoringTableRtf(int types)
{
    QStringList heading{QStringLiteral("题号")};
    QStringList scores{QStringLiteral("得分")};
    for (int i = 1; i <= types; ++i) {
        heading << selection::chineseNumber(i);
        scores << QString();
    }
    heading << QStringLiteral("总分");
    scores << QString();
    return tableRtf({heading, scores}, 48);
}

QByteArray graderBoxRtf()
{
    return tableRtf({{QStringLiteral("得分"), QStringLiteral("阅卷人")}, {QString(), QString()}}, 56);
}

std::optional<QByteArray> loadScoringTable(const QString& templatePath, int types, QString* error)
{
    const BankFile file(templatePath);
    if (std::optional<QByteArray> stored = file.scoringTable(types))
        return stored;
    // The template holds tables for as many types as papers usually have; a paper with
    // more gets one of the same layout made for it. A template that cannot be read at all
    // is an error.
    if (!file.check(error))
        return std::nullopt;
    return scoringTableRtf(std::max(types, 1));
}

std::optional<QByteArray> loadGraderBox(const QString& templatePath, QString* error)
{
    return BankFile(templatePath).graderBox(error);
}

void insertTable(QTextCursor& cursor, const QTextDocument& table)
{
    cursor.beginEditBlock();
    const QTextBlock here = cursor.block();
    const QTextBlock before = here.previous();
    if (here.length() == 1 && before.isValid() && QTextCursor(before).currentFrame() == cursor.currentFrame()) {
        cursor.deletePreviousChar();
        // The paragraph the table follows keeps its own alignment and indents.
        const int at = cursor.position();
        const QTextBlockFormat kept = cursor.blockFormat();
        insertDocument(cursor, table);
        QTextCursor(cursor.document()->findBlock(at)).setBlockFormat(kept);
    } else {
        insertDocument(cursor, table);
    }
    cursor.endEditBlock();
}

}  // namespace qm::paper
