#pragma once
// The bank of the manual composition window ("题库选项："): the subject, the bank file of
// that subject, the bank's particulars, and the five filters (type, chapter, unit,
// difficulty, score) that list the values the bank's questions have.

#include "bankstore/bank_file.h"
#include "composer/bank_choice.h"

#include <optional>

namespace qm {

class Form5;

class ManualBankPanel : public BankChoice {
    Q_OBJECT
public:
    explicit ManualBankPanel(Form5& form);

    QComboBox* Combo3;  // 题型
    QComboBox* Combo4;  // 章节
    QComboBox* Combo8;  // 单元
    QComboBox* Combo5;  // 难度
    QComboBox* Combo7;  // 分值
    // 使用: 全部, 未用过, or not used in the last 3, 6, 12 months ("3 个月内未用")
    QComboBox* ComboUse;

    // The questions the filters choose; nothing when the bank has no questions. The use
    // filter counts months back from today.
    std::optional<QuestionFilter> filter() const;
    // The types in a new order; the first is chosen.
    void setTypes(const QStringList& types);

public Q_SLOTS:
    // A subject chosen: its bank files are listed and the first is chosen.
    void Combo1_Click() override;
    // A bank chosen: its picks start afresh, the filters list its values, the first
    // matching question is shown.
    void Combo2_Click() override;
    // A filter chosen: the matching questions are shown.
    void Filter_Click();

private:
    // Empties the five filters.
    void clearFilters();
    // Lists the chosen bank's values in the filters, the first of each chosen; false, with
    // `error`, when the bank cannot be read.
    bool fillFilters(QString* error);
    Form5& m_form;
};

}  // namespace qm
