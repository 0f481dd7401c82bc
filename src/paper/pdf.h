#pragma once
// Writing a paper as a PDF file for printing without a word processor: A4 pages with the
// margins of a printed Chinese examination paper, the fonts embedded.

#include "rtf/rtf_writer.h"

#include <QByteArray>
#include <QString>
#include <optional>

class QTextDocument;

namespace qm::paper {

// The page of a paper: A4 with the margins of a printed examination paper (25 mm at the
// sides, 20 mm at the top and bottom) and its page numbers in the footer. The RTF and the
// PDF of a paper are laid out on it.
const PageSetup& paperPage();

// The whole PDF file of `doc`, made in memory, with `title` as the document's title, laid
// out on `page`: the text fills the page within its margins, tables are centred on it, and
// the page number ("第 1 页 共 4 页") stands under the text when the page asks for it. The
// PDF's text layer is the document's text. Nothing, with `error`, when the writer did not
// finish the file.
std::optional<QByteArray> pdfBytes(const QTextDocument& doc, const QString& title, QString* error = nullptr,
                                   const PageSetup& page = paperPage());

// Writes `doc` to `path` (replaced whole, or left as it was on failure), as pdfBytes makes it.
bool writePdf(const QTextDocument& doc, const QString& path, QString* error = nullptr,
              const PageSetup& page = paperPage());

}  // namespace qm::paper
