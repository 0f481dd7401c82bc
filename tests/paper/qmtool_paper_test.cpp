// qmtool compose, run as the built program.

#include "paper/header_settings.h"
#include "rtf/rich_text.h"
#include "selection/plan_file.h"
#include "support/qstring_print.h"
#include "support/run_qmtool.h"
#include "support/temp_bank.h"
#include "support/temp_dirs.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

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

        selection::Plan plan;
        plan.bank = "化学.tik";
        plan.options = {true, true, true, false};
        plan.grid = {selection::gridHeader(plan.options),
                     {"选择题", "2", "3", "2", "40", "20"},
                     {"填空题", "4", "1", "1", "60", "60"}};
        EXPECT_TRUE(selection::savePlan(planPath, plan));

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
    // Both documents are laid out on A4 with their page numbers.
    for (const QString name : {"试卷.rtf", "答案.rtf"}) {
        const QByteArray rtf = readAll(file(name));
        EXPECT_TRUE(rtf.contains("\\paperw11906\\paperh16838")) << name.toStdString();
        EXPECT_TRUE(rtf.contains("{\\field{\\*\\fldinst NUMPAGES}")) << name.toStdString();
    }
    EXPECT_TRUE(readAll(file("试卷.pdf")).startsWith("%PDF"));
}

TEST_F(ComposeRun, AShortBankIsReportedButThePaperIsWritten)
{
    // Four questions asked of the only fill-in: the shortfall is reported too.
    selection::Plan plan = *selection::loadPlan(planPath);
    plan.grid[2][3] = "2";
    ASSERT_TRUE(selection::savePlan(planPath, plan));
    const ToolRun run =
        qmtool({"compose", bank.path, planPath, file("试卷.rtf"), file("答案.rtf"), "--settings", settingsPath});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(said(run), "题库中符合条件的题目不够，共少选了 1 道题。\n");
}

TEST_F(ComposeRun, NothingDrawnIsAFailureAndAPlanOfAnotherBankIsNamed)
{
    // Old outputs stay when the plan draws nothing.
    writeAll(file("试卷.rtf"), "{\\rtf1 old}");
    selection::Plan plan = *selection::loadPlan(planPath);
    plan.grid[1][3] = "0";
    plan.grid[2][3] = "0";
    ASSERT_TRUE(selection::savePlan(planPath, plan));
    ToolRun run =
        qmtool({"compose", bank.path, planPath, file("试卷.rtf"), file("答案.rtf"), "--settings", settingsPath});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(said(run), "qmtool: 按出题方案“" + planPath + "”没有抽到任何题目，没有写出试卷。\n");
    EXPECT_EQ(readAll(file("试卷.rtf")), "{\\rtf1 old}");
    EXPECT_FALSE(QFile::exists(file("答案.rtf")));

    // A row before the first type name draws nothing, and says so; a plan made for another
    // bank draws, and says for which bank it was made.
    plan.bank = "物理.tik";
    plan.grid[1][3] = "1";
    plan.grid[2][3] = "1";
    plan.grid.insert(1, {"", "2", "3", "1", "", ""});
    ASSERT_TRUE(selection::savePlan(planPath, plan));
    run = qmtool({"compose", bank.path, planPath, file("试卷.rtf"), file("答案.rtf"), "--settings", settingsPath});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(said(run), "注意：出题方案“" + planPath
                             + "”是为题库“物理.tik”做的，现在从题库“化学.tik”出题。\n"
                               "题数表第1行没有题型，这一行的题没有出。\n");
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
    run = qmtool(QStringList{"compose", bank.path, planPath} + documents + QStringList{"--settings", file("无.cfg")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(said(run), "qmtool: 试卷标题设置“" + QDir::toNativeSeparators(file("无.cfg"))
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
