// qmtool compose, run as the built program.

#include "compose/plan_file.h"
#include "core/gbk.h"
#include "paper/header_settings.h"
#include "rtf/rich_text.h"
#include "support/qstring_print.h"
#include "support/run_qmtool.h"
#include "support/temp_bank.h"
#include "support/temp_dirs.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <algorithm>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace qm;
using namespace qm::test;

namespace {

struct ComposeRun : ::testing::Test {
    ComposeRun()
    {
        for (int i = 1; i <= 3; ++i) {
            Question q;
            q.type = "选择题";
            q.text = rtfFromPlainText(QString("选择题%1").arg(i));
            q.answer = rtfFromPlainText(QString("答案%1").arg(i));
            q.score = 2;
            EXPECT_TRUE(bank.bank().add(q));
        }
        Question q;
        q.type = "填空题";
        q.text = rtfFromPlainText("填空题甲");
        q.answer = rtfFromPlainText("答案甲");
        q.score = 4;
        EXPECT_TRUE(bank.bank().add(q));

        compose::Plan plan;
        plan.bank = "化学.tik";
        plan.options = {true, true, true, false};
        plan.grid = {compose::gridHeader(plan.options),
                     {"选择题", "2", "3", "2", "40", "20"},
                     {"填空题", "4", "1", "1", "60", "60"}};
        EXPECT_TRUE(compose::savePlan(planPath, plan));

        paper::HeaderSettings s;
        s.firstYear = "2023";
        s.secondYear = "2024";
        s.term = "1";
        s.className = "高三(2)班";
        s.minutes = "100";
        s.kind = paper::ExamKind::Test;
        EXPECT_TRUE(paper::saveSettings(settingsPath, s));
    }

    QString file(const QString& name) const { return bank.dir.filePath(name); }
    QStringList outputs() const { return QDir(bank.dir.path()).entryList({"*.rtf", "*.pdf", "*.part"}); }

    TempBank bank{"化学.tik"};
    QString planPath = file("方案.faa");
    QString settingsPath = file("JuanMian.cfg");
};

// What qmtool said on stderr, without the notes Qt itself may print there.
QString said(const ToolRun& run)
{
    QStringList lines = run.err.split('\n');
    lines.removeIf([](const QString& line) { return line.startsWith("QStandardPaths:"); });
    return lines.join('\n');
}

}  // namespace

TEST_F(ComposeRun, WritesThePaperAndTheAnswerSheet)
{
    const ToolRun run = qmtool({"compose", bank.path, planPath, file("试卷.rtf"), file("答案.rtf"), "--seed", "3",
                                "--settings", settingsPath, "--pdf"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(said(run), "");
    EXPECT_EQ(outputs(), QStringList({"答案.pdf", "答案.rtf", "试卷.pdf", "试卷.rtf"}));

    const QString paper = rtfPlainText(readAll(file("试卷.rtf")));
    EXPECT_TRUE(paper.startsWith("实验中学2023～2024学年第1学期\n高三(2)班《化学》平时测验\n")) << paper.toStdString();
    EXPECT_TRUE(paper.contains("\n一、选择题(40%)\n")) << paper.toStdString();
    EXPECT_TRUE(paper.contains("\n二、填空题(60%)\n")) << paper.toStdString();
    EXPECT_TRUE(paper.contains("\n1.(60%)填空题甲\n")) << paper.toStdString();
    EXPECT_EQ(paper.count("(20%)选择题"), 2);
    EXPECT_FALSE(paper.contains("答案"));
    const QString answers = rtfPlainText(readAll(file("答案.rtf")));
    EXPECT_TRUE(answers.contains("\n1.(60%)填空题甲\n答:答案甲\n")) << answers.toStdString();
    // The scoring table has a column for each of the two sections.
    EXPECT_TRUE(paper.contains("题号\n一\n二\n总分\n")) << paper.toStdString();
    EXPECT_TRUE(readAll(file("试卷.pdf")).startsWith("%PDF"));
}

TEST_F(ComposeRun, AShortBankIsReportedButThePaperIsWritten)
{
    // Four questions asked of the only fill-in: the shortfall is reported too.
    compose::Plan plan = *compose::loadPlan(planPath);
    plan.grid[2][3] = "2";
    ASSERT_TRUE(compose::savePlan(planPath, plan));
    const ToolRun run =
        qmtool({"compose", bank.path, planPath, file("试卷.rtf"), file("答案.rtf"), "--settings", settingsPath});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(said(run), "题库中的题目不够：少抽了1道题。\n");
}

TEST_F(ComposeRun, WritesNothingWhenThePaperCannotBeMade)
{
    const QStringList documents{file("试卷.rtf"), file("答案.rtf")};

    ToolRun run =
        qmtool(QStringList{"compose", bank.path, file("无.faa")} + documents + QStringList{"--settings", settingsPath});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("无.faa")) << run.err.toStdString();

    writeAll(file("坏.faa"), "\"a\"\r\n\"b\"\r\n");
    run =
        qmtool(QStringList{"compose", bank.path, file("坏.faa")} + documents + QStringList{"--settings", settingsPath});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("出题方案文件不完整")) << run.err.toStdString();

    run = qmtool(QStringList{"compose", file("无.tik"), planPath} + documents
                 + QStringList{"--settings", settingsPath, "--pdf"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("无.tik")) << run.err.toStdString();

    // Settings that lack texts: the file is named with what it lacks.
    ASSERT_TRUE(paper::saveSettings(file("缺项.cfg"), paper::HeaderSettings()));
    run = qmtool(QStringList{"compose", bank.path, planPath} + documents + QStringList{"--settings", file("缺项.cfg")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(said(run), "qmtool: 试卷标题设置“" + QDir::toNativeSeparators(file("缺项.cfg"))
                             + "”中没有填写：起始学年、结束学年、学期、考试班级、考试时间。请先设置试卷标题。\n");

    // The answer sheet cannot be written: the paper is not written either.
    run = qmtool(
        {"compose", bank.path, planPath, file("试卷.rtf"), file("无此目录/答案.rtf"), "--settings", settingsPath});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("无此目录")) << run.err.toStdString();

    EXPECT_EQ(outputs(), QStringList());

    EXPECT_EQ(qmtool({"compose", bank.path, planPath, file("试卷.rtf")}).exitCode, 2);
    EXPECT_EQ(qmtool({"compose", bank.path, planPath, file("a.rtf"), file("a.doc"), "--pdf"}).exitCode, 2);
    EXPECT_EQ(outputs(), QStringList());
}

TEST_F(ComposeRun, SettingsAreReadInTheirEncodingOrRefusedNamingTheFile)
{
    const QStringList documents{file("试卷.rtf"), file("答案.rtf")};
    const auto composeWith = [&](const QString& settings) {
        return qmtool(QStringList{"compose", bank.path, planPath} + documents
                      + QStringList{"--settings", settings, "--seed", "1"});
    };

    // What other editors make of the file reads as what it says.
    const QByteArray gbkFile = readAll(settingsPath);
    const QString text = gbkDecode(gbkFile);
    QByteArray utf16;
    for (const QChar c : text)
        utf16 += char(c.unicode() & 0xFF), utf16 += char(c.unicode() >> 8);
    const QList<QByteArray> forms{gbkFile + "\r\n", gbkFile + "\x1A", "\xEF\xBB\xBF" + text.toUtf8(), text.toUtf8(),
                                  "\xFF\xFE" + utf16};
    for (const QByteArray& bytes : forms) {
        ASSERT_TRUE(writeAll(file("另存.cfg"), bytes));
        const ToolRun run = composeWith(file("另存.cfg"));
        ASSERT_EQ(run.exitCode, 0) << said(run).toStdString();
        const QString paper = rtfPlainText(readAll(file("试卷.rtf")));
        EXPECT_TRUE(paper.startsWith("实验中学2023～2024学年第1学期\n高三(2)班《化学》平时测验\n"))
            << paper.toStdString();
        QFile::remove(file("试卷.rtf"));
        QFile::remove(file("答案.rtf"));
    }

    // A file that cannot be read is named with the reason, and nothing is written.
    ASSERT_TRUE(QDir().mkdir(file("目录.cfg")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(file("管道.cfg")).constData(), 0600), 0);
    ASSERT_TRUE(writeAll(file("大.cfg"), gbkFile + QByteArray(1 << 20, ' ')));
    ASSERT_TRUE(writeAll(file("乱码.cfg"), "\xEF\xBB\xBF" + text.toUtf8().replace("100", "\xC3\x28")));
    const QString cannot = "qmtool: 无法读取试卷标题设置文件“";
    const QList<std::pair<QString, QString>> unreadable = {
        {file("无.cfg"), cannot + file("无.cfg") + "”：文件不存在。\n"},
        {file("目录.cfg"), cannot + file("目录.cfg") + "”：它不是普通文件。\n"},
        {file("管道.cfg"), cannot + file("管道.cfg") + "”：它不是普通文件。\n"},
        {"/dev/zero", cannot + "/dev/zero”：它不是普通文件。\n"},
        {file("大.cfg"), cannot + file("大.cfg") + "”：文件大于1MB，不是试卷标题设置。\n"},
        {file("乱码.cfg"), "qmtool: 试卷标题设置文件“" + file("乱码.cfg") + "”有误：第5行不是有效的UTF-8文本。\n"},
    };
    for (const auto& [settings, message] : unreadable) {
        const ToolRun run = composeWith(settings);
        EXPECT_EQ(run.exitCode, 1) << settings.toStdString();
        EXPECT_EQ(said(run), message);
    }
    EXPECT_EQ(outputs(), QStringList());
}
