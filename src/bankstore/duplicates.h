#pragma once
// Finding questions that are the same or nearly the same among a bank's searchable texts
// (bankstore/search_text.h).
//
// Two questions are the same when their folded question texts and answers are equal, spaces
// left out (Chinese text needs none, so one more or less changes nothing). They
// are nearly the same when the sets of three-character pieces (trigrams) of their question
// texts share at least `similarity` of their union (Jaccard similarity): a changed digit
// in a question of 150 characters changes three of them, about 0.96. Questions with the
// same question text and different answers compare by their answers the same way.
// Questions without question text (a picture alone) are not compared.
//
// All pairs at a similarity of 0.5 or more are found without comparing every pair: each
// text's trigrams are ordered rarest first, and two texts can only reach the similarity
// when the first few of their trigrams in that order (the prefix) share one, so only texts
// sharing a prefix trigram are compared.

#include <QList>
#include <QString>
#include <utility>

namespace qm {

struct DuplicatePair {
    qint64 first = 0;  // the lower 编号
    qint64 second = 0;
    double similarity = 1;  // 1 for the same texts

    bool operator==(const DuplicatePair&) const = default;
};

// What two searchable texts that are the same have in common: the text without spaces;
// empty for a question without question text, which is not compared.
QString sameTextKey(QStringView searchText);

// The similarity of two searchable texts, 0 to 1, as described above.
double textSimilarity(QStringView a, QStringView b);

// Every pair of `texts` (编号, searchable text) that is the same or at least `similarity`
// alike (clamped to 0.5 … 1): the same ones first, by 编号, then the near ones, most alike
// first. Of a group of equal texts only the first is compared with the others.
QList<DuplicatePair> findDuplicates(const QList<std::pair<qint64, QString>>& texts, double similarity);

}  // namespace qm
