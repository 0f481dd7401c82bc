#pragma once
// Reading a file that the user named (a batch file, an RTF document, a text source) whole
// into memory, safely: what is not an ordinary file or is too large is refused before a
// byte of it is read, with a message naming the file, instead of filling the memory.

#include <QByteArray>
#include <QString>
#include <optional>

namespace qm {

// The largest file read whole: far more than any batch file or document a teacher writes.
constexpr qint64 kMaxInputFileBytes = qint64(256) * 1024 * 1024;

// The file's bytes, or nothing with the reason in `error`: the file is missing or cannot
// be read, it is not an ordinary file (a directory, a device such as /dev/zero, a pipe), or
// it holds more than `maxBytes` (a file kind with a smaller sensible size gives its own
// limit). Never throws.
std::optional<QByteArray> readInputFile(const QString& path, QString* error = nullptr,
                                        qint64 maxBytes = kMaxInputFileBytes);

}  // namespace qm
