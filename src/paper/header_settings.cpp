#include "paper/header_settings.h"

#include "core/delimited.h"
#include "core/gbk.h"
#include "core/input_file.h"

#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>
#include <array>

namespace qm::paper {

namespace {

// A settings file is 13 short lines; anything far larger is not one.
constexpr qint64 kMaxSettingsBytes = 1 << 20;

constexpr int kTexts = 6;
constexpr int kItems = 13;

// The six texts in file order, with the names the settings panel gives them.
struct TextField {
    QString HeaderSettings::*member;
    const char16_t* label;
};
constexpr std::array<TextField, kTexts> kTextFields{{
    {&HeaderSettings::firstYear, u"起始学年"},
    {&HeaderSettings::secondYear, u"结束学年"},
    {&HeaderSettings::term, u"学期"},
    {&HeaderSettings::className, u"考试班级"},
    {&HeaderSettings::minutes, u"考试时间"},
    {&HeaderSettings::school, u"学校名称"},
}};

// The seven options in file order: four kinds, then the variants, with their captions.
constexpr std::array<const char16_t*, 7> kOptionCaptions{u"期中试卷", u"期末试卷", u"平时测验", u"模拟试卷",
                                                         u"A卷",      u"B卷",      u"不分AB"};
constexpr std::array<ExamKind, 4> kKinds{ExamKind::MidTerm, ExamKind::EndOfTerm, ExamKind::Test, ExamKind::Mock};
constexpr std::array<Variant, 3> kVariants{Variant::A, Variant::B, Variant::None};

// Option `index` (0…6) set to `on`, as clicking the option buttons would: on chooses it,
// off on the chosen one leaves the group without a choice.
void applyOption(HeaderSettings& s, int index, bool on)
{
    if (index < 4) {
        const ExamKind kind = kKinds[size_t(index)];
        if (on)
            s.kind = kind;
        else if (s.kind == kind)
            s.kind = ExamKind::None;
    } else {
        const Variant variant = kVariants[size_t(index - 4)];
        if (on)
            s.variant = variant;
        else if (s.variant == variant)
            s.variant = Variant::None;
    }
}

// Old editors end a text file with Ctrl-Z.
constexpr char16_t kCtrlZ = 0x1A;

// A setting's value shown in a message: its beginning when it is long.
QString shownValue(const QString& text)
{
    return text.size() > 20 ? text.left(20) + QStringLiteral("…") : text;
}

// The line (from 1) of position `pos` in `text`, whose lines end with CR LF, LF or CR.
int lineAt(const QString& text, qsizetype pos)
{
    int line = 1;
    for (qsizetype i = 0; i < pos; ++i)
        if (text[i] == u'\n' || (text[i] == u'\r' && (i + 1 >= text.size() || text[i + 1] != u'\n')))
            ++line;
    return line;
}

// True for characters a teacher types into the header in Chinese text: CJK characters and
// punctuation, full-width forms, general punctuation such as “” and …
bool isChineseTextChar(char32_t c)
{
    return (c >= 0x2000 && c <= 0x206F) || (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF)
           || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFFEF);
}

// Text without a byte-order mark that is UTF-8 of Chinese text: valid UTF-8 with at least
// one such character and no other characters outside ASCII. GBK text of Chinese characters
// almost never forms such sequences.
bool isChineseUtf8(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return false;
    bool chinese = false;
    for (const char32_t c : text.toUcs4()) {
        if (c < 0x80)
            continue;
        if (!isChineseTextChar(c))
            return false;
        chinese = true;
    }
    return chinese;
}

// Decoding a whole file after its byte-order mark.
constexpr QStringConverter::Flags kWholeText =
    QStringConverter::Flag::ConvertInitialBom | QStringConverter::Flag::Stateless;

// The text of the file: GBK, or what its byte-order mark says. Nothing, with `error`, when
// it is not valid in its encoding or has control characters.
std::optional<QString> settingsText(QByteArrayView bytes, QString* error)
{
    QString text;
    QString encoding;
    if (bytes.startsWith("\xEF\xBB\xBF")
        || (!bytes.startsWith("\xFF\xFE") && !bytes.startsWith("\xFE\xFF") && isChineseUtf8(bytes))) {
        encoding = QStringLiteral("UTF-8");
        // The mark is passed over here; another one after it is a character of the text. The
        // bytes are the whole text: a sequence cut short at the end is no character.
        text = QStringDecoder(QStringConverter::Utf8, kWholeText)
                   .decode(bytes.startsWith("\xEF\xBB\xBF") ? bytes.sliced(3) : bytes);
    } else if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        encoding = QStringLiteral("UTF-16");
        const bool little = bytes.startsWith("\xFF\xFE");
        QStringDecoder utf16(little ? QStringConverter::Utf16LE : QStringConverter::Utf16BE, kWholeText);
        text = utf16.decode(bytes.sliced(2));
    } else {
        encoding = QStringLiteral("GBK");
        text = gbkDecode(bytes);
    }
    // Invalid bytes were decoded as U+FFFD (GBK cannot hold that character, and no header
    // text needs it); a surrogate must come in pairs.
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        bool invalid = c == QChar::ReplacementCharacter;
        if (c.isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            invalid = true;
        if (invalid) {
            if (error)
                *error = QStringLiteral("第%1行不是有效的%2文本。").arg(lineAt(text, i)).arg(encoding);
            return std::nullopt;
        }
    }
    // Blank lines and an end mark after the last item belong to no item.
    qsizetype end = n;
    while (end > 0
           && (text[end - 1] == kCtrlZ || text[end - 1] == u' ' || text[end - 1] == u'\t' || text[end - 1] == u'\r'
               || text[end - 1] == u'\n'))
        --end;
    text.truncate(end);
    for (qsizetype i = 0; i < end; ++i) {
        const char16_t c = text[i].unicode();
        if ((c < 0x20 && c != u'\t' && c != u'\r' && c != u'\n') || c == 0x7F) {
            if (error)
                *error = QStringLiteral("第%1行有控制字符。").arg(lineAt(text, i));
            return std::nullopt;
        }
    }
    return text;
}

// One item of the file.
struct Item {
    QString value;
    bool quoted = false;
    int line = 0;  // from 1
};

// The items of the text, separated by commas or line ends. A quoted item runs to the next
// double quote on its line, and only blanks may follow it; a bare item loses its blanks.
std::optional<QList<Item>> itemsOf(const QString& text, QString* error)
{
    const auto isBlank = [](QChar c) { return c == u' ' || c == u'\t'; };
    const auto isLineEnd = [](QChar c) { return c == u'\r' || c == u'\n'; };
    const auto refuse = [error](const QString& message) -> std::optional<QList<Item>> {
        if (error)
            *error = message;
        return std::nullopt;
    };
    QList<Item> items;
    if (text.isEmpty())
        return items;
    const qsizetype n = text.size();
    qsizetype i = 0;
    int line = 1;
    for (;;) {
        while (i < n && isBlank(text[i]))
            ++i;
        Item item;
        item.line = line;
        if (i < n && text[i] == u'"') {
            qsizetype close = i + 1;
            while (close < n && text[close] != u'"' && !isLineEnd(text[close]))
                ++close;
            if (close >= n || text[close] != u'"')
                return refuse(QStringLiteral("第%1行的引号没有配对。").arg(line));
            item.value = text.mid(i + 1, close - i - 1);
            item.quoted = true;
            i = close + 1;
        }
        qsizetype end = i;
        while (end < n && text[end] != u',' && !isLineEnd(text[end]))
            ++end;
        qsizetype first = i, last = end;
        while (first < last && isBlank(text[first]))
            ++first;
        while (last > first && isBlank(text[last - 1]))
            --last;
        const QString rest = text.mid(first, last - first);
        if (item.quoted && !rest.isEmpty())
            return refuse(QStringLiteral("第%1行的引号后多出“%2”。").arg(line).arg(shownValue(rest)));
        if (!item.quoted) {
            if (rest.contains(u'"'))
                return refuse(QStringLiteral("第%1行的引号没有配对。").arg(line));
            item.value = rest;
        }
        items << item;
        if (end >= n)
            return items;
        // Past the separator: a comma, or a line end (CR LF, LF or CR).
        i = end + 1;
        if (text[end] == u'\r' && i < n && text[i] == u'\n')
            ++i;
        if (text[end] != u',')
            ++line;
    }
}

// #TRUE# or #FALSE# standing bare, in any letter case.
std::optional<bool> booleanOf(const Item& item)
{
    if (item.quoted)
        return std::nullopt;
    if (item.value.compare(QLatin1String("#TRUE#"), Qt::CaseInsensitive) == 0)
        return true;
    if (item.value.compare(QLatin1String("#FALSE#"), Qt::CaseInsensitive) == 0)
        return false;
    return std::nullopt;
}

// The name of item `index` (0…12) of a round, as the settings pane labels it.
QString itemName(int index)
{
    return QString::fromUtf16(index < kTexts ? kTextFields[size_t(index)].label
                                             : kOptionCaptions[size_t(index - kTexts)]);
}

// The 13 items of the file; nothing, with `error`, when a text cannot be stored.
std::optional<DelimitedWriter> settingsWriter(const HeaderSettings& settings, QString* error)
{
    DelimitedWriter writer;
    for (const TextField& field : kTextFields) {
        const QString& value = settings.*(field.member);
        const QString label = QString::fromUtf16(field.label);
        // The texts are stored between double quotes, one a line: a quote or a line break
        // inside one would end it early when read back.
        if (value.contains(QLatin1Char('"')) || value.contains(QLatin1Char('\r'))
            || value.contains(QLatin1Char('\n'))) {
            if (error)
                *error = QStringLiteral("“%1”中不能有双引号或换行，无法保存试卷标题设置！").arg(label);
            return std::nullopt;
        }
        // Nor would reading take other control characters.
        if (std::any_of(value.cbegin(), value.cend(),
                        [](QChar c) { return (c.unicode() < 0x20 && c != u'\t') || c.unicode() == 0x7F; })) {
            if (error)
                *error = QStringLiteral("“%1”中不能有控制字符，无法保存试卷标题设置！").arg(label);
            return std::nullopt;
        }
        QString bad;
        if (!gbkEncode(value, &bad)) {
            if (error)
                *error = QStringLiteral("“%1”中的字符“%2”无法保存，请改用其他字符！").arg(label, bad);
            return std::nullopt;
        }
        writer.text(value);
    }
    for (const ExamKind kind : kKinds)
        writer.boolean(settings.kind == kind);
    for (const Variant variant : kVariants)
        writer.boolean(settings.variant == variant);
    return writer;
}

}  // namespace

HeaderSettings::HeaderSettings() : school(defaultSchoolName()) {}

QString defaultSchoolName()
{
    return QStringLiteral("实验中学");
}

QStringList emptyFieldNames(const HeaderSettings& settings)
{
    QStringList names;
    for (const TextField& field : kTextFields)
        if ((settings.*(field.member)).isEmpty())
            names << QString::fromUtf16(field.label);
    return names;
}

QString examKindCaption(ExamKind kind)
{
    switch (kind) {
    case ExamKind::MidTerm: return QStringLiteral("期中试卷");
    case ExamKind::EndOfTerm: return QStringLiteral("期末试卷");
    case ExamKind::Test: return QStringLiteral("平时测验");
    case ExamKind::Mock: return QStringLiteral("模拟试卷");
    case ExamKind::None: break;
    }
    return {};
}

std::optional<QByteArray> settingsBytes(const HeaderSettings& settings, QString* error)
{
    const std::optional<DelimitedWriter> writer = settingsWriter(settings, error);
    // Every text was checked, so the whole content encodes.
    return writer ? gbkEncode(writer->content()) : std::nullopt;
}

std::optional<HeaderSettings> parseSettings(QByteArrayView bytes, const HeaderSettings& start, QString* error)
{
    const auto refuse = [error](const QString& message) -> std::optional<HeaderSettings> {
        if (error)
            *error = message;
        return std::nullopt;
    };
    const std::optional<QString> text = settingsText(bytes, error);
    if (!text)
        return std::nullopt;
    const std::optional<QList<Item>> items = itemsOf(*text, error);
    if (!items)
        return std::nullopt;
    HeaderSettings s = start;
    for (qsizetype i = 0; i < items->size(); ++i) {
        const Item& item = (*items)[i];
        const int index = int(i % kItems);
        const std::optional<bool> on = booleanOf(item);
        const QString value =
            item.quoted ? QLatin1Char('"') + shownValue(item.value) + QLatin1Char('"') : shownValue(item.value);
        if (index < kTexts) {
            if (on)
                return refuse(
                    QStringLiteral("第%1行应为“%2”的文字，却是“%3”。").arg(item.line).arg(itemName(index), value));
            s.*(kTextFields[size_t(index)].member) = item.value;
        } else {
            if (!on)
                return refuse(QStringLiteral("第%1行应为“%2”的#TRUE#或#FALSE#，却是“%3”。")
                                  .arg(item.line)
                                  .arg(itemName(index), value));
            applyOption(s, index - kTexts, *on);
        }
    }
    if (const qsizetype rest = items->size() % kItems; rest != 0)
        return refuse(QStringLiteral("文件不完整：第%1行应为“%2”，文件却已结束。")
                          .arg(items->last().line + 1)
                          .arg(itemName(int(rest))));
    return s;
}

std::optional<HeaderSettings> loadSettings(const QString& path, const HeaderSettings& start, QString* error)
{
    const QString shown = QDir::toNativeSeparators(path);
    const auto refuse = [&](const QString& why) -> std::optional<HeaderSettings> {
        if (error)
            *error = QStringLiteral("无法读取试卷标题设置文件“%1”%2").arg(shown, why);
        return std::nullopt;
    };
    const QFileInfo info(path);
    if (!info.exists())
        return refuse(QStringLiteral("：文件不存在。"));
    if (!info.isFile())
        return refuse(QStringLiteral("：它不是普通文件。"));
    if (info.size() > kMaxSettingsBytes)
        return refuse(QStringLiteral("：文件大于%1MB，不是试卷标题设置。").arg(kMaxSettingsBytes >> 20));
    const std::optional<QByteArray> bytes = readInputFile(path, nullptr, kMaxSettingsBytes);
    if (!bytes)
        return refuse(QStringLiteral("！"));
    QString why;
    std::optional<HeaderSettings> s = parseSettings(*bytes, start, &why);
    if (!s && error)
        *error = QStringLiteral("试卷标题设置文件“%1”有误：%2").arg(shown, why);
    return s;
}

bool saveSettings(const QString& path, const HeaderSettings& settings, QString* error)
{
    const std::optional<DelimitedWriter> writer = settingsWriter(settings, error);
    if (!writer)
        return false;
    if (!writer->save(path)) {
        if (error)
            *error = QStringLiteral("无法保存试卷标题设置文件“%1”！").arg(QDir::toNativeSeparators(path));
        return false;
    }
    return true;
}

}  // namespace qm::paper
