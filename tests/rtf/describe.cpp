#include "describe.h"

#include "core/gbk.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QTextTable>

namespace {

QString describeBlock(const QTextBlock& b)
{
    const QTextBlockFormat bf = b.blockFormat();
    QString s = QStringLiteral("P[a%1 l%2 r%3 i%4 t%5 b%6]")
                    .arg(int(bf.alignment() & Qt::AlignHorizontal_Mask & ~Qt::AlignAbsolute))
                    .arg(qRound(bf.leftMargin()))
                    .arg(qRound(bf.rightMargin()))
                    .arg(qRound(bf.textIndent()))
                    .arg(qRound(bf.topMargin()))
                    .arg(qRound(bf.bottomMargin()));
    for (auto it = b.begin(); !it.atEnd(); ++it) {
        const QTextCharFormat f = it.fragment().charFormat();
        if (f.isImageFormat()) {
            const QTextImageFormat img = f.toImageFormat();
            s += QStringLiteral(" {img %1x%2}").arg(qRound(img.width())).arg(qRound(img.height()));
            continue;
        }
        const QStringList fam = f.fontFamilies().toStringList();
        s += QStringLiteral(" {%1|%2 %3%4%5%6%7%8%9%10}")
                 .arg(it.fragment().text(), fam.isEmpty() ? QString() : fam.first())
                 .arg(f.fontPointSize())
                 .arg(f.fontWeight() > QFont::Medium ? "B" : "")
                 .arg(f.fontItalic() ? "I" : "")
                 .arg(f.underlineStyle() ? QStringLiteral("U%1").arg(int(f.underlineStyle())) : QString())
                 .arg(f.fontStrikeOut() ? "S" : "")
                 .arg(f.verticalAlignment() == QTextCharFormat::AlignSuperScript ? "^"
                      : f.verticalAlignment() == QTextCharFormat::AlignSubScript ? "_"
                                                                                 : "")
                 .arg(f.hasProperty(QTextFormat::ForegroundBrush) ? " fg" + f.foreground().color().name() : QString())
                 .arg(f.hasProperty(QTextFormat::BackgroundBrush) ? " bg" + f.background().color().name() : QString());
    }
    return s;
}

void describeFrame(const QTextFrame* frame, QString& out)
{
    for (auto it = frame->begin(); !it.atEnd(); ++it) {
        if (const QTextFrame* child = it.currentFrame()) {
            if (const auto* t = qobject_cast<const QTextTable*>(child)) {
                out += QStringLiteral("TABLE %1x%2\n").arg(t->rows()).arg(t->columns());
                for (int r = 0; r < t->rows(); ++r)
                    for (int c = 0; c < t->columns(); ++c) {
                        const QTextTableCell cell = t->cellAt(r, c);
                        if (cell.row() != r || cell.column() != c)
                            continue;
                        out += QStringLiteral(" CELL %1,%2 span %3x%4\n")
                                   .arg(r)
                                   .arg(c)
                                   .arg(cell.rowSpan())
                                   .arg(cell.columnSpan());
                        for (auto ci = cell.begin(); !ci.atEnd(); ++ci)
                            if (ci.currentBlock().isValid())
                                out += "  " + describeBlock(ci.currentBlock()) + '\n';
                    }
                out += QStringLiteral("END TABLE\n");
            } else {
                describeFrame(child, out);
            }
        } else {
            out += describeBlock(it.currentBlock()) + '\n';
        }
    }
}

}  // namespace

QString describe(const QTextDocument& doc)
{
    QString out;
    describeFrame(doc.rootFrame(), out);
    return out;
}

QByteArray gbkHex(const QString& text)
{
    QByteArray out;
    const QByteArray bytes = qm::gbkEncode(text).value_or(QByteArray());
    for (const char c : bytes)
        out += "\\'" + QByteArray::number(uchar(c), 16).rightJustified(2, '0');
    return out;
}
