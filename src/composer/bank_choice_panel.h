#pragma once
// The working bank of the automatic composition window ("题库选项："): the subject, the
// bank file of that subject, and the bank's particulars. Choosing a bank loads its
// chapters as candidates and clears the chosen criteria.

#include <QGroupBox>

class QComboBox;
class QLineEdit;

namespace qm {

class Form3;

class BankChoicePanel : public QGroupBox {
    Q_OBJECT
public:
    explicit BankChoicePanel(Form3& form);

    QComboBox* Combo1;  // 学科: subjects, as the bank window lists them
    QComboBox* Combo2;  // 题库: the subject's bank files
    QLineEdit* Text1;   // 适用专业 (read only)
    QLineEdit* Text2;   // 适用大纲 (read only)
    // The bank whose chapters were loaded last; choosing it again reloads nothing.
    QString LoadedBank;

    // The subjects to choose from; the first is chosen.
    void setSubjects(const QStringList& subjects);
    // The chosen subject's directory ("" when none) and the chosen bank file ("" when none).
    QString subjectDir() const;
    QString bankPath() const;

    // The bank window follows the chosen bank, and its particulars are shown.
    void GetTiku();

public Q_SLOTS:
    // A subject chosen: its bank files are listed and the first is chosen.
    void Combo1_Click();
    // A bank chosen: unless it is the loaded one, its chapters become the candidates and
    // the chosen types, chapters, difficulties and units are cleared.
    void Combo2_Click();

private:
    Form3& m_form;
    QString m_loadedPath;
};

}  // namespace qm
