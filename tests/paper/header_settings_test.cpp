// The header settings and their file JuanMian.cfg.

#include "core/gbk.h"
#include "paper/header_settings.h"
#include "paper_docs.h"
#include "support/qstring_print.h"
#include "support/temp_dirs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qm;
using namespace qm::paper;

namespace {

QByteArray gbk(const QString& text)
{
    return *gbkEncode(text);
}

HeaderSettings filled()
{
    return qm::test::filledSettings("育才中学");
}

}  // namespace

TEST(HeaderSettings, NewSettingsAndAnEmptyFile)
{
    const HeaderSettings s;
    EXPECT_EQ(s.school, "实验中学");
    EXPECT_EQ(emptyFieldNames(s), QStringList({"起始学年", "结束学年", "学期", "考试班级", "考试时间"}));
    EXPECT_EQ(s.kind, ExamKind::EndOfTerm);
    EXPECT_EQ(s.variant, Variant::None);
    EXPECT_EQ(parseSettings(""), s);
    EXPECT_EQ(parseSettings("\r\n \r\n"), s);
    EXPECT_EQ(parseSettings("", filled()), filled());
    EXPECT_EQ(examKindCaption(ExamKind::Test), "平时测验");
    EXPECT_EQ(examKindCaption(ExamKind::None), "");
}

TEST(HeaderSettings, TheFileIsQuotedTextsAndOptionsInGbkLines)
{
    EXPECT_EQ(*settingsBytes(filled()),
              gbk("\"2003\"\r\n\"2004\"\r\n\"1\"\r\n\"高一(3)班\"\r\n\"90\"\r\n\"育才中学\"\r\n"
                  "#TRUE#\r\n#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n"
                  "#TRUE#\r\n#FALSE#\r\n#FALSE#\r\n"));
    HeaderSettings s;
    s.kind = ExamKind::None;
    EXPECT_EQ(*settingsBytes(s), gbk("\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"实验中学\"\r\n"
                                     "#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n"
                                     "#FALSE#\r\n#FALSE#\r\n#TRUE#\r\n"));
}

TEST(HeaderSettings, EveryValueSurvivesTheFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("JuanMian.cfg");
    for (const ExamKind kind : {ExamKind::None, ExamKind::MidTerm, ExamKind::EndOfTerm, ExamKind::Test, ExamKind::Mock})
        for (const Variant variant : {Variant::None, Variant::A, Variant::B}) {
            HeaderSettings s = filled();
            s.kind = kind;
            s.variant = variant;
            s.secondYear = "";  // empty texts too
            s.school = "";
            s.className = "高二, 高三 (理科)";  // commas inside the quotes
            ASSERT_TRUE(saveSettings(path, s));
            EXPECT_EQ(loadSettings(path, filled()), s);
        }
}

TEST(HeaderSettings, TextsTheFileCannotHoldAreRefused)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("JuanMian.cfg");
    ASSERT_TRUE(saveSettings(path, filled()));
    const QByteArray before = test::readAll(path);

    HeaderSettings s = filled();
    s.className = "高一\"3\"班";
    QString error;
    EXPECT_FALSE(saveSettings(path, s, &error));
    EXPECT_EQ(error, "“考试班级”中不能有双引号或换行，无法保存试卷标题设置！");
    s = filled();
    s.school = "育才\r\n中学";
    EXPECT_FALSE(settingsBytes(s, &error));
    EXPECT_EQ(error, "“学校名称”中不能有双引号或换行，无法保存试卷标题设置！");
    s = filled();
    s.term = "第①学期😀";
    EXPECT_FALSE(saveSettings(path, s, &error));
    EXPECT_EQ(error, "“学期”中的字符“😀”无法保存，请改用其他字符！");
    EXPECT_EQ(test::readAll(path), before);

    EXPECT_FALSE(saveSettings(dir.filePath("无此目录/JuanMian.cfg"), filled(), &error));
    EXPECT_TRUE(error.startsWith("无法保存试卷标题设置文件")) << error.toStdString();
}

TEST(HeaderSettings, ReadingTakesWhatThereIs)
{
    const HeaderSettings start = filled();
    // Ends early: the rest stays.
    HeaderSettings s = parseSettings(gbk("\"2010\"\r\n\"2011\"\r\n\"2"), start);
    EXPECT_EQ(s.firstYear, "2010");
    EXPECT_EQ(s.secondYear, "2011");
    EXPECT_EQ(s.term, "2");  // an unclosed quote runs to the end
    EXPECT_EQ(s.className, start.className);
    EXPECT_EQ(s.kind, start.kind);

    // Items of the wrong form leave their setting; a bare word is a text; LF ends lines too.
    s = parseSettings(gbk("#TRUE#\n2011\n\"2\"\n\"高二\"\n\"45\"\n\"一中\"\n\"是\"\n#TRUE#\n"), start);
    EXPECT_EQ(s.firstYear, "2003");
    EXPECT_EQ(s.secondYear, "2011");
    EXPECT_EQ(s.school, "一中");
    EXPECT_EQ(s.kind, ExamKind::EndOfTerm);

    // Options are taken one after the other: false on the chosen one leaves none chosen.
    s = parseSettings(gbk("\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n#false#\r\n#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n"
                          "#FALSE#\r\n#TRUE#\r\n#FALSE#\r\n"),
                      start);
    EXPECT_EQ(s.kind, ExamKind::None);
    EXPECT_EQ(s.variant, Variant::B);
    EXPECT_EQ(s.minutes, "");

    // A 14th item starts over with the first text.
    const QByteArray twice = *settingsBytes(filled()) + gbk("\"1999\"\r\n");
    EXPECT_EQ(parseSettings(twice).firstYear, "1999");
}

TEST(HeaderSettings, LoadingAFileThatIsNoSettingsFileGivesTheStart)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath("JuanMian.cfg");
    EXPECT_EQ(loadSettings(missing, filled()), filled());
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_EQ(loadSettings(dir.path(), filled()), filled());
    const QString large = dir.filePath("large.cfg");
    ASSERT_TRUE(test::writeAll(large, gbk("\"2020\"\r\n") + QByteArray(2 << 20, ' ')));
    EXPECT_EQ(loadSettings(large, filled()), filled());
}
