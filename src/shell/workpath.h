#pragma once
// The saved work path and the test that makes a directory a usable work path.

#include <QString>

namespace qm {

// The settings file of the work path, in the program directory.
inline constexpr char16_t kWorkPathFile[] = u"workpath.cfg";
// The user file; its presence makes a directory a valid work path.
inline constexpr char16_t kUserFile[] = u"tiku.psw";
// The directory below the work path (or the program directory) that holds the subjects.
inline constexpr char16_t kBankDirName[] = u"tiku";
// The sample subject and the sample bank copied into it at every start.
inline constexpr char16_t kSampleSubject[] = u"样板学科";
inline constexpr char16_t kSampleBank[] = u"题库样本－生物.TIK";
inline constexpr char16_t kSampleSource[] = u"sample.tik";
// The sample plan for the sample bank, shipped beside it and copied next to it at every start.
inline constexpr char16_t kSamplePlan[] = u"样例方案.faa";

// The saved work path as written, without a trailing separator added: "" when no work path
// was ever set (no file, an empty file, or an empty value). Creates nothing.
QString savedWorkPath(const QString& programDir);

// Reads the saved work path: creates the file empty when missing, reads its first field
// (an empty file gives ""), and appends the trailing separator to a directory (a database's
// URI, postgresql://…, is kept as written).
QString readWorkPath(const QString& programDir);

// Writes the work path as one quoted line, replacing the file.
bool writeWorkPath(const QString& programDir, const QString& workPath, QString* error = nullptr);

// True when the directory holds a user file (any letter case). False for a missing or
// unreadable directory. A database's URI is a work path when the program's tables are there
// (qmtool server-init made them) and it can be reached.
bool hasUserFile(const QString& dir);

// The work path as the work-path box should hold it: a directory with its trailing separator,
// a database's URI as written.
QString workPathForm(const QString& path);

// The bank root of the work path `workPath`: its tiku directory, or the database's root.
QString bankRootOf(const QString& workPath);

}  // namespace qm
