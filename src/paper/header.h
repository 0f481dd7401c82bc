#pragma once
// The paper header ("试卷标题"): the school, school year and term, class, bank, kind and
// variant in bold 黑体 14 centred; the line for name, number, time and score in 黑体 12
// with its blanks underlined; then the scoring table and two line breaks in 黑体 10.5
// (the first centred, the second left).

#include "paper/header_settings.h"

#include <QByteArray>
#include <QString>

class QTextDocument;

namespace qm::paper {

// True when one of the six texts is empty (the header cannot be built then).
bool hasEmptyField(const HeaderSettings& settings);
// The bank's name in the header: its file name (a path's directories left out) without
// its three-letter extension ("物理.TIK" gives "物理"); a name without one stays whole.
QString bankTitle(const QString& bankFileName);
// The first two lines of the header, joined by "\n":
// "A2003～2004学年第1学期\n高一(3)班《数学》期中试卷(A)卷".
QString headerTitleLines(const HeaderSettings& settings, const QString& bankFileName);

// Replaces `header` by the header for these settings, with `scoringTableRtf` (an RTF
// document) as its table.
void buildHeader(QTextDocument& header, const HeaderSettings& settings, const QString& bankFileName,
                 const QByteArray& scoringTableRtf);

// Takes the candidate line ("姓名　　学号　　考试时间…") out of the header at the top of `doc`,
// with one of the empty lines beside it: on sheets with a sealing strip the candidate writes
// those in the strip. Nothing without a header or without that line.
void removeCandidateLine(QTextDocument& doc);

// Where a paper's header ends, 0 when the document starts without one. A header is
// recognised by its scoring table: the first table of the document, standing after no more
// than the few lines of the title and the candidate line, with "题号" in its first cell.
// The empty lines that close the header after the table (at most two) belong to it.
int headerEnd(const QTextDocument& doc);
// The number of question types the header's scoring table has columns for, -1 when the
// document has no header.
int scoringTableTypes(const QTextDocument& doc);
// Replaces the header's scoring table by `tableRtf` (the table for another number of
// types); the rest of the header, edits included, stays. Nothing without a header.
void replaceScoringTable(QTextDocument& doc, const QByteArray& tableRtf);
// Puts `header` at the top of `doc` in place of the header the document has, or before its
// first line when it has none. What follows the header, edits included, stays as it is.
void placeHeader(QTextDocument& doc, const QTextDocument& header);

}  // namespace qm::paper
