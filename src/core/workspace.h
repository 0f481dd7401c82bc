#pragma once
// The state the windows of one running program share: where the program, the question
// banks and the chosen subject live, and which hand-off documents are open in the word
// processor. App makes one and hands it to every
// window and to qmtool's commands; a test makes its own.
//
// Directory values always end with '/', so a file name is appended directly
// (BankRoot() + "样板学科"); an empty SubjectDir means no subject is chosen.

#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

namespace qm {

class Workspace : public QObject {
    Q_OBJECT
public:
    explicit Workspace(QObject* parent = nullptr);
    explicit Workspace(const QString& programDir, QObject* parent = nullptr);

    // The files the program ships, which every program directory starts with.
    static QStringList shippedFiles();

    // Where the program directory of a program file in `executableDir` is, made ready.
    // - The executable's own directory when it holds the shipped files and may be written:
    //   the build tree, a copy on a USB stick.
    // - Otherwise `userDataDir`, created and given the shipped files it lacks, from
    //   `shareDir` (an installed package) or else from the executable's directory (a
    //   read-only copy). What the user already has is never replaced.
    // - With the shipped files nowhere, the executable's directory as it is.
    // When the user's directory cannot be prepared, `error` says why; it is still returned.
    static QString programDirFor(const QString& executableDir, const QString& shareDir, const QString& userDataDir,
                                 QString* error = nullptr);

    // programDirFor in the installed layout: the shipped files in share/quellmark beside the
    // executable's bin directory, the user's directory $XDG_DATA_HOME/Quellmark.
    static QString programDirForExecutable(const QString& executableDir, QString* error = nullptr);

    // Copies each shipped file `dir` lacks (in any letter case) from `from`, creating `dir`.
    // A copy is writable by the user and appears whole or not at all; an existing file is
    // never replaced. False with `error` set when something could not be made.
    static bool seedProgramDir(const QString& dir, const QString& from, QString* error = nullptr);

    // The program's own directory: templates, configuration files and the local user file.
    const QString& ProgramDir() const { return m_programDir; }
    void setProgramDir(const QString& dir);

    // The question-bank root: one directory per subject, or a database's URI and '#'
    // (bankstore/places.h).
    const QString& BankRoot() const { return m_bankRoot; }
    void setBankRoot(const QString& dir);
    // True when the banks are on a database server, not in directories.
    bool banksOnServer() const { return m_bankRoot.endsWith(QLatin1Char('#')); }
    // A directory near the banks for the files the program writes for the teacher (the
    // documents handed to the word processor): the bank root, or the program directory when
    // the banks are on a server.
    QString localDir() const { return banksOnServer() ? m_programDir : m_bankRoot; }

    // The directory of the subject chosen in the bank window; "" when none is chosen.
    const QString& SubjectDir() const { return m_subjectDir; }
    void setSubjectDir(const QString& dir);

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
    QSet<QString> m_filesInWordProcessor;
    QSet<int> m_wordProfilesInUse;
};

}  // namespace qm
