#pragma once
// The order of a bank's questions after "题库按章节排序": grouped by chapter in the order of
// the bank's chapter list.

#include <QList>
#include <QStringList>

namespace qm::import {

// Positions into `questionChapters` (the chapter of each question, in row order) in their
// new order: the questions of each listed chapter in list order, each group in its
// current order; then the questions whose chapter is in no entry of the list, in their
// current order, so that none is lost. A chapter listed twice is grouped once, at its
// first place. Chapter names are compared exactly.
QList<qsizetype> chapterSortOrder(const QStringList& questionChapters, const QStringList& chapterList);

}  // namespace qm::import
