#pragma once
// The whole-bank document of "WORD浏览所有题目": every question of a bank with its answer,
// in the bank's order, as one rich-text document for the word processor.
//
// Per question: the heading "题　　目：" on a line of its own, the question, the heading
// "参考答案：" on a new line, the answer, and an empty line. The headings are 黑体 9 points,
// bold, left-aligned; question and answer keep their own formatting and pictures.

#include <QString>
#include <functional>
#include <optional>

class QTextDocument;

namespace qm {

struct Question;

// Appends one question to the end of `doc`.
void appendQuestionToDocument(QTextDocument* doc, const Question& question);

// Appends every question of the bank at `bankPath` to `doc`. Before question i (0-based) of
// `count`, `before(i, count)` is called; when it returns false the document ends there.
// Returns the number of questions appended; nothing, with the reason in `error`, when the
// bank cannot be read. A question deleted meanwhile (by another computer) is passed over.
std::optional<int> appendBankToDocument(const QString& bankPath, QTextDocument* doc,
                                        const std::function<bool(int, int)>& before, QString* error = nullptr);

}  // namespace qm
