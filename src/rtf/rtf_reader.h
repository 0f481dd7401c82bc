#pragma once
// Reading RTF documents (as written by this program, the old rich-edit control, word
// processors) into a QTextDocument.

#include <QByteArrayView>
#include <QString>

class QTextDocument;

namespace qm {

class RtfReader {
public:
    // Replaces the content of `doc` with the document in `rtf`. Malformed input never
    // crashes or hangs: what can be read is kept. Input that is not RTF at all loads as
    // plain text in GBK (one paragraph per line), as the rich-text box always did.
    // The undo history of `doc` is cleared and the document is marked unmodified.
    static void read(QByteArrayView rtf, QTextDocument* doc);
    // True when the bytes start an RTF document (after a byte-order mark and blanks).
    static bool looksLikeRtf(QByteArrayView bytes);
    // The text of input that is not RTF: UTF-8 or UTF-16 by its byte-order mark, else GBK;
    // lines end in "\n", control characters other than tabs are left out.
    static QString textOfPlainFile(QByteArrayView bytes);
};

}  // namespace qm
