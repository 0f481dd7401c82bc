#pragma once
// Path helpers. File names are compared without regard to letter case, as the data
// directories may have been written by hand or on another system.

#include <QString>

namespace qm {

// `dir` with exactly one trailing '/' added when it has none.
QString withTrailingSep(const QString& dir);

// True when both names are the same file name without regard to letter case.
bool sameFileName(const QString& a, const QString& b);

// The existing entry of `dir` whose name equals `name` without regard to case, as a full
// path; when none exists, `dir` + `name` as given. Lets "TIKU" find "tiku".
QString resolveNoCase(const QString& dir, const QString& name);

// True when the file name ends with `ext` (".tik") without regard to case.
bool hasExtensionNoCase(const QString& fileName, const QString& ext);

// True when `name` can be the name of a file or directory on every system the data may be
// shared with: not empty, not "." or "..", no control characters and none of \ / : * ? " < > |.
bool isValidFileName(const QString& name);

}  // namespace qm
