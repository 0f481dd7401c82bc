#pragma once
// Writing a paper as a PDF file for printing without a word processor: A4 pages with the
// margins of a printed Chinese examination paper, the fonts embedded.

#include <QByteArray>
#include <QString>
#include <optional>

class QTextDocument;

namespace qm::paper {

// The whole PDF file of `doc`, made in memory, with `title` as the document's title;
// nothing, with `error`, when the writer did not finish the file.
std::optional<QByteArray> pdfBytes(const QTextDocument& doc, const QString& title, QString* error = nullptr);

// Writes `doc` to `path` (replaced whole, or left as it was on failure).
bool writePdf(const QTextDocument& doc, const QString& path, QString* error = nullptr);

}  // namespace qm::paper
