#pragma once
// Code pages of RTF text: which code page a font character set or a document declares,
// decoding \'hh bytes in it, and the symbol fonts whose bytes stand for pictograms.

#include <QByteArrayView>
#include <QString>

#include <map>
#include <memory>
#include <optional>

class QStringDecoder;

namespace qm::rtf {

// Fonts whose bytes are pictograms rather than letters of a code page.
enum class SymbolFont : uint8_t { None, Symbol, Wingdings, Webdings, Dingbats };

// The symbol font a font table entry names (by its name; the character set alone does
// not tell which table its bytes follow).
SymbolFont symbolFontOf(const QString& name);

// The character of a symbol font at byte `b`; 0 where the font has none.
char32_t symbolChar(SymbolFont font, uint8_t b);

// Code page of a font character set (\fcharsetN); 0 when the set names none (the
// document's code page applies).
int charsetCodepage(int charset);

// True for bytes that read as GBK Chinese: every byte from 0x80 up is the first of a
// valid pair, and at least one pair lies in the common GB2312 range or holds a byte that
// Windows-1252 leaves unused (0x81 0x8D 0x8F 0x90 0x9D). Western bytes such as
// "\'93hi\'94" or "Gr\'fc\'dfe" do not pass. With `chineseDocument` set, every run of
// valid pairs passes: the rest of the document shows that it is Chinese, and a rare
// character whose second byte is a letter ("\'b0A", 癆) is then not "°A".
bool looksLikeGbk(QByteArrayView bytes, bool chineseDocument = false);

// True when an RTF document holds GBK text of the common GB2312 range, as two bytes
// written one after the other ("\'d6\'d0", or the bytes themselves in an 8-bit file).
bool hasCommonGbkPairs(QByteArrayView rtf);

// Turns bytes into text in a given code page, keeping one converter per code page.
class Decoder {
public:
    Decoder();
    ~Decoder();
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    // `codepage` 0 is a document that declares none: Windows-1252, or GBK for bytes that
    // look like it when `gbkGuess` is set.
    QString decode(QByteArrayView bytes, int codepage, bool gbkGuess = false);
    // The whole document the bytes come from, which the guess looks through for Chinese
    // text (hasCommonGbkPairs) when it first needs to; it must outlive the decoding.
    void setDocument(QByteArrayView rtf) { document_ = rtf; }
    // The text of symbol-font bytes.
    static QString decodeSymbols(QByteArrayView bytes, SymbolFont font);

private:
    QStringDecoder* converter(int codepage);
    std::map<int, std::unique_ptr<QStringDecoder>> converters_;
    QByteArrayView document_;
    std::optional<bool> chineseDocument_;
};

}  // namespace qm::rtf
