#pragma once
// Writing a QTextDocument as RTF in code page 936.

#include <QByteArray>

class QTextDocument;

namespace qm {

class RtfWriter {
public:
    // The whole document as RTF: "{\rtf1\ansi\ansicpg936\deff0" with font and colour
    // tables, paragraphs, character formats, tables and pictures. Text that GBK holds is
    // written as \'hh pairs (in fonts of the GBK character set), everything else as \uN?.
    // Reading the result back gives the same text and formatting.
    static QByteArray write(const QTextDocument& doc);
};

}  // namespace qm
