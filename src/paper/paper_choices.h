#pragma once
// The teacher's choices for how papers are laid out, beside the header settings: the score
// labels, the form of the answers, and the blank lines left for answering after each
// question of a type. They are kept in "JuanMianXuanXiang.cfg" in the program directory,
// so that "JuanMian.cfg" keeps the 13 lines other installations read.
//
// The file is GBK text, a line for each choice ("名称=值", ended by CR LF):
//   分值标注=百分比 | 分数
//   答案=答卷 | 参考答案
//   答题空行=简答题,5            (one line for each type with blank lines)
//   版式=a4 | a4-seal | a3 | a3-seal
// Lines it does not know and values of the wrong form are passed over.

#include "paper/layout.h"

#include <QMap>
#include <QString>
#include <optional>

namespace qm::paper {

// How scores are shown: "一、单选题(20%)" and "1.(2%)", or "一、单选题（每小题2分，共20分）"
// and "1．".
enum class ScoreLabels { Percent, Points };
// The answers: the whole paper with "答:" and each answer, or a key of the answers alone.
enum class AnswerForm { Sheet, Key };

// The most blank lines one question may have after it.
constexpr int kMaxAnswerLines = 40;

struct PaperChoices {
    ScoreLabels scores = ScoreLabels::Percent;
    AnswerForm answers = AnswerForm::Sheet;
    // Blank lines after each question, by question type; a type not named has none.
    QMap<QString, int> answerLines;
    // The sheets the paper is printed on.
    PaperLayout layout = PaperLayout::A4;

    int linesAfter(const QString& type) const { return answerLines.value(type, 0); }
    bool operator==(const PaperChoices&) const = default;
};

// The file's name in the program directory.
inline const QString kPaperChoicesFile = QStringLiteral("JuanMianXuanXiang.cfg");

// The choices a file holds; the defaults for a missing or unreadable file.
PaperChoices loadChoices(const QString& path);
// Writes the file whole; false, with `error`, when it cannot be written.
bool saveChoices(const QString& path, const PaperChoices& choices, QString* error = nullptr);

}  // namespace qm::paper
