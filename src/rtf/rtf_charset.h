#pragma once
// Code pages of RTF text: which code page a font character set or a document declares,
// decoding \'hh bytes in it, and the symbol fonts whose bytes stand for pictograms.

#include <QByteArrayView>
#include <QString>

#include <map>
#include <memory>

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
// valid pair, and at least one pair lies in the common GB2312 range. Western bytes such
// as "\'93hi\'94" or "Gr\'fc\'dfe" do not pass.
bool looksLikeGbk(QByteArrayView bytes);

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
    // The text of symbol-font bytes.
    static QString decodeSymbols(QByteArrayView bytes, SymbolFont font);

private:
    QStringDecoder* converter(int codepage);
    std::map<int, std::unique_ptr<QStringDecoder>> converters_;
};

}  // namespace qm::rtf
