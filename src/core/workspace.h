#pragma once
// The state the windows of one running program share: where the program, the question
// banks and the chosen subject live, which window asked for the paper library, and which
// hand-off documents are open in the word processor. App makes one and hands it to every
// window and to qmtool's commands; a test makes its own.
//
// Directory values always end with '/', so a file name is appended directly
// (BankRoot() + "样板学科"); an empty SubjectDir means no subject is chosen.

#include <QObject>
#include <QSet>
#include <QString>

namespace qm {

class Workspace : public QObject {
    Q_OBJECT
public:
    explicit Workspace(QObject* parent = nullptr);
    explicit Workspace(const QString& programDir, QObject* parent = nullptr);

    // The program's own directory: templates, configuration files and the local user file.
    const QString& ProgramDir() const { return m_programDir; }
    void setProgramDir(const QString& dir);

    // The question-bank root: one directory per subject.
    const QString& BankRoot() const { return m_bankRoot; }
    void setBankRoot(const QString& dir);

    // The directory of the subject chosen in the bank window; "" when none is chosen.
    const QString& SubjectDir() const { return m_subjectDir; }
    void setSubjectDir(const QString& dir);

    // Which window opened the paper library ("3": automatic composition, "5": manual).
    const QString& CallerCode() const { return m_callerCode; }
    void setCallerCode(const QString& code) { m_callerCode = code; }

    // Hand-off files now open in the word processor for a round trip (keys of their
    // paths), so a second round trip does not overwrite a file the user is editing, and
    // the numbers of the word processor's profiles those round trips use.
    QSet<QString>& filesInWordProcessor() { return m_filesInWordProcessor; }
    QSet<int>& wordProfilesInUse() { return m_wordProfilesInUse; }

Q_SIGNALS:
    // Another subject was chosen (or none: "").
    void subjectDirChanged(const QString& dir);

private:
    QString m_programDir;
    QString m_bankRoot;
    QString m_subjectDir;
    QString m_callerCode;
    QSet<QString> m_filesInWordProcessor;
    QSet<int> m_wordProfilesInUse;
};

}  // namespace qm
