#include "paper/header.h"

#include "paper/fragments.h"
#include "rtf/rich_text.h"
#include "rtf/rtf_reader.h"

#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

namespace qm::paper {

namespace {

const QChar kIdeographicSpace(0x3000);

// One run of the header: its text ("\n" starts a new paragraph) in one character format,
// and the alignment of the paragraphs it touches.
struct Run {
    QString text;
    QString family;
    double pointSize = 0;
    bool bold = false;
    bool underline = false;
    Qt::Alignment alignment = Qt::AlignHCenter;
};

void insertRun(QTextCursor& cursor, const Run& run)
{
    QTextCharFormat chars;
    chars.setFontFamilies({run.family});
    chars.setFontPointSize(run.pointSize);
    chars.setFontWeight(run.bold ? QFont::Bold : QFont::Normal);
    chars.setFontUnderline(run.underline);
    QTextBlockFormat block = cursor.blockFormat();
    block.setAlignment(run.alignment);
    cursor.setBlockFormat(block);
    // An empty paragraph is as high as its own character format says.
    if (cursor.block().length() == 1)
        cursor.setBlockCharFormat(chars);
    const QStringList lines = run.text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            cursor.insertBlock(block, chars);
        if (!lines[i].isEmpty())
            cursor.insertText(lines[i], chars);
    }
}

// The most lines a header has before its scoring table: two title lines, an empty line,
// the candidate line and the empty line under it, and a little room for hand edits.
constexpr int kMaxLinesBeforeTable = 8;

// The header's scoring table, nullptr when the document does not start with a header.
QTextTable* scoringTable(const QTextDocument& doc)
{
    int lines = 0;
    for (auto it = doc.rootFrame()->begin(); !it.atEnd(); ++it) {
        if (QTextFrame* frame = it.currentFrame()) {
            auto* table = qobject_cast<QTextTable*>(frame);
            if (!table || table->rows() < 1 || table->columns() < 1)
                return nullptr;
            const QString first = table->cellAt(0, 0).firstCursorPosition().block().text().trimmed();
            return first == QStringLiteral("题号") ? table : nullptr;
        }
        if (++lines > kMaxLinesBeforeTable)
            return nullptr;
    }
    return nullptr;
}

QString variantText(Variant variant)
{
    switch (variant) {
    case Variant::A: return QStringLiteral("(A)卷");
    case Variant::B: return QStringLiteral("(B)卷");
    case Variant::None: break;
    }
    return {};
}

}  // namespace

bool hasEmptyField(const HeaderSettings& s)
{
    return !emptyFieldNames(s).isEmpty();
}

QString bankTitle(const QString& bankFileName)
{
    // Only the file's own name counts, whichever separator a path uses.
    const qsizetype slash =
        std::max(bankFileName.lastIndexOf(QLatin1Char('/')), bankFileName.lastIndexOf(QLatin1Char('\\')));
    const QString name = bankFileName.mid(slash + 1);
    // Banks are "*.tik": the extension goes, in any case. Another three-letter extension
    // goes as well (its last four characters); a name without one stays whole.
    if (name.size() >= 4 && name[name.size() - 4] == QLatin1Char('.'))
        return name.left(name.size() - 4);
    return name;
}

QString headerTitleLines(const HeaderSettings& s, const QString& bankFileName)
{
    return s.school + s.firstYear + QStringLiteral("～") + s.secondYear + QStringLiteral("学年第") + s.term
           + QStringLiteral("学期\n") + s.className + QStringLiteral("《") + bankTitle(bankFileName)
           + QStringLiteral("》") + examKindCaption(s.kind) + variantText(s.variant);
}

void buildHeader(QTextDocument& header, const HeaderSettings& s, const QString& bankFileName,
                 const QByteArray& scoringTableRtf)
{
    const QString hei = QStringLiteral("黑体");
    const auto blanks = [](int n) { return QString(n, kIdeographicSpace); };

    header.clear();
    QTextCursor cursor(&header);
    cursor.beginEditBlock();
    insertRun(cursor, {headerTitleLines(s, bankFileName) + QStringLiteral("\n\n"), hei, 14, true});
    insertRun(cursor, {QStringLiteral("姓名"), hei, 12});
    insertRun(cursor, {blanks(7), hei, 12, false, true});
    insertRun(cursor, {QStringLiteral("学号"), hei, 12});
    insertRun(cursor, {blanks(3), hei, 12, false, true});
    insertRun(cursor, {QStringLiteral("考试时间") + s.minutes + QStringLiteral("分钟") + kIdeographicSpace
                           + QStringLiteral("成绩"),
                       hei, 12});
    insertRun(cursor, {blanks(3) + QStringLiteral("\n\n"), hei, 12, false, true});

    // The scoring table keeps the formatting it was made with.
    QTextDocument table;
    RtfReader::read(scoringTableRtf, &table);
    insertTable(cursor, table);

    insertRun(cursor, {QStringLiteral("\n"), hei, 10.5, true});
    insertRun(cursor, {QStringLiteral("\n"), hei, 10.5, true, false, Qt::AlignLeft});
    cursor.endEditBlock();
}

void removeCandidateLine(QTextDocument& doc)
{
    if (!scoringTable(doc))
        return;
    const auto inTable = [](const QTextBlock& b) { return QTextCursor(b).currentTable() != nullptr; };
    for (QTextBlock line = doc.begin(); line.isValid() && !inTable(line); line = line.next()) {
        if (!line.text().trimmed().startsWith(QStringLiteral("姓名")))
            continue;
        QTextCursor cursor(line);
        cursor.beginEditBlock();
        // The line goes; the table keeps a line before it.
        if (inTable(line.next()))
            cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        else
            cursor.setPosition(line.next().position(), QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        // Of the empty lines around it, one stays.
        const QTextBlock here = cursor.block();
        const QTextBlock before = here.previous();
        if (here.length() == 1 && before.isValid() && before.length() == 1) {
            cursor.setPosition(before.position());
            cursor.setPosition(here.position(), QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
        }
        cursor.endEditBlock();
        return;
    }
}

int headerEnd(const QTextDocument& doc)
{
    const QTextTable* table = scoringTable(doc);
    if (!table)
        return 0;
    // The lines after the table: the empty ones that close the header are skipped, but the
    // last line of the document stays (in a header alone it is where the paper goes on).
    QTextBlock line = doc.findBlock(table->lastPosition()).next();
    for (int i = 0; i < 2 && line.isValid() && line.length() == 1 && line.next().isValid(); ++i)
        line = line.next();
    return line.isValid() ? line.position() : doc.characterCount() - 1;
}

int scoringTableTypes(const QTextDocument& doc)
{
    const QTextTable* table = scoringTable(doc);
    // 题号, a column for each type, 总分.
    return table ? std::max(table->columns() - 2, 0) : -1;
}

void replaceScoringTable(QTextDocument& doc, const QByteArray& tableRtf)
{
    const QTextTable* table = scoringTable(doc);
    if (!table)
        return;
    // The lines around the table keep their formats (the header centres them).
    const QTextBlock before = doc.findBlock(table->firstPosition()).previous();
    const QTextBlock after = doc.findBlock(table->lastPosition()).next();
    const QTextBlockFormat beforeFormat = before.blockFormat();
    const QTextCharFormat beforeChars = before.charFormat();
    const QTextBlockFormat afterFormat = after.blockFormat();
    const QTextCharFormat afterChars = after.charFormat();
    QTextDocument replacement;
    RtfReader::read(tableRtf, &replacement);
    QTextCursor cursor(&doc);
    cursor.beginEditBlock();
    cursor.setPosition(table->firstPosition() - 1);
    cursor.setPosition(table->lastPosition() + 1, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    // The removal took the table with the line before it; the table's document brings a
    // line before the table again.
    const int at = cursor.position();
    insertDocument(cursor, replacement);
    QTextCursor line(doc.findBlock(at));
    line.setBlockFormat(beforeFormat);
    line.setBlockCharFormat(beforeChars);
    cursor.setBlockFormat(afterFormat);
    cursor.setBlockCharFormat(afterChars);
    cursor.endEditBlock();
}

void placeHeader(QTextDocument& doc, const QTextDocument& header)
{
    const int end = headerEnd(doc);
    // The line after the header keeps its own paragraph format once the new header's last
    // (empty) line has joined it.
    const QTextBlock after = doc.findBlock(end);
    const QTextBlockFormat kept = after.blockFormat();
    const QTextCharFormat keptChars = after.charFormat();
    QTextCursor cursor(&doc);
    cursor.beginEditBlock();
    if (end > 0) {
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    insertDocument(cursor, header);
    cursor.setBlockFormat(kept);
    if (cursor.block().length() == 1)
        cursor.setBlockCharFormat(keptChars);
    cursor.endEditBlock();
}

}  // namespace qm::paper
