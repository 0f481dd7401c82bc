#include "core/gbk.h"

#include "core/fileops.h"

#include <QFile>
#include <QStringDecoder>
#include <array>
#include <memory>

namespace qm {

namespace {

// Lookup tables built once from the system converter: decoding a double-byte code and
// encoding a character become one array access, which the RTF reader and writer need.
struct GbkTables {
    // Double-byte code (lead << 8 | trail) -> character; 0 when the pair means nothing.
    std::array<char16_t, 65536> decode{};
    // Character -> its GBK bytes: < 0x100 one byte, else lead << 8 | trail; 0 = none.
    std::array<uint16_t, 65536> encode{};
    // Single bytes 0x80..0xFF that stand for a character of their own (0x80 is the euro sign).
    std::array<char16_t, 128> single{};

    GbkTables()
    {
        for (int c = 0; c < 0x80; ++c)
            encode[c] = uint16_t(c);
        for (int lead = 0x80; lead <= 0xFF; ++lead) {
            QStringDecoder one("GBK");
            const char b = char(lead);
            const QString s = one.decode(QByteArrayView(&b, 1));
            if (!one.hasError() && s.size() == 1 && s[0] != QChar(0xFFFD) && s[0] != QChar(u'?')
                && !(s[0].unicode() >= 0xE000 && s[0].unicode() <= 0xF8FF)) {
                single[lead - 0x80] = s[0].unicode();
                if (!encode[s[0].unicode()])
                    encode[s[0].unicode()] = uint16_t(lead);
            }
        }
        QStringDecoder dec("GBK");
        for (int lead = 0x81; lead <= 0xFE; ++lead) {
            for (int trail = 0x40; trail <= 0xFE; ++trail) {
                if (trail == 0x7F)
                    continue;
                const char pair[2] = {char(lead), char(trail)};
                const QString s = dec.decode(QByteArrayView(pair, 2));
                if (dec.hasError()) {
                    dec = QStringDecoder("GBK");
                    continue;
                }
                if (s.size() != 1 || s[0] == QChar(0xFFFD) || s[0].isSurrogate())
                    continue;
                // Private-use mappings of unassigned codes are not text anyone typed.
                if (s[0].unicode() >= 0xE000 && s[0].unicode() <= 0xF8FF)
                    continue;
                const uint16_t code = uint16_t(lead << 8 | trail);
                decode[code] = s[0].unicode();
                if (!encode[s[0].unicode()])
                    encode[s[0].unicode()] = code;
            }
        }
    }
};

const GbkTables& tables()
{
    static const std::unique_ptr<GbkTables> t = std::make_unique<GbkTables>();
    return *t;
}

}  // namespace

QString gbkDecode(QByteArrayView bytes)
{
    const GbkTables& t = tables();
    QString out;
    out.resize(bytes.size());
    char16_t* o = reinterpret_cast<char16_t*>(out.data());
    qsizetype n = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size; ++i) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            o[n++] = b;
            continue;
        }
        if (b >= 0x81 && b <= 0xFE && i + 1 < size) {
            const char16_t c = t.decode[b << 8 | p[i + 1]];
            if (c) {
                o[n++] = c;
                ++i;
                continue;
            }
        }
        const char16_t s = t.single[b - 0x80];
        o[n++] = s ? s : char16_t(0xFFFD);
    }
    out.truncate(n);
    return out;
}

bool gbkCanEncode(char32_t ch)
{
    return ch < 0x10000 && (ch == 0 || tables().encode[ch] != 0);
}

std::optional<uint16_t> gbkCode(char16_t ch)
{
    const uint16_t code = tables().encode[ch];
    if (ch != 0 && (code == 0 || QChar::isSurrogate(ch)))
        return std::nullopt;
    return code;
}

std::optional<QByteArray> gbkEncode(QStringView text, QString* unencodable)
{
    const GbkTables& t = tables();
    QByteArray out;
    out.reserve(text.size() * 2);
    bool ok = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const uint16_t code = t.encode[c];
        if (c == 0 || (code && !QChar::isSurrogate(c))) {
            if (code < 0x100) {
                out.append(char(code));
            } else {
                out.append(char(code >> 8));
                out.append(char(code & 0xFF));
            }
            continue;
        }
        ok = false;
        if (!unencodable)
            return std::nullopt;
        QString bad(text[i]);
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            bad += text[++i];
        if (!unencodable->contains(bad))
            *unencodable += bad;
    }
    if (!ok)
        return std::nullopt;
    return out;
}

std::optional<QString> readGbkFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    return gbkDecode(f.readAll());
}

bool writeGbkFile(const QString& path, QStringView text, QString* error)
{
    QString bad;
    const std::optional<QByteArray> bytes = gbkEncode(text, &bad);
    if (!bytes) {
        if (error)
            *error = QStringLiteral("以下字符无法以GBK保存：") + bad;
        return false;
    }
    if (!replaceFile(path, *bytes)) {
        if (error)
            *error = QStringLiteral("无法写入文件：") + path;
        return false;
    }
    return true;
}

}  // namespace qm
