#pragma once
// The text of an RTF document without laying it out: what search and duplicate finding
// compare. Reads the characters of the body (code pages of the fonts and the document,
// \uN with its fallback skipped, \'hh bytes, GBK by guess in documents that declare no code
// page) and passes over everything that is not text: font, colour and style tables,
// pictures, objects' data, fields' instructions, shapes, headers and footers, optional
// destinations. Paragraph, line, tab and cell ends become spaces. Many times faster than
// reading the document into a QTextDocument; malformed input never crashes or hangs.
// Input that is not RTF is taken as a plain file (RtfReader::textOfPlainFile).

#include <QByteArrayView>
#include <QString>

namespace qm {

QString rtfText(QByteArrayView rtf);

}  // namespace qm
