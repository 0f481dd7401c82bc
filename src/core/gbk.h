#pragma once
// Text in code page 936 (GBK): every text file the program reads or writes, and the
// byte pairs inside RTF documents.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

namespace qm {

// Decodes GBK bytes. Bytes that are not valid GBK become U+FFFD.
QString gbkDecode(QByteArrayView bytes);

// Encodes text as GBK. Returns nothing when some character has no GBK form; those
// characters (each once, in order of first appearance) go to `unencodable` if given.
std::optional<QByteArray> gbkEncode(QStringView text, QString* unencodable = nullptr);

// True when the character has a GBK form.
bool gbkCanEncode(char32_t ch);

// The GBK code of a character: its byte for a one-byte code, lead << 8 | trail for two,
// so that codes compare as the bytes do. Nothing when GBK lacks the character.
std::optional<uint16_t> gbkCode(char16_t ch);

// Whole text files in GBK. Reading fails (nullopt) only when the file cannot be read;
// writing fails when the file cannot be written or the text has characters GBK lacks
// (then nothing is written and `error` names them).
std::optional<QString> readGbkFile(const QString& path);
bool writeGbkFile(const QString& path, QStringView text, QString* error = nullptr);

}  // namespace qm
