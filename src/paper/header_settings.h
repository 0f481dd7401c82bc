#pragma once
// The paper header settings shared by both composition windows and kept between runs in
// "JuanMian.cfg" in the program directory: the school year, term, class, time allowed and
// school, the kind of examination and the A/B variant.
//
// The file is GBK text of 13 items, each on a line ended by CR LF: the six texts in double
// quotes (first year, second year, term, class, minutes, school), then #TRUE#/#FALSE# for
// the options 期中试卷, 期末试卷, 平时测验, 模拟试卷, A卷, B卷, 不分AB. Reading also takes what
// other editors make of it (see parseSettings) and refuses what is not such a file.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace qm::paper {

// The examination kind (Option1…Option4); None only after a file switched all four off.
enum class ExamKind { None, MidTerm, EndOfTerm, Test, Mock };
// The variant (Option5 A, Option6 B, Option7 none).
enum class Variant { None, A, B };

struct HeaderSettings {
    QString firstYear;   // Text6
    QString secondYear;  // Text7
    QString term;        // Text8
    QString className;   // Text9  考试班级
    QString minutes;     // Text10 考试时间
    QString school;      // Text11 学校名称; defaultSchoolName() until set
    ExamKind kind = ExamKind::EndOfTerm;
    Variant variant = Variant::None;

    HeaderSettings();
    bool operator==(const HeaderSettings&) const = default;
};

// The school name of new settings.
QString defaultSchoolName();
// The names of the six texts that are empty, in file order ("起始学年", "学期" …), as the
// settings panel labels them.
QStringList emptyFieldNames(const HeaderSettings& settings);
// The caption of a kind's option: "期中试卷", "期末试卷", "平时测验", "模拟试卷"; "" for None.
QString examKindCaption(ExamKind kind);

// The file's bytes; nothing, with a Chinese `error` naming the text, when a text has a
// double quote or a line break (the file cannot hold them) or characters GBK lacks.
std::optional<QByteArray> settingsBytes(const HeaderSettings& settings, QString* error = nullptr);
// Reads the file's 13 items over `start`. The bytes are GBK text unless they begin with the
// mark of UTF-8 or UTF-16, or are UTF-8 of Chinese text, as newer editors save it. Items
// are separated by line ends or commas; a text may stand without quotes; #TRUE#/#FALSE#
// in any letter case. Blank lines and a Ctrl-Z (an old editor's end mark) at the end are
// passed over, and an empty file gives `start`. Options are applied one after the other as
// the option buttons take them: #TRUE# chooses that option, #FALSE# on the chosen one leaves
// its group with none chosen. A file holding the items more than once is read as often.
// Nothing, with a Chinese `error` saying what is wrong and on which line, when the text is
// not valid in its encoding, has control characters, or the items are not of the expected
// kinds or do not come to whole rounds of 13.
std::optional<HeaderSettings> parseSettings(QByteArrayView bytes, const HeaderSettings& start = {},
                                            QString* error = nullptr);

// The same on "JuanMian.cfg"; a file that is missing, not an ordinary file, larger than a
// settings file can be or cannot be read is refused with a message naming it. Writing
// replaces the file whole or leaves it as it was.
std::optional<HeaderSettings> loadSettings(const QString& path, const HeaderSettings& start = {},
                                           QString* error = nullptr);
bool saveSettings(const QString& path, const HeaderSettings& settings, QString* error = nullptr);

}  // namespace qm::paper
