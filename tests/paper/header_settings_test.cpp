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
#include <sys/stat.h>

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

TEST(HeaderSettings, ReadingRefusesWhatIsNoSettingsFile)
{
    const HeaderSettings start = filled();
    QString error;
    const auto refused = [&](const QByteArray& bytes) {
        error.clear();
        EXPECT_FALSE(parseSettings(bytes, start, &error)) << bytes.toStdString();
        return error;
    };
    // Ends early, or a line of a text left open.
    EXPECT_EQ(refused(gbk("\"2010\"\r\n\"2011\"\r\n\"2\"\r\n")), "文件不完整：第4行应为“考试班级”，文件却已结束。");
    EXPECT_EQ(refused(gbk("\"2010\"\r\n\"2011\"\r\n\"2")), "第3行的引号没有配对。");
    // Items of the wrong kind, and what follows a closing quote.
    EXPECT_EQ(refused(gbk("#TRUE#\n2011\n\"2\"\n\"高二\"\n\"45\"\n\"一中\"\n\"是\"\n#TRUE#\n")),
              "第1行应为“起始学年”的文字，却是“#TRUE#”。");
    const QString texts = "\"2003\"\r\n\"2004\"\r\n\"1\"\r\n\"高一\"\r\n\"90\"\r\n\"一中\"\r\n";
    EXPECT_EQ(refused(gbk(texts + "\"#TRUE#\"\r\n")), "第7行应为“期中试卷”的#TRUE#或#FALSE#，却是“\"#TRUE#\"”。");
    EXPECT_EQ(refused(gbk(texts + "#TRUE#\r\n#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n#TRUE#\r\n#FALSE#\r\n是\r\n")),
              "第13行应为“不分AB”的#TRUE#或#FALSE#，却是“是”。");
    EXPECT_EQ(refused(gbk("\"2003\"年\r\n")), "第1行的引号后多出“年”。");
    EXPECT_EQ(refused(gbk("20\"03\r\n")), "第1行的引号没有配对。");

    // Options are taken one after the other: false on the chosen one leaves none chosen;
    // LF ends lines too, a bare word is a text and the tokens have any letter case.
    const std::optional<HeaderSettings> s = parseSettings(
        gbk("\"\"\n\"\"\n\"\"\n\"\"\n\"\"\n一中\n#false#\n#FALSE#\n#FALSE#\n#FALSE#\n#FALSE#\n#True#\n#FALSE#\n"),
        start);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->kind, ExamKind::None);
    EXPECT_EQ(s->variant, Variant::B);
    EXPECT_EQ(s->minutes, "");
    EXPECT_EQ(s->school, "一中");

    // A 14th item starts a round that is not finished; a second whole round is read over the first.
    EXPECT_EQ(refused(*settingsBytes(filled()) + gbk("\"1999\"\r\n")),
              "文件不完整：第15行应为“结束学年”，文件却已结束。");
    HeaderSettings later = filled();
    later.firstYear = "1999";
    EXPECT_EQ(parseSettings(*settingsBytes(filled()) + *settingsBytes(later)), later);
}

TEST(HeaderSettings, WhatOtherEditorsMakeOfTheFileIsRead)
{
    const QByteArray file = *settingsBytes(filled());
    const QString text = gbkDecode(file);
    const QByteArray utf16le(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    QByteArray utf16be;
    for (const QChar c : text)
        utf16be += char(c.unicode() >> 8), utf16be += char(c.unicode() & 0xFF);
    const QList<std::pair<const char*, QByteArray>> forms = {
        {"a blank line after it", file + "\r\n"},
        {"blank lines and blanks after it", file + "\r\n  \r\n\n"},
        {"Ctrl-Z at its end", file + "\x1A"},
        {"Ctrl-Z after a blank line", file + "\r\n\x1A"},
        {"UTF-8 with its mark", "\xEF\xBB\xBF" + text.toUtf8()},
        {"UTF-8 without a mark", text.toUtf8()},
        {"UTF-16 little-endian", "\xFF\xFE" + utf16le},
        {"UTF-16 big-endian", "\xFE\xFF" + utf16be},
        {"items separated by commas", gbk(QString(text).replace("\r\n", ",").chopped(1))},
    };
    for (const auto& [what, bytes] : forms) {
        QString error;
        EXPECT_EQ(parseSettings(bytes, {}, &error), filled()) << what << ": " << error.toStdString();
        EXPECT_EQ(error, "") << what;
    }
    // GBK text that happens to be valid UTF-8 of another script is GBK.
    HeaderSettings one = filled();
    one.className = "3";
    one.school = "一";  // GBK D2 BB, which as UTF-8 is a Cyrillic letter
    EXPECT_EQ(parseSettings(*settingsBytes(one)), one);

    // Text that is not valid in its encoding, or holds control characters, is no settings file.
    const auto refused = [](const QByteArray& bytes) {
        QString error;
        EXPECT_FALSE(parseSettings(bytes, {}, &error));
        return error;
    };
    QByteArray badGbk = file;
    badGbk.replace(gbk("高一"), "\x81\x20");
    EXPECT_EQ(refused(badGbk), "第4行不是有效的GBK文本。");
    EXPECT_EQ(refused(QByteArray(badGbk).replace("\r\n", "\r")), "第4行不是有效的GBK文本。");
    EXPECT_EQ(refused("\xEF\xBB\xBF" + text.toUtf8().replace("90", "\xC3\x28")), "第5行不是有效的UTF-8文本。");
    // A character cut short at the end is no character, nor is the file blank.
    EXPECT_EQ(refused("\xEF\xBB\xBF\xCF"), "第1行不是有效的UTF-8文本。");
    EXPECT_EQ(refused("\xEF\xBB\xBF" + text.toUtf8() + "\xE4\xB8"), "第14行不是有效的UTF-8文本。");
    EXPECT_EQ(refused("\xFF\xFE" + utf16le + QByteArray(1, '\0')), "第14行不是有效的UTF-16文本。");
    EXPECT_EQ(refused("\xFF\xFE" + QByteArray(utf16le).replace(0, 2, QByteArray("\x00\xD8", 2))),
              "第1行不是有效的UTF-16文本。");
    EXPECT_EQ(refused(QByteArray(file).replace("1\"", "1\x01\"")), "第3行有控制字符。");
    EXPECT_EQ(refused(QByteArray(file).insert(0, "\x1A")), "第1行有控制字符。");
    EXPECT_EQ(refused(QByteArray(26, '\0')), "第1行有控制字符。");
}

TEST(HeaderSettings, AFileThatCannotBeReadIsSaidSo)
{
    QTemporaryDir dir;
    const auto refused = [](const QString& path) {
        QString error;
        EXPECT_FALSE(loadSettings(path, filled(), &error)) << path.toStdString();
        return error;
    };
    const QString missing = dir.filePath("JuanMian.cfg");
    EXPECT_EQ(refused(missing), "无法读取试卷标题设置文件“" + missing + "”：文件不存在。");
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_EQ(refused(dir.path()), "无法读取试卷标题设置文件“" + dir.path() + "”：它不是普通文件。");
    const QString fifo = dir.filePath("fifo.cfg");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(refused(fifo), "无法读取试卷标题设置文件“" + fifo + "”：它不是普通文件。");
    EXPECT_EQ(refused("/dev/zero"), "无法读取试卷标题设置文件“/dev/zero”：它不是普通文件。");
    const QString large = dir.filePath("large.cfg");
    ASSERT_TRUE(test::writeAll(large, *settingsBytes(filled()) + QByteArray(1 << 20, ' ')));
    EXPECT_EQ(refused(large), "无法读取试卷标题设置文件“" + large + "”：文件大于1MB，不是试卷标题设置。");
    const QString garbled = dir.filePath("garbled.cfg");
    ASSERT_TRUE(test::writeAll(garbled, "\"2003\"\r\n\"2004\"\r\n"));
    EXPECT_EQ(refused(garbled), "试卷标题设置文件“" + garbled + "”有误：文件不完整：第3行应为“学期”，文件却已结束。");

    // An empty file leaves what there was.
    const QString empty = dir.filePath("empty.cfg");
    ASSERT_TRUE(test::writeAll(empty, ""));
    EXPECT_EQ(loadSettings(empty, filled()), filled());
}
