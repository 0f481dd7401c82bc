#include "editor/bank_document.h"

#include "bankstore/bank_file.h"
#include "rtf/rich_text.h"
#include "rtf/rtf_reader.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace qm {

namespace {

// Appends `text` in the heading format; each "\n" starts a new left-aligned paragraph.
void appendHeading(QTextCursor& c, const QString& text)
{
    QTextCharFormat heading;
    heading.setFontFamilies({QStringLiteral("黑体")});
    heading.setFontWeight(QFont::Bold);
    heading.setFontItalic(false);
    heading.setFontPointSize(9);
    QTextBlockFormat left;
    left.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            c.insertBlock(left, heading);
        if (!lines[i].isEmpty()) {
            c.mergeBlockFormat(left);
            c.insertText(lines[i], heading);
        }
    }
}

void appendRtf(QTextCursor& c, const QByteArray& rtf)
{
    if (rtf.isEmpty())
        return;
    QTextDocument piece;
    RtfReader::read(rtf, &piece);
    insertDocument(c, piece);
}

}  // namespace

void appendQuestionToDocument(QTextDocument* doc, const Question& question)
{
    QTextCursor c(doc);
    c.movePosition(QTextCursor::End);
    appendHeading(c, QStringLiteral("题　　目：\n"));
    appendRtf(c, question.text);
    appendHeading(c, QStringLiteral("\n参考答案：\n"));
    appendRtf(c, question.answer);
    appendHeading(c, QStringLiteral("\n\n"));
}

std::optional<int> appendBankToDocument(const QString& bankPath, QTextDocument* doc,
                                        const std::function<bool(int, int)>& before, QString* error)
{
    const BankFile bank(bankPath);
    const auto ids = bank.idsMatching({}, error);
    if (!ids)
        return std::nullopt;
    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    int appended = 0;
    for (int i = 0; i < ids->size(); ++i) {
        if (!before(i, int(ids->size())))
            break;
        if (const auto q = bank.readById(ids->at(i))) {
            appendQuestionToDocument(doc, *q);
            ++appended;
        }
    }
    doc->setUndoRedoEnabled(undo);
    return appended;
}

}  // namespace qm
