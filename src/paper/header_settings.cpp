#include "paper/header_settings.h"

#include "core/delimited.h"
#include "core/gbk.h"
#include "core/input_file.h"

#include <QDir>
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

// The seven options in file order: four kinds, then the variants.
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

HeaderSettings parseSettings(QByteArrayView bytes, const HeaderSettings& start)
{
    HeaderSettings s = start;
    DelimitedReader reader(gbkDecode(bytes));
    for (int item = 0; !reader.atEnd(); item = (item + 1) % kItems) {
        if (item < kTexts) {
            // Any item reads as a text except a bare #TRUE#/#FALSE#, which is passed over.
            if (reader.boolean())
                continue;
            const std::optional<QString> value = reader.text();
            if (!value)
                break;
            s.*(kTextFields[size_t(item)].member) = *value;
        } else if (const std::optional<bool> on = reader.boolean()) {
            applyOption(s, item - kTexts, *on);
        } else if (!reader.text()) {
            break;  // not a #TRUE#/#FALSE#: passed over
        }
    }
    return s;
}

HeaderSettings loadSettings(const QString& path, const HeaderSettings& start)
{
    const std::optional<QByteArray> bytes = readInputFile(path, nullptr, kMaxSettingsBytes);
    return bytes ? parseSettings(*bytes, start) : start;
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
