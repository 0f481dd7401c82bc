#pragma once
// What both composition windows start from: the subjects as the bank window lists them,
// the chosen subject's bank files, and the chosen bank's particulars. Each window's panel
// lays the controls out and says what choosing a subject or a bank does.

#include <QGroupBox>

class QComboBox;
class QLineEdit;

namespace qm {

class Workspace;

class BankChoice : public QGroupBox {
    Q_OBJECT
public:
    BankChoice(Workspace& workspace, QWidget* parent);

    QComboBox* Combo1;  // 学科: subjects, as the bank window lists them
    QComboBox* Combo2;  // 题库: the subject's bank files
    QLineEdit* Text1;   // 适用专业 (read only)
    QLineEdit* Text2;   // 适用大纲 (read only)

    // The subjects to choose from; the first is chosen. With `keepChoice` the subject and
    // bank chosen before stay chosen when they are still there (and nothing is reloaded).
    void setSubjects(const QStringList& subjects, bool keepChoice = false);
    // The chosen subject's directory and the chosen bank's path ("" when none).
    QString subjectDir() const;
    QString bankPath() const;

public Q_SLOTS:
    // A subject chosen.
    virtual void Combo1_Click() = 0;
    // A bank chosen.
    virtual void Combo2_Click() = 0;

protected:
    // Lists the chosen subject's bank files and chooses the first; false when it has none.
    bool listBanks();
    // Shows the chosen bank's 适用专业 and 适用大纲; false, with `error`, when the bank
    // cannot be read (the boxes stay empty).
    bool showParticulars(QString* error = nullptr);

private:
    Workspace& m_ws;
};

}  // namespace qm
