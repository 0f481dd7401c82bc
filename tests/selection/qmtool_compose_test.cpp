// qmtool grid and qmtool draw, run as the built program.

#include "compose_bank.h"
#include "selection/plan_file.h"
#include "support/qstring_print.h"
#include "support/run_qmtool.h"
#include "support/temp_dirs.h"

#include <QProcess>
#include <gtest/gtest.h>
#include <sys/resource.h>

using namespace qm;
using namespace qm::selection;
using namespace qm::test;

namespace {

struct ToolBank : TempBank {
    ToolBank()
    {
        addQuestions(path,
                     {attributes("选择题", "第二章", "2", "易", 2), attributes("选择题", "第一章", "1", "难", 1),
                      attributes("选择题", "第一章", "2", "易", 2), attributes("填空题", "第一章", "1", "易", 1)});
        addQuestions(path, {attributes("选择题", "第一章", "1", "易", 2)}, 3);
    }
};

}  // namespace

TEST(QmtoolCompose, GridPrintsTheCountGrid)
{
    ToolBank bank;
    // Every value the bank holds. The bank lists none, so chapters go by their numbers (一
    // before 二) and the rest by their GBK codes (难 before 易).
    ToolRun run = qmtool({"grid", bank.path});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "题型\t章节\t单元\t难度\t分值\t库内题数\t出题数\t大题总分\t小题分\n"
                       "填空题\t第一章\t1\t易\t1\t1\t\t\t\n"
                       "选择题\t第一章\t1\t难\t1\t1\t\t\t\n"
                       "\t第一章\t1\t易\t2\t3\t\t\t\n"
                       "\t第一章\t2\t易\t2\t1\t\t\t\n"
                       "\t第二章\t2\t易\t2\t1\t\t\t\n");

    run = qmtool({"grid", bank.path, "--types", "选择题,判断题", "--chapters", "第二章,第一章", "--units", "第一章=2,1",
                  "--difficulties", "易", "--any-score"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "题型\t章节\t单元\t难度\t库内题数\t出题数\t大题总分\t小题分\n"
                       "选择题\t第二章\t2\t易\t1\t\t\t\n"
                       "\t第一章\t2\t易\t1\t\t\t\n"
                       "\t第一章\t1\t易\t3\t\t\t\n");

    run = qmtool({"grid", bank.path, "--no-chapters", "--no-difficulty"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "题型\t分值\t库内题数\t出题数\t大题总分\t小题分\n"
                       "填空题\t1\t1\t\t\t\n"
                       "选择题\t1\t1\t\t\t\n"
                       "\t2\t5\t\t\t\n");

    run = qmtool({"grid", bank.path, "--colour"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("--colour"));
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_EQ(qmtool({"grid", bank.path, "--types"}).exitCode, 2);
    EXPECT_EQ(qmtool({"grid"}).exitCode, 2);

    run = qmtool({"grid", bank.dir.filePath("无.tik")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("无.tik")) << run.err.toStdString();
}

TEST(QmtoolCompose, DrawPrintsTheQuestionsAPlanDraws)
{
    ToolBank bank;
    Plan plan;
    plan.bank = "导入.tik";
    plan.options = {true, true, true, false};
    plan.grid = {gridHeader(plan.options),
                 {"选择题", "2", "5", "2", "10", "5"},
                 {"", "1", "1", "1", "", ""},
                 {"填空题", "1", "1", "3", "", ""}};
    const QString planPath = bank.dir.filePath("方案.faa");
    ASSERT_TRUE(savePlan(planPath, plan));

    const ToolRun run = qmtool({"draw", bank.path, planPath, "--seed", "12"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    QStringList lines = run.out.split('\n');
    ASSERT_EQ(lines.size(), 6) << run.out.toStdString();
    EXPECT_EQ(lines[0], "题型\t题号\t编号\t小题分");
    EXPECT_TRUE(lines[1].startsWith("选择题\t1\t"));
    EXPECT_TRUE(lines[1].endsWith("\t5"));
    EXPECT_TRUE(lines[2].startsWith("选择题\t2\t"));
    EXPECT_EQ(lines[3], "选择题\t3\t2\t");
    EXPECT_EQ(lines[4], "填空题\t1\t4\t");
    EXPECT_EQ(lines[5], "");
    // 3 fill-ins asked, 1 there.
    EXPECT_TRUE(run.err.endsWith("题库中符合条件的题目不够，共少选了 2 道题。\n")) << run.err.toStdString();
    // The same seed, the same paper.
    EXPECT_EQ(qmtool({"draw", bank.path, planPath, "--seed", "12"}).out, run.out);

    EXPECT_EQ(qmtool({"draw", bank.path, planPath, "--seed", "twelve"}).exitCode, 2);
    EXPECT_EQ(qmtool({"draw", bank.path, planPath, "--fast"}).exitCode, 2);
    EXPECT_EQ(qmtool({"draw", bank.path}).exitCode, 2);

    writeAll(bank.dir.filePath("坏.faa"), "\"a\"\r\n\"b\"\r\n");
    ToolRun bad = qmtool({"draw", bank.path, bank.dir.filePath("坏.faa")});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_TRUE(bad.err.contains("出题方案文件不完整：第 3 行应为适用专业，文件却已结束。")) << bad.err.toStdString();
    bad = qmtool({"draw", bank.dir.filePath("无.tik"), planPath});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_TRUE(bad.err.contains("无.tik")) << bad.err.toStdString();
}

TEST(QmtoolCompose, APlanOfMillionsOfBlankLinesTakesLittleMemory)
{
#ifdef QM_PROGRAM_SANITIZED
    GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit allows";
#endif
    ToolBank bank;
    Plan plan;
    plan.bank = "导入.tik";
    plan.options = {true, true, true, false};
    plan.grid = {gridHeader(plan.options), {"填空题", "1", "1", "1", "", ""}};
    const QString planPath = bank.dir.filePath("方案.faa");
    ASSERT_TRUE(savePlan(planPath, plan));
    // Nearly the largest plan file read: 16 MB of line ends, alone or after a plan.
    const QByteArray blankLines = QByteArray("\r\n").repeated(8 * 1024 * 1024 - 1024);
    const QString blank = bank.dir.filePath("空行.faa");
    const QString padded = bank.dir.filePath("长方案.faa");
    ASSERT_TRUE(writeAll(blank, blankLines));
    ASSERT_TRUE(writeAll(padded, readAll(planPath) + blankLines));

    // A few times the file's size is enough (a line kept as a string of its own costs far more).
    const auto drawWithin200MB = [&](const QString& path) {
        QProcess p;
        p.setChildProcessModifier([] {
            const rlimit limit{200 << 20, 200 << 20};
            ::setrlimit(RLIMIT_DATA, &limit);
        });
        p.start(QStringLiteral(QM_QMTOOL), {"draw", bank.path, path, "--seed", "1"});
        EXPECT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << p.readAllStandardError().toStdString();
        return ToolRun{p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                       QString::fromUtf8(p.readAllStandardError())};
    };
    ToolRun run = drawWithin200MB(blank);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.endsWith("qmtool: 出题方案文件“" + blank + "”是空的！\n")) << run.err.toStdString();
    run = drawWithin200MB(padded);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "题型\t题号\t编号\t小题分\n填空题\t1\t4\t\n");
}
