#pragma once
// The bank of the manual composition window ("题库选项："): the subject, the bank file of
// that subject, the bank's particulars, and the five filters (type, chapter, unit,
// difficulty, score) that list the values the bank's questions have.

#include "bankstore/bank_file.h"

#include <QGroupBox>
#include <optional>

class QComboBox;
class QLineEdit;

namespace qm {

class Form5;

class ManualBankPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit ManualBankPanel(Form5& form);

    QComboBox* Combo1;  // 学科: subjects, as the bank window lists them
    QComboBox* Combo2;  // 题库: the subject's bank files
    QLineEdit* Text1;   // 适用专业 (read only)
    QLineEdit* Text2;   // 适用大纲 (read only)
    QComboBox* Combo3;  // 题型
    QComboBox* Combo4;  // 章节
    QComboBox* Combo8;  // 单元
    QComboBox* Combo5;  // 难度
    QComboBox* Combo7;  // 分值

    // The subjects to choose from; the first is chosen.
    void setSubjects(const QStringList& subjects);
    // The chosen subject's directory and the chosen bank's path ("" when none).
    QString subjectDir() const;
    QString bankPath() const;
    // The questions the filters choose; nothing when the bank has no questions.
    std::optional<QuestionFilter> filter() const;
    // The types in a new order; the first is chosen.
    void setTypes(const QStringList& types);

public Q_SLOTS:
    // A subject chosen: its bank files are listed and the first is chosen.
    void Combo1_Click();
    // A bank chosen: its picks start afresh, the filters list its values, the first
    // matching question is shown.
    void Combo2_Click();
    // A filter chosen: the matching questions are shown.
    void Filter_Click();

private:
    // Empties the five filters.
    void clearFilters();
    Form5& m_form;
};

}  // namespace qm
