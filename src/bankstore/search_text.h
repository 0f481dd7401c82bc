#pragma once
// The searchable text of a question: the folded plain text (core/text_fold.h) of the
// question, a line end, and that of its answer, kept as UTF-8 in the table 检索 of a bank.
// Folding turns every white space into a space, so the line end only ever separates the
// two, and a search word (which holds no white space) never spans it.

#include <QByteArrayView>
#include <QString>

namespace qm {

QString searchTextOf(QByteArrayView question, QByteArrayView answer);

// The question part and the answer part of a searchable text.
QStringView questionPart(QStringView searchText);
QStringView answerPart(QStringView searchText);

}  // namespace qm
