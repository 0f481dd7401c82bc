#include "rtf/rtf_reader.h"

#include "core/gbk.h"
#include "rtf/rtf_parser.h"

#include <QTextCursor>
#include <QTextDocument>

namespace qm {

QString RtfReader::textOfPlainFile(QByteArrayView bytes)
{
    QString text;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        text = QString::fromUtf8(bytes.sliced(3));
    else if (bytes.startsWith("\xFF\xFE"))
        text = QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
    else
        text = gbkDecode(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QChar(0), QChar(0xFFFD));
    // Other control characters than tabs and line ends never go into a document.
    text.removeIf([](QChar c) { return c.unicode() < 0x20 && c != u'\t' && c != u'\n'; });
    return text;
}

bool RtfReader::looksLikeRtf(QByteArrayView bytes)
{
    qsizetype i = 0;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        i = 3;
    while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n'))
        ++i;
    const QByteArrayView rest = bytes.sliced(i);
    return rest.startsWith("{\\rtf") || rest.startsWith("{\\urtf");
}

void RtfReader::read(QByteArrayView rtf, QTextDocument* doc)
{
    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    doc->clear();
    if (looksLikeRtf(rtf)) {
        rtf::Parser parser(rtf, doc);
        parser.run();
    } else {
        QTextCursor(doc).insertText(textOfPlainFile(rtf));
    }
    doc->setUndoRedoEnabled(undo);
    doc->setModified(false);
}

}  // namespace qm
