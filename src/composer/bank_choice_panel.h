#pragma once
// The working bank of the automatic composition window ("题库选项："): the subject, the
// bank file of that subject, and the bank's particulars. Choosing a bank loads its
// chapters as candidates and clears the chosen criteria.

#include "composer/bank_choice.h"

namespace qm {

class Form3;

class BankChoicePanel : public BankChoice {
    Q_OBJECT
public:
    explicit BankChoicePanel(Form3& form);

    // The bank whose chapters were loaded last; choosing it again reloads nothing.
    QString LoadedBank;

    // The bank window follows the chosen bank, and its particulars are shown.
    void GetTiku();

public Q_SLOTS:
    // A subject chosen: its bank files are listed and the first is chosen.
    void Combo1_Click() override;
    // A bank chosen: unless it is the loaded one, its chapters become the candidates and
    // the chosen types, chapters, difficulties and units are cleared.
    void Combo2_Click() override;

private:
    Form3& m_form;
    QString m_loadedPath;
};

}  // namespace qm
