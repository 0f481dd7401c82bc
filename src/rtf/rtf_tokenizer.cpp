#include "rtf/rtf_tokenizer.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace qm::rtf {

namespace {

// Longest control word kept; longer ones are cut (no real word comes near).
constexpr size_t kMaxWord = 32;

inline int hexValue(uint8_t c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

inline bool isAlpha(uint8_t c)
{
    return (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
}
inline bool isDigit(uint8_t c)
{
    return c >= '0' && c <= '9';
}

}  // namespace

Tokenizer::Tokenizer(QByteArrayView in)
    : begin_(reinterpret_cast<const uint8_t*>(in.data())), p_(begin_), end_(p_ + in.size())
{}

void Tokenizer::skipToGroup()
{
    while (p_ < end_ && *p_ != '{')
        ++p_;
}

namespace {

// True when `p` starts a complete \'hh escape.
inline bool isHexEscape(const uint8_t* p, const uint8_t* end)
{
    return end - p >= 4 && p[0] == '\\' && p[1] == '\'' && hexValue(p[2]) >= 0 && hexValue(p[3]) >= 0;
}

}  // namespace

Token Tokenizer::next()
{
    Token t;
    for (;;) {
        while (p_ < end_ && (*p_ == '\r' || *p_ == '\n'))
            ++p_;
        if (p_ >= end_)
            return t;
        const uint8_t c = *p_;
        if (c == '{' || c == '}') {
            ++p_;
            t.kind = c == '{' ? Token::GroupOpen : Token::GroupClose;
            return t;
        }
        if (c != '\\') {
            // Plain text: the whole stretch up to the next special character at once.
            const uint8_t* s = p_;
            while (p_ < end_ && *p_ != '\\' && *p_ != '{' && *p_ != '}' && *p_ != '\r' && *p_ != '\n')
                ++p_;
            t.kind = Token::Text;
            t.text = std::string_view(reinterpret_cast<const char*>(s), size_t(p_ - s));
            return t;
        }
        if (p_ + 1 >= end_) {
            ++p_;  // a lone backslash at the end
            return t;
        }
        const uint8_t first = p_[1];
        if (isAlpha(first))
            return word();
        if (first != '\'') {
            p_ += 2;
            t.kind = Token::Symbol;
            t.symbol = first;
            return t;
        }
        if (!isHexEscape(p_, end_)) {
            p_ += 2;  // a broken \' escape stands for nothing; what follows is read as usual
            continue;
        }
        // \'hh escapes usually come in runs (every byte of text in a code page that is not
        // ASCII): they are taken together, line ends between them included.
        size_t n = 0;
        do {
            bytes_[n++] = char(hexValue(p_[2]) << 4 | hexValue(p_[3]));
            p_ += 4;
            while (p_ < end_ && (*p_ == '\r' || *p_ == '\n'))
                ++p_;
        } while (n < sizeof bytes_ && isHexEscape(p_, end_));
        t.kind = Token::Bytes;
        t.bytes = std::string_view(bytes_, n);
        return t;
    }
}

Token Tokenizer::word()
{
    Token t;
    ++p_;  // backslash
    const uint8_t* s = p_;
    while (p_ < end_ && isAlpha(*p_))
        ++p_;
    t.kind = Token::Word;
    t.word = std::string_view(reinterpret_cast<const char*>(s), std::min<size_t>(size_t(p_ - s), kMaxWord));
    bool negative = false;
    if (p_ + 1 < end_ && *p_ == '-' && isDigit(p_[1])) {
        negative = true;
        ++p_;
    }
    long long value = 0;
    while (p_ < end_ && isDigit(*p_)) {
        t.hasParam = true;
        if (value <= INT_MAX)
            value = value * 10 + (*p_ - '0');
        ++p_;
    }
    if (p_ < end_ && *p_ == ' ')
        ++p_;
    value = std::min<long long>(value, INT_MAX);
    t.param = int(negative ? -value : value);
    return t;
}

void Tokenizer::skipGroup()
{
    int depth = 1;
    while (p_ < end_) {
        const uint8_t c = *p_++;
        if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (--depth == 0) {
                --p_;  // the closing brace is returned by next()
                return;
            }
        } else if (c == '\\' && p_ < end_) {
            if (end_ - p_ > 3 && std::memcmp(p_, "bin", 3) == 0 && !isAlpha(p_[3])) {
                p_ += 3;
                long long n = 0;
                while (p_ < end_ && isDigit(*p_)) {
                    if (n < (1LL << 40))
                        n = n * 10 + (*p_ - '0');
                    ++p_;
                }
                if (p_ < end_ && *p_ == ' ')
                    ++p_;
                p_ += std::min<long long>(n, end_ - p_);
            } else {
                ++p_;
            }
        }
    }
}

std::string_view Tokenizer::takeBinary(long long n)
{
    const long long count = std::clamp<long long>(n, 0, end_ - p_);
    const std::string_view data(reinterpret_cast<const char*>(p_), size_t(count));
    p_ += count;
    return data;
}

}  // namespace qm::rtf
