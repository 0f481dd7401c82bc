#pragma once
// Writing a QTextDocument as RTF in code page 936.

#include <QByteArray>
#include <QRect>
#include <QString>
#include <optional>

class QTextDocument;

namespace qm {

// How a document is laid out on paper when a word processor prints it. Lengths in twips
// (1/1440 inch, 1/20 point).
struct PageSetup {
    int width = 11906;      // A4: 210 mm
    int height = 16838;     // 297 mm
    int marginLeft = 1417;  // 25 mm
    int marginRight = 1417;
    int marginTop = 1134;  // 20 mm
    int marginBottom = 1134;
    bool landscape = false;
    // "第 1 页 共 4 页" centred in the footer of every page, as page and page-count fields.
    bool pageNumbers = false;
    int columns = 1;
    int columnGap = 0;
    // A sealing strip down the left edge of the odd pages: a text box with the candidate's
    // fields, a dashed line and a text box with the notice, their text running up the page.
    struct Strip {
        QRect fields;  // on the page, in twips
        int line = 0;  // the line's distance from the page's left edge
        QRect notice;
        QString fieldsText;
        QString noticeText;
        bool operator==(const Strip&) const = default;
    };
    std::optional<Strip> strip;
    // The layout's name, kept in the RTF ({\*\qmlayout name}) so that the paper is laid out
    // the same when it is read back.
    QString name;

    bool operator==(const PageSetup&) const = default;
};

// The footer text of a page: "第 1 页 共 4 页".
QString pageNumberText(int page, int pages);

class RtfWriter {
public:
    // The whole document as RTF: "{\rtf1\ansi\ansicpg936\deff0" with font and colour
    // tables, paragraphs, character formats, tables and pictures. Text that GBK holds is
    // written as \'hh pairs (in fonts of the GBK character set), everything else as \uN?.
    // Reading the result back gives the same text and formatting. With `page`, the paper
    // size, orientation and margins are stated and, when asked for, the page numbers.
    static QByteArray write(const QTextDocument& doc, const PageSetup* page = nullptr);
};

}  // namespace qm
