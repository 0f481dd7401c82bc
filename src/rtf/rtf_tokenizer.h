#pragma once
// Splits RTF bytes into tokens: group braces, control words with their parameter,
// control symbols, \'hh bytes and stretches of plain text. Knows nothing of what the
// words mean; the reader asks it to skip a group or to hand over \bin data.

#include <QByteArrayView>

#include <cstdint>
#include <string_view>

namespace qm::rtf {

struct Token {
    enum Kind : uint8_t {
        End,         // no input left
        GroupOpen,   // {
        GroupClose,  // }
        Word,        // \word or \wordN: `word`, `hasParam`, `param`
        Symbol,      // \x for a non-letter x (\\, \{, \~, \*, ...): `symbol`
        Bytes,       // \'hh, several in a row: `bytes`
        Text,        // plain text up to the next brace, backslash or line end: `text`
    };
    Kind kind = End;
    bool hasParam = false;
    uint8_t symbol = 0;
    int param = 0;  // clamped to the range of int
    std::string_view word;
    std::string_view text;
    std::string_view bytes;  // points into the tokenizer, valid until the next call
};

class Tokenizer {
public:
    explicit Tokenizer(QByteArrayView in);

    // The next token; End at the end of the input.
    Token next();

    // Jumps to the closing brace of the group the last token is in, which the next call
    // to next() returns. Escaped braces and \bin data do not count.
    void skipGroup();

    // The `n` bytes after a \binN word (fewer at the end of the input).
    std::string_view takeBinary(long long n);

    // Skips to the first "{" (bytes before a document's start are not part of it).
    void skipToGroup();

    // How far the input has been read, in bytes from its start.
    qsizetype offset() const { return qsizetype(p_ - begin_); }

private:
    Token word();

    const uint8_t* begin_;
    const uint8_t* p_;
    const uint8_t* end_;
    char bytes_[64];  // the bytes of the last \'hh run
};

}  // namespace qm::rtf
