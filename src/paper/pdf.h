#pragma once
// Writing a paper as a PDF file for printing without a word processor: A4 pages with the
// margins of a printed Chinese examination paper, the fonts embedded.

#include <QString>

class QTextDocument;

namespace qm::paper {

// Writes `doc` to `path` (replaced whole, or left as it was on failure).
bool writePdf(const QTextDocument& doc, const QString& path, QString* error = nullptr);

}  // namespace qm::paper
