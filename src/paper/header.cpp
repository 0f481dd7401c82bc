#include "paper/header.h"

#include "paper/fragments.h"
#include "rtf/rtf_reader.h"

#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

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

}  // namespace qm::paper
