#pragma once
// A temporary program directory for tests, made from the shipped files the build placed
// beside the program, and small file helpers.

#include "core/workspace.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace qm::test {

// The build's program directory, which holds the shipped files.
QString shippedDir();

class TempProgramDir {
public:
    // A fresh temporary directory, the ProgramDir of `workspace`, holding every shipped
    // file and the user guide (or none).
    explicit TempProgramDir(bool withShippedFiles = true);
    // The same with only the named shipped files.
    explicit TempProgramDir(const QStringList& shippedFiles);
    // The directory, ending with '/'.
    QString path() const;
    QString file(const QString& name) const { return path() + name; }

    // The workspace of a program running from this directory.
    Workspace workspace;

private:
    QTemporaryDir m_dir;
};

QByteArray readAll(const QString& path);
bool writeAll(const QString& path, const QByteArray& bytes);

}  // namespace qm::test
