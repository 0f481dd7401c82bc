#pragma once
// What the bank root of a work path holds, wherever it is kept: the subjects, and the banks
// and paper libraries of each subject.
//
// A root of files is a directory ("/srv/题库/"), a subject one of its subdirectories. A root
// on a database server is the database's URI followed by '#' ("postgresql://host/db#"): a
// subject is then "URI#学科/" and a bank "URI#学科/名称.TIK", the paths BankFile and
// PaperLibrary take (bankstore/server_store.h). So a window makes its paths alike for both:
// root + subject + '/' + name.

#include <QString>
#include <QStringList>
#include <optional>

namespace qm::places {

// The root of a work path that names a database (postgresql://…): the URI and '#'.
QString serverRoot(const QString& uri);

// The subjects under `root`, in GBK order; nothing, with a message, when they cannot be read.
std::optional<QStringList> subjects(const QString& root, QString* error = nullptr);

// The names of the banks or libraries of the subject `subjectDir` (root + subject + '/')
// matching the wildcard `pattern` ("*.tik", "*.juk") without regard to letter case, in GBK
// order. On a server only banks and libraries are kept; a root of files lists any file.
std::optional<QStringList> entries(const QString& subjectDir, const QString& pattern, QString* error = nullptr);

// entries() for a list control, which shows nothing of a place that cannot be read.
QStringList listed(const QString& subjectDir, const QString& pattern);

// Makes the subject `name` under `root`; true when it is there afterwards.
bool makeSubject(const QString& root, const QString& name, QString* error = nullptr);

// Removes the subject `name` when it holds nothing.
enum class Removal { Removed, NotEmpty, Failed };
Removal removeSubject(const QString& root, const QString& name, QString* error = nullptr);

// Renames the subject `from` to `to` with everything it holds, all or nothing.
bool renameSubject(const QString& root, const QString& from, const QString& to, QString* error = nullptr);

}  // namespace qm::places
