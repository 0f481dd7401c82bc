#pragma once
// Writing a paper as a PDF file for printing without a word processor: A4 pages with the
// margins of a printed Chinese examination paper, the fonts embedded.

#include "paper/layout.h"
#include "rtf/rtf_writer.h"

#include <QByteArray>
#include <QString>
#include <optional>

class QTextDocument;

namespace qm::paper {

// The page of an A4 paper as a word processor is told it: A4 with the margins of a printed
// examination paper (25 mm at the sides, 20 mm at the top and bottom) and its page numbers
// in the footer.
const PageSetup& paperPage();

// The whole PDF file of `doc`, made in memory, with `title` as the document's title, laid
// out on the sheets of `sheet`: the text fills its columns within the margins, tables are
// centred on them, pictures and tables wider than a column are narrowed to it, each page
// has its number under it ("第 1 页 共 4 页") and the sheets that have one their sealing
// strip. The PDF's text layer is the document's text. Nothing, with `error`, when the
// writer did not finish the file.
std::optional<QByteArray> pdfBytes(const QTextDocument& doc, const QString& title, QString* error = nullptr,
                                   const SheetGeometry& sheet = SheetGeometry(PaperLayout::A4));

// Writes `doc` to `path` (replaced whole, or left as it was on failure), as pdfBytes makes it.
bool writePdf(const QTextDocument& doc, const QString& path, QString* error = nullptr,
              const SheetGeometry& sheet = SheetGeometry(PaperLayout::A4));

}  // namespace qm::paper
