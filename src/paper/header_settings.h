#pragma once
// The paper header settings shared by both composition windows and kept between runs in
// "JuanMian.cfg" in the program directory: the school year, term, class, time allowed and
// school, the kind of examination and the A/B variant.
//
// The file is GBK text of 13 items, each on a line ended by CR LF: the six texts in double
// quotes (first year, second year, term, class, minutes, school), then #TRUE#/#FALSE# for
// the options 期中试卷, 期末试卷, 平时测验, 模拟试卷, A卷, B卷, 不分AB.

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
// Reads the items in file order over `start`, as many as there are: an item of the wrong
// form (a text where a #TRUE#/#FALSE# belongs, or the reverse) leaves its setting as it
// was, and a file that ends early leaves the rest. Options are applied one after the other
// as the option buttons take them: #TRUE# chooses that option, #FALSE# on the chosen one
// leaves its group with none chosen. Items beyond 13 start a new round, as a second
// reading of the file would.
HeaderSettings parseSettings(QByteArrayView bytes, const HeaderSettings& start = {});

// The same on "JuanMian.cfg": a missing file gives `start` (the file is not created);
// writing replaces the file whole or leaves it as it was.
HeaderSettings loadSettings(const QString& path, const HeaderSettings& start = {});
bool saveSettings(const QString& path, const HeaderSettings& settings, QString* error = nullptr);

}  // namespace qm::paper
