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

TEST(QmtoolRtf2Pdf, PrintsAnyRtfAsAPaperIsPrinted)
{
    TempProgramDir dir(false);
    const QString in = dir.file("题.rtf");
    ASSERT_TRUE(writeAll(in, rtfFromPlainText("牛顿第一定律", "宋体")));
    const QString out = dir.file("题.pdf");
    ToolRun run = qmtool({"rtf2pdf", in, out});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(readAll(out).startsWith("%PDF-"));
    QProcess text;
    text.start("pdftotext", {out, "-"});
    ASSERT_TRUE(text.waitForFinished(60000));
    // (NFKC: the fonts draw some characters with the glyph of a radical of the same shape.)
    EXPECT_TRUE(QString::fromUtf8(text.readAllStandardOutput())
                    .normalized(QString::NormalizationForm_KC)
                    .contains(QStringLiteral("牛顿第一定律")));
    // A page of A4 (595 x 842 points).
    QProcess info;
    info.start("pdfinfo", {out});
    ASSERT_TRUE(info.waitForFinished(60000));
    EXPECT_TRUE(QString::fromUtf8(info.readAllStandardOutput()).contains(QLatin1String("(A4)")));

    run = qmtool({"rtf2pdf", in});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.endsWith("qmtool rtf2pdf: a file to read and one to write are needed\nusage: qmtool rtf2pdf "
                                 "IN.rtf OUT.pdf  (print as a paper is printed: A4, its fonts and pictures)\n"))
        << run.err.toStdString();
    run = qmtool({"rtf2pdf", dir.file("无.rtf"), dir.file("无.pdf")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("qmtool: 无法读取文件"))) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.file("无.pdf")));
}
