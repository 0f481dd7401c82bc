// libFuzzer target: the header settings file (JuanMian.cfg), read as the composition windows
// and qmtool read it. Nothing may crash or hang, and reading never takes garbage for
// settings without a word:
// - arbitrary bytes are refused with a reason, or what is read holds no control characters
//   and no bytes that were not text, and came from a file with a #TRUE#/#FALSE# for each
//   option (or from a blank file, which leaves the settings as they were); settings that
//   were read and can be written read back the same;
// - the bytes also serve as the texts of settings, which are refused with a reason or are
//   written and read back the same, in every form other editors save the file in.

#include "core/gbk.h"
#include "paper/header_settings.h"

#include <QByteArray>
#include <QStringDecoder>

#include <cstdint>
#include <cstdlib>

using namespace qm;
using namespace qm::paper;

namespace {

void require(bool ok)
{
    if (!ok)
        std::abort();
}

QStringList textsOf(const HeaderSettings& s)
{
    return {s.firstYear, s.secondYear, s.term, s.className, s.minutes, s.school};
}

// No control character but the tab, and no character that stands for bytes that were no text.
bool clean(const QString& text)
{
    for (const QChar c : text)
        if ((c.unicode() < 0x20 && c != u'\t') || c.unicode() == 0x7F || c == QChar::ReplacementCharacter)
            return false;
    return true;
}

// The file as text, enough to see its ASCII: UTF-16 by its mark, else byte by byte after
// a UTF-8 mark.
QString looseText(QByteArrayView bytes)
{
    const auto keepMarks = QStringConverter::Flag::ConvertInitialBom;
    if (bytes.startsWith("\xFF\xFE"))
        return QStringDecoder(QStringConverter::Utf16LE, keepMarks).decode(bytes.sliced(2));
    if (bytes.startsWith("\xFE\xFF"))
        return QStringDecoder(QStringConverter::Utf16BE, keepMarks).decode(bytes.sliced(2));
    return QString::fromLatin1(bytes.startsWith("\xEF\xBB\xBF") ? bytes.sliced(3) : bytes);
}

int optionTokens(const QString& text)
{
    const QString upper = text.toUpper();
    return int(upper.count(QStringLiteral("#TRUE#")) + upper.count(QStringLiteral("#FALSE#")));
}

// Blank lines, blanks and an old editor's Ctrl-Z only.
bool blank(const QString& text)
{
    for (const QChar c : text)
        if (c != u' ' && c != u'\t' && c != u'\r' && c != u'\n' && c.unicode() != 0x1A)
            return false;
    return true;
}

bool validUtf8(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    (void)utf8.decode(bytes);
    return !utf8.hasError();
}

QByteArray utf16(const QString& text, bool little)
{
    QByteArray out(little ? "\xFF\xFE" : "\xFE\xFF");
    for (const QChar c : text) {
        const char high = char(c.unicode() >> 8), low = char(c.unicode() & 0xFF);
        out += little ? low : high;
        out += little ? high : low;
    }
    return out;
}

void readArbitraryBytes(QByteArrayView input)
{
    QString error;
    const std::optional<HeaderSettings> read = parseSettings(input, {}, &error);
    if (!read) {
        require(!error.isEmpty());
        return;
    }
    for (const QString& text : textsOf(*read))
        require(clean(text));
    const QString loose = looseText(input);
    if (optionTokens(loose) < 7)
        require(blank(loose) && *read == HeaderSettings());
    if (const std::optional<QByteArray> bytes = settingsBytes(*read))
        require(parseSettings(*bytes) == read);
}

// Settings whose texts are the input's, separated by '|'; the first two bytes choose the
// kind and the variant.
HeaderSettings settingsOf(QByteArrayView input)
{
    HeaderSettings s;
    if (input.size() >= 2) {
        s.kind = ExamKind(uchar(input[0]) % 5);
        s.variant = Variant(uchar(input[1]) % 3);
        input = input.sliced(2);
    }
    const QStringList parts = gbkDecode(input).split(QLatin1Char('|'));
    QString* texts[] = {&s.firstYear, &s.secondYear, &s.term, &s.className, &s.minutes, &s.school};
    for (qsizetype i = 0; i < std::min<qsizetype>(parts.size(), 6); ++i)
        *texts[i] = parts[i];
    return s;
}

void writeAndReadBack(QByteArrayView input)
{
    const HeaderSettings s = settingsOf(input);
    QString why;
    const std::optional<QByteArray> file = settingsBytes(s, &why);
    if (!file) {
        require(!why.isEmpty());
        return;
    }
    const QString text = gbkDecode(*file);
    QList<QByteArray> forms{"\xEF\xBB\xBF" + text.toUtf8(), utf16(text, true), utf16(text, false)};
    // GBK that is also valid UTF-8 may be taken for UTF-8 of Chinese text, which editors
    // save without a mark: only such files are ambiguous.
    if (!validUtf8(*file)) {
        QString commas = text;
        commas.replace(QStringLiteral("\r\n"), QStringLiteral(","));
        commas.chop(1);
        forms << *file << *file + "\r\n" << *file + "\x1A" << *file + "\r\n\r\n\x1A" << *gbkEncode(commas);
    }
    for (const QByteArray& form : forms) {
        QString error;
        require(parseSettings(form, {}, &error) == s);
        require(error.isEmpty());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char*>(data), qsizetype(size));
    readArbitraryBytes(input);
    writeAndReadBack(input);
    return 0;
}
