#pragma once
// The small file routines the windows share.

#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace qm {

class Prompt;

// Creates one directory level; every failure (it exists, the parent is missing) is ignored.
void Md(const QString& dir);

// Error numbers of Rd.
constexpr int kErrPathFileAccess = 75;  // the directory holds files or cannot be removed
constexpr int kErrPathNotFound = 76;    // there is no such directory

// Removes an empty directory. Returns 0 when it was removed, else an error number.
int Rd(const QString& dir);

// Compares names by their GBK bytes, which puts common hanzi in pinyin order.
bool gbkLess(const QString& a, const QString& b);
QStringList sortedByGbk(QStringList names);

// The names of the files in `dir` matching the wildcard `pattern` without regard to letter
// case ("*.tik" also gives "样本.TIK"), in GBK order.
QStringList filesMatching(const QString& dir, const QString& pattern);
// The same choice and order of a list of names from elsewhere (banks on a server).
QStringList namesMatching(const QStringList& names, const QString& pattern);
// The names of the subdirectories of `dir`, hidden ones (".git") left out, in GBK order.
QStringList subdirectoryNames(const QString& dir);

// Copies a file, replacing the destination without asking. Failures are ignored by the
// callers; the result says whether the copy happened. The destination is replaced in one
// step, so a failed copy leaves the old destination whole.
bool filecopyZZ(const QString& source, const QString& destination);

// Writes `bytes` as the whole new content of `path`, replacing the file only once
// everything is written and flushed: a failure leaves the old file as it was. Only an
// ordinary file or a new name is written (see core/output_file.h).
bool replaceFile(const QString& path, QByteArrayView bytes);

// Deletes a file, ignoring every failure.
void KillFile(const QString& path);

// Results of CopyFileWithPrompt.
constexpr int kCopyDone = 0;         // the destination holds an exact copy
constexpr int kCopySourceEmpty = 1;  // the source has 0 bytes; nothing written
constexpr int kCopyDeclined = -1;    // the user would not overwrite; nothing written
constexpr int kCopyFailed = 2;       // a file error; nothing written

// Whole-file copy that asks "文件已存在，是否覆盖？" before replacing a destination with
// content. Source and destination may be the same file.
int CopyFileWithPrompt(Prompt& prompt, const QString& source, const QString& destination);

}  // namespace qm
