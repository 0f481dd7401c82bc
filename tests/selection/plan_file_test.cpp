// Composition plan files: what is written, what is read back and what is refused.

#include "core/gbk.h"
#include "selection/plan_file.h"
#include "support/qstring_print.h"
#include "support/temp_dirs.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace qm;
using namespace qm::selection;
using namespace qm::test;

namespace {

// A plan file of these lines, each ended by CR LF, in GBK.
QByteArray planFile(const QStringList& lines)
{
    return *gbkEncode(lines.join("\r\n") + "\r\n");
}

// The lines of a plan with all four options on (5 columns) and `rows` rows of cells.
QStringList smallPlanLines(const QString& rows = "2")
{
    return {"\"生物\"",   "\"生物.tik\"",
            "\"护理\"",   "\"\"",
            "1",          "1",
            "1",          "1",
            rows,         "5",
            "\"题型\"",   "\"库内题数\"",
            "\"出题数\"", "\"大题总分\"",
            "\"小题分\"", "\"选择题\"",
            "\"5\"",      "\"2\"",
            "\"10\"",     "\"\""};
}

std::optional<Plan> parsed(const QStringList& lines, QString* error)
{
    error->clear();
    return parsePlan(planFile(lines), error);
}

}  // namespace

TEST(PlanFile, WritesGbkLinesWithQuotedTexts)
{
    Plan plan;
    plan.subject = "生物";
    plan.bank = "生物.tik";
    plan.speciality = "护理";
    plan.syllabus = "2024\"新\"";
    plan.options = {true, true, true, true};
    plan.grid = {{"题型", "库内题数", "出题数", "大题总分", "小题分"}, {"选择题", "5", "2", "10", ""}};
    const QByteArray expected = "\"\xc9\xfa\xce\xef\"\r\n"  // "生物"
                                + *gbkEncode(u"\"生物.tik\"\r\n\"护理\"\r\n\"2024\"\"新\"\"\"\r\n"
                                             u"1\r\n1\r\n1\r\n1\r\n2\r\n5\r\n"
                                             u"\"题型\"\r\n\"库内题数\"\r\n\"出题数\"\r\n\"大题总分\"\r\n\"小题分\"\r\n"
                                             u"\"选择题\"\r\n\"5\"\r\n\"2\"\r\n\"10\"\r\n\"\"\r\n");
    EXPECT_EQ(planBytes(plan), expected);
    EXPECT_EQ(parsePlan(expected), plan);

    QString error;
    Plan broken = plan;
    broken.subject = "生\n物";
    EXPECT_FALSE(planBytes(broken, &error));
    EXPECT_EQ(error, "出题方案的科目含有换行，无法保存！");
    broken = plan;
    broken.grid[1][0] = "选择\r题";
    EXPECT_FALSE(planBytes(broken, &error));
    EXPECT_EQ(error, "题数表第1行第1列“选择\r题”含有换行，无法保存出题方案！");
    broken = plan;
    broken.grid[1][4] = "2😀";
    EXPECT_FALSE(planBytes(broken, &error));
    EXPECT_EQ(error, "出题方案中有无法保存的字符“😀”，请改掉后再保存！");
}

TEST(PlanFile, RoundTripsEveryCell)
{
    TempProgramDir dir(false);
    Plan plan;
    plan.subject = "化学 \"有机\"";
    plan.bank = "化学（上）.tik";
    plan.options = {};
    plan.grid = {{"题型", "章节", "单元", "难度", "分值", "库内题数", "出题数", "大题总分", "小题分"},
                 {"选择题", "第\"一\"章", " 第1节 ", "易", "2", "5", "2", "10", "2.5"},
                 {"", "第一章", "\"\"", "难", "1.5", "3", "", "", ""},
                 {"名词解释", "，", "'", "中", "4", "1", "1", "4", "4"}};
    const QString path = dir.file("方案.faa");
    QString error;
    ASSERT_TRUE(savePlan(path, plan, &error)) << error.toStdString();
    EXPECT_EQ(loadPlan(path, &error), plan) << error.toStdString();

    // Bare LF line ends, unquoted values and blanks around them are read too.
    const QByteArray loose =
        *gbkEncode(u"生物\n  \"a.tik\"  \n专业\n\n 0\n1\n1\n1\n2\n6\n题型\n章节\n库内题数\n出题数\n"
                   u"大题总分\n小题分\n选择题\n第一章\n3\n\n\n\n");
    const std::optional<Plan> read = parsePlan(loose, &error);
    ASSERT_TRUE(read) << error.toStdString();
    EXPECT_EQ(read->subject, "生物");
    EXPECT_EQ(read->bank, "a.tik");
    EXPECT_EQ(read->options, (GridOptions{false, true, true, true}));
    EXPECT_EQ(read->grid[1], QStringList({"选择题", "第一章", "3", "", "", ""}));
}

TEST(PlanFile, DamagedPlansAreRefusedWithTheLine)
{
    QString error;
    QStringList lines = smallPlanLines();
    ASSERT_TRUE(parsed(lines, &error));

    struct Case {
        QStringList lines;
        QString message;
    };
    auto with = [&](int line, const QString& value) {
        QStringList l = smallPlanLines();
        l[line - 1] = value;
        return l;
    };
    const QList<Case> cases = {
        {smallPlanLines().mid(0, 7), "出题方案文件不完整：第 8 行应为“无论分值”选项，文件却已结束。"},
        {smallPlanLines().mid(0, 17), "出题方案文件不完整：第 18 行应为题数表第 2 行第 3 格，文件却已结束。"},
        {smallPlanLines("1"), "出题方案文件第 16 行多余：按第 9、10 行，题数表的 5 个格子到第 15 行就结束了。"},
        {smallPlanLines("3"), "出题方案文件不完整：第 21 行应为题数表第 3 行第 1 格，文件却已结束。"},
        {smallPlanLines("abc"), "出题方案文件第 9 行应为行数，却是“abc”。"},
        {smallPlanLines("-2"), "出题方案文件第 9 行应为行数，却是“-2”。"},
        {smallPlanLines("2.0"), "出题方案文件第 9 行应为行数，却是“2.0”。"},
        {smallPlanLines("0"), "出题方案文件第 9 行的行数至少应为 1（表头），却是 0。"},
        {smallPlanLines("999999999"), "出题方案文件第 9 行的行数 999999999 太大，不是出题方案。"},
        {with(10, "9"), "出题方案文件第 10 行的列数按方案的选项应为 5，却是 9。"},
        {with(10, ""), "出题方案文件第 10 行应为列数，却是“”。"},
        {with(7, "2"), "出题方案文件第 7 行应为“不分难度”选项（0 或 1），却是“2”。"},
        {with(6, "0"), "出题方案文件第 6 行：选了“不分章节”就应同时“不分单元”（1），却是“0”。"},
        {with(12, "\"出题数\""),
         "出题方案文件第 11 至 15 行的表头应为“题型、库内题数、出题数、大题总分、小题分”，却是“题型、出题数、出题数、大题总"
         "分、小题分”。"},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(parsed(c.lines, &error)) << c.message.toStdString();
        EXPECT_EQ(error, c.message);
    }

    // Blank lines after the cells are no cells, however many; what stands after them is
    // found however far down it is.
    lines << ""
          << "  ";
    EXPECT_TRUE(parsed(lines, &error)) << error.toStdString();
    for (const int blank : {10, 300000}) {
        QStringList longer = smallPlanLines();
        for (int i = 0; i < blank; ++i)
            longer << "";
        EXPECT_TRUE(parsed(longer, &error)) << blank << error.toStdString();
        longer << "\"选择题\"";
        EXPECT_FALSE(parsed(longer, &error));
        EXPECT_EQ(error, QString("出题方案文件第 %1 行多余：按第 9、10 行，题数表的 10 个格子到第 20 行就结束了。")
                             .arg(20 + blank + 1));
    }
}

TEST(PlanFile, EmptyFilesAndMissingFiles)
{
    for (const QByteArray& bytes : {QByteArray(), QByteArray("\r\n"), QByteArray(" \r\n\t\n\r\n")}) {
        QString error;
        bool empty = false;
        EXPECT_FALSE(parsePlan(bytes, &error, &empty));
        EXPECT_TRUE(empty);
        EXPECT_TRUE(error.isEmpty());
    }
    bool empty = true;
    QString error;
    EXPECT_FALSE(parsePlan("\"生物\"\r\n", &error, &empty));
    EXPECT_FALSE(empty);

    TempProgramDir dir(false);
    EXPECT_FALSE(loadPlan(dir.file("无.faa"), &error, &empty));
    EXPECT_EQ(error, "出题方案文件“" + dir.file("无.faa") + "”不存在！");
    EXPECT_FALSE(empty);
    writeAll(dir.file("空.faa"), "");
    EXPECT_FALSE(loadPlan(dir.file("空.faa"), &error, &empty));
    EXPECT_TRUE(empty);
    EXPECT_FALSE(loadPlan(dir.path(), &error, &empty));
    EXPECT_FALSE(empty);
    EXPECT_FALSE(error.isEmpty());
    // A plan is small: a large file is refused before it is read.
    QFile large(dir.file("大.faa"));
    ASSERT_TRUE(large.open(QIODevice::WriteOnly));
    ASSERT_TRUE(large.resize(16 * 1024 * 1024 + 1));
    large.close();
    EXPECT_FALSE(loadPlan(large.fileName(), &error, &empty));
    EXPECT_EQ(error, "文件“" + large.fileName() + "”大于16MB，无法读取！");

    // Writing over a plan in a directory that cannot be written leaves nothing half-done.
    Plan plan;
    plan.grid = {{"题型", "库内题数", "出题数", "大题总分", "小题分"}};
    plan.options = {true, true, true, true};
    EXPECT_FALSE(savePlan(dir.file("无此目录/方案.faa"), plan, &error));
    EXPECT_EQ(error, "无法保存出题方案文件“" + dir.file("无此目录/方案.faa") + "”！");
}
