// qmtool compose, run as the built program.

#include "bankstore/paper_library.h"
#include "core/gbk.h"
#include "paper/header_settings.h"
#include "rtf/rich_text.h"
#include "selection/plan_file.h"
#include "support/qstring_print.h"
#include "support/run_qmtool.h"
#include "support/temp_bank.h"
#include "support/temp_dirs.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
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

TEST_F(ComposeRun, TheChoicesOfScoreLabelsAnswersAndBlankLines)
{
    // Blank lines kept beside the settings; the score labels and the key given here.
    ASSERT_TRUE(writeGbkFile(file("JuanMianXuanXiang.cfg"), QStringLiteral("答题空行=填空题,3\r\n")));
    const ToolRun run =
        qmtool({"compose", bank.path, planPath, file("试卷.rtf"), file("答案.rtf"), "--settings", settingsPath,
                "--score-style", "points", "--answers", "key", "--answer-lines", "选择题=1", "--seed", "4"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString paper = rtfPlainText(readAll(file("试卷.rtf")));
    EXPECT_TRUE(paper.contains("一、选择题（每小题20分，共40分）\n")) << paper.toStdString();
    EXPECT_TRUE(paper.contains("\n1．选择题")) << paper.toStdString();
    EXPECT_TRUE(paper.contains("二、填空题（每小题60分，共60分）\n")) << paper.toStdString();
    EXPECT_TRUE(paper.endsWith("1．填空题甲\n\n\n\n")) << paper.toStdString();
    EXPECT_TRUE(paper.contains(QRegularExpression("1．选择题\\d\n\n2．选择题\\d\n\n二")));
    const QString key = rtfPlainText(readAll(file("答案.rtf")));
    EXPECT_TRUE(key.contains("参考答案\n一、选择题（每小题20分，共40分）\n1．答案")) << key.toStdString();
    EXPECT_TRUE(key.endsWith("二、填空题（每小题60分，共60分）\n1．答案甲\n")) << key.toStdString();
    EXPECT_FALSE(key.contains("姓名"));

    const ToolRun wrong =
        qmtool({"compose", bank.path, planPath, file("试卷.rtf"), file("答案.rtf"), "--answers", "all"});
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_TRUE(said(wrong).startsWith("qmtool compose: --answers is sheet or key, not 'all'\n"))
        << said(wrong).toStdString();
}

TEST_F(ComposeRun, TheLayoutIsTakenFromTheChoicesFileOrTheOption)
{
    const QStringList documents{file("试卷.rtf"), file("答案.rtf")};
    // Kept beside the settings: A4 with the strip.
    ASSERT_TRUE(writeGbkFile(file("JuanMianXuanXiang.cfg"), QStringLiteral("版式=a4-seal\r\n")));
    ToolRun run = qmtool(QStringList{"compose", bank.path, planPath} + documents
                         + QStringList{"--settings", settingsPath, "--pdf"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QByteArray paper = readAll(file("试卷.rtf"));
    EXPECT_TRUE(paper.contains("{\\*\\qmlayout a4-seal}"));
    EXPECT_TRUE(paper.contains("txflTextFlow"));
    // The candidate writes name and number in the strip: the header has no line for them.
    EXPECT_FALSE(rtfPlainText(paper).contains("姓名"));
    EXPECT_FALSE(readAll(file("答案.rtf")).contains("txflTextFlow"));

    // The option has the last word: A3 in two columns, in the RTF and the PDF.
    run = qmtool(QStringList{"compose", bank.path, planPath} + documents
                 + QStringList{"--settings", settingsPath, "--pdf", "--layout", "a3"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    paper = readAll(file("试卷.rtf"));
    EXPECT_TRUE(paper.contains("\\landscape") && paper.contains("\\cols2"));
    EXPECT_FALSE(paper.contains("txflTextFlow"));
    EXPECT_TRUE(rtfPlainText(paper).contains("姓名"));
    QProcess info;
    info.start("pdfinfo", {file("试卷.pdf")});
    ASSERT_TRUE(info.waitForFinished(60000));
    EXPECT_TRUE(QString::fromUtf8(info.readAllStandardOutput()).contains("1191 x 842 pts (A3)"));

    const ToolRun wrong =
        qmtool(QStringList{"compose", bank.path, planPath} + documents + QStringList{"--layout", "A3"});
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_TRUE(said(wrong).startsWith("qmtool compose: --layout is a4, a4-seal, a3 or a3-seal, not 'A3'\n"))
        << said(wrong).toStdString();
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

TEST_F(ComposeRun, NoOutputIsOneOfTheInputsOrAnotherOutput)
{
    const QByteArray bankBytes = readAll(bank.path);
    const QByteArray planBytes = readAll(planPath);
    const QByteArray settingsBytes = readAll(settingsPath);
    ASSERT_TRUE(QDir().mkdir(file("子目录")));
    ASSERT_TRUE(QFile::link(bank.path, file("链接.rtf")));
    ASSERT_EQ(::link(QFile::encodeName(planPath).constData(), QFile::encodeName(file("硬链接.rtf")).constData()), 0);
    ASSERT_TRUE(QFile::link(settingsPath, file("卷.pdf")));
    ASSERT_TRUE(QFile::copy(bank.path, file("其他.tik")));
    ASSERT_TRUE(writeAll(file("笔记.rtf"), "上课要讲的内容"));
    const QStringList prepared = outputs();

    const auto inUse = [](const QString& output, const QString& input) {
        return output == input ? "qmtool: “" + output + "”是正在使用的文件，不能覆盖！\n"
                               : "qmtool: “" + output + "”就是正在使用的文件“" + input + "”，不能覆盖！\n";
    };
    const QList<std::pair<QStringList, QString>> cases = {
        {{bank.path, file("答案.rtf")}, inUse(bank.path, bank.path)},
        {{file("试卷.rtf"), planPath}, inUse(planPath, planPath)},
        {{settingsPath, file("答案.rtf")}, inUse(settingsPath, settingsPath)},
        {{file("链接.rtf"), file("答案.rtf")}, inUse(file("链接.rtf"), bank.path)},
        {{file("试卷.rtf"), file("硬链接.rtf")}, inUse(file("硬链接.rtf"), planPath)},
        {{file("子目录/../化学.tik"), file("答案.rtf")}, inUse(file("子目录/../化学.tik"), bank.path)},
        {{file("卷.rtf"), file("答案.rtf"), "--pdf"}, inUse(file("卷.pdf"), settingsPath)},
        // Not an input, but no paper either.
        {{file("其他.tik"), file("答案.rtf")},
         "qmtool: 文件“" + file("其他.tik") + "”已存在，它不是RTF文件，不能覆盖！\n"},
        {{file("试卷.rtf"), file("笔记.rtf")},
         "qmtool: 文件“" + file("笔记.rtf") + "”已存在，它不是RTF文件，不能覆盖！\n"},
    };
    for (const auto& [arguments, message] : cases) {
        const ToolRun run =
            qmtool(QStringList{"compose", bank.path, planPath} + arguments + QStringList{"--settings", settingsPath});
        EXPECT_EQ(run.exitCode, 1) << arguments.join(' ').toStdString();
        EXPECT_EQ(said(run), message);
    }

    // The paper and the answer sheet in one file, under two names.
    ASSERT_TRUE(writeAll(file("旧卷.rtf"), "{\\rtf1 旧卷}"));
    ASSERT_TRUE(QFile::link(file("旧卷.rtf"), file("同卷.rtf")));
    const ToolRun run =
        qmtool({"compose", bank.path, planPath, file("旧卷.rtf"), file("同卷.rtf"), "--settings", settingsPath});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(said(run).startsWith("qmtool compose: the paper and the answer sheet need different names\n"))
        << run.err.toStdString();
    EXPECT_EQ(readAll(file("旧卷.rtf")), "{\\rtf1 旧卷}");

    EXPECT_EQ(readAll(bank.path), bankBytes);
    EXPECT_EQ(readAll(planPath), planBytes);
    EXPECT_EQ(readAll(settingsPath), settingsBytes);
    EXPECT_TRUE(QFileInfo(file("链接.rtf")).isSymLink());
    QStringList expected = prepared + QStringList{"同卷.rtf", "旧卷.rtf"};
    expected.sort();
    EXPECT_EQ(outputs(), expected);
}

TEST_F(ComposeRun, AnOutputThatIsADeviceOrAPipeIsLeftAlone)
{
    const auto kindOf = [](const QString& path) {
        struct stat st {};
        return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & S_IFMT : 0;
    };
    const QString fifo = file("管道.rtf");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ToolRun run = qmtool({"compose", bank.path, planPath, fifo, file("答案.rtf"), "--settings", settingsPath});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(said(run), "qmtool: “" + fifo + "”不是普通文件，不能写入！\n");
    ASSERT_TRUE(writeAll(file("原文.rtf"), rtfFromPlainText("原文")));
    run = qmtool({"rtf2rtf", file("原文.rtf"), fifo});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(said(run), "qmtool: “" + fifo + "”不是普通文件，不能写入！\n");
    EXPECT_EQ(kindOf(fifo), S_IFIFO);

    // A device node (here one like /dev/null), where this file system lets one be made.
    const QString device = file("设备.pdf");
    if (::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0600, makedev(1, 3)) == 0) {
        run = qmtool(
            {"compose", bank.path, planPath, file("设备.rtf"), file("答案.rtf"), "--settings", settingsPath, "--pdf"});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(said(run), "qmtool: “" + device + "”不是普通文件，不能写入！\n");
        EXPECT_EQ(kindOf(device), S_IFCHR);
        QFile::remove(device);
    }
    QFile::remove(fifo);
    QFile::remove(file("原文.rtf"));
    EXPECT_EQ(outputs(), QStringList());
}

TEST_F(ComposeRun, AnOutputCutShortLeavesEveryOldOutputWhole)
{
    const QStringList names{"答案.pdf", "答案.rtf", "试卷.pdf", "试卷.rtf"};
    const QStringList arguments{"compose", bank.path, planPath, file("试卷.rtf"), file("答案.rtf"),
                                "--seed",  "1",       "--pdf",  "--settings",     settingsPath};
    ASSERT_EQ(qmtool(arguments).exitCode, 0);
    QMap<QString, QByteArray> old;
    qint64 largestRtf = 0, smallestPdf = std::numeric_limits<qint64>::max();
    for (const QString& name : names) {
        old[name] = readAll(file(name));
        if (name.endsWith(".rtf"))
            largestRtf = std::max(largestRtf, qint64(old[name].size()));
        else
            smallestPdf = std::min(smallestPdf, qint64(old[name].size()));
    }
    ASSERT_LT(largestRtf * 2, smallestPdf);

    // Another class's paper, where no file may grow as large as a PDF: the RTF documents are
    // written, the first PDF is cut short.
    paper::HeaderSettings other = *paper::loadSettings(settingsPath);
    other.className = "高三(5)班";
    ASSERT_TRUE(paper::saveSettings(settingsPath, other));
    const rlim_t limit = rlim_t(largestRtf + smallestPdf) / 2;
    QProcess p;
    p.setChildProcessModifier([limit] {
        const rlimit fileSize{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &fileSize);
        ::signal(SIGXFSZ, SIG_IGN);
    });
    p.start(QStringLiteral(QM_QMTOOL), arguments);
    ASSERT_TRUE(p.waitForFinished(60000));
    const ToolRun run{p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                      QString::fromUtf8(p.readAllStandardError())};
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(said(run), "qmtool: 无法写入PDF文件“" + file("试卷.pdf") + "”！\n");
    for (const QString& name : names)
        EXPECT_EQ(readAll(file(name)), old[name]) << name.toStdString();
    EXPECT_EQ(outputs(), names);
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

namespace {

// The 编号 of the questions a paper holds, read from the ids its draw printed: here the
// plain text of each question names it ("选择题1" is 编号 1, "填空题甲" 编号 4).
QStringList codesOf(const QString& paperText)
{
    QStringList codes;
    for (int i = 1; i <= 3; ++i)
        if (paperText.contains(QString("选择题%1\n").arg(i)))
            codes << QString::number(i);
    if (paperText.contains("填空题甲"))
        codes << "4";
    return codes;
}

}  // namespace

TEST_F(ComposeRun, AnAAndABPaperAreFiledAndTheirUsesCountedAndAvoided)
{
    // Three multiple-choice questions for two papers of two each, one fill-in for two of one:
    // B shares one of each with A, and says so.
    ToolRun run = qmtool({"compose", bank.path, planPath, file("A卷.rtf"), file("A答.rtf"), "--parallel",
                          file("B卷.rtf"), file("B答.rtf"), "--seed", "5", "--settings", settingsPath});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(said(run), "题数表第1行的题不够出两份不同的试卷，B卷与A卷共用了 1 道题。\n"
                         "题数表第2行的题不够出两份不同的试卷，B卷与A卷共用了 1 道题。\n");
    const QString a = rtfPlainText(readAll(file("A卷.rtf")));
    const QString b = rtfPlainText(readAll(file("B卷.rtf")));
    EXPECT_TRUE(a.startsWith("实验中学2023～2024学年第1学期\n高三(2)班《化学》平时测验(A)卷\n")) << a.toStdString();
    EXPECT_TRUE(b.startsWith("实验中学2023～2024学年第1学期\n高三(2)班《化学》平时测验(B)卷\n")) << b.toStdString();
    EXPECT_TRUE(rtfPlainText(readAll(file("B答.rtf"))).contains("(B)卷"));
    const QStringList codesA = codesOf(a);
    const QStringList codesB = codesOf(b);
    ASSERT_EQ(codesA.size(), 3);
    ASSERT_EQ(codesB.size(), 3);
    EXPECT_EQ(QSet<QString>(codesA.begin(), codesA.end()) | QSet<QString>(codesB.begin(), codesB.end()),
              (QSet<QString>{"1", "2", "3", "4"}));

    // Filing A records its uses under the paper's date; `usage` lists them.
    const QString library = file("期末.Juk");
    ASSERT_TRUE(PaperLibrary::createEmpty(library));
    run = qmtool({"library-add", library, file("A卷.rtf"), file("A答.rtf"), "--name", "期末A卷", "--date", "2026-01-10",
                  "--bank", bank.path, "--codes", codesA.join(',')});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "已存为第1份试卷\n已记下3道题的使用\n");
    run = qmtool({"usage", bank.path});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QString expected;
    for (const QString& c : QStringList{"1", "2", "3", "4"})
        if (codesA.contains(c))
            expected += c + "\t1\t2026-01-10\t期末A卷\n";
    EXPECT_EQ(run.out, expected);
    EXPECT_EQ(PaperLibrary(library).read(0)->particulars.date, "2026-01-10");

    // A draw avoiding what was used since the new year takes the unused question first and
    // says where it had to reuse.
    for (const char* seed : {"1", "2", "3"}) {
        run = qmtool({"draw", bank.path, planPath, "--seed", seed, "--avoid-used-since", "2026-01-01"});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QString unused =
            QSet<QString>{"1", "2", "3"}.subtract(QSet<QString>(codesA.begin(), codesA.end())).values().constFirst();
        QStringList drawnCodes;
        for (const QString& line : run.out.split('\n').mid(1, 3))
            drawnCodes << line.section('\t', 2, 2);
        EXPECT_TRUE(drawnCodes.contains(unused)) << run.out.toStdString();
        EXPECT_TRUE(said(run).contains("题数表第1行近期未用过的题不够，选了 1 道近期用过的题。\n"
                                       "题数表第2行近期未用过的题不够，选了 1 道近期用过的题。\n"))
            << said(run).toStdString();
    }
    run = qmtool({"draw", bank.path, planPath, "--prefer-unused", "--seed", "4"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();

    // Wrong calls change nothing.
    const QByteArray before = readAll(bank.path);
    for (const QStringList& wrong :
         {QStringList{"library-add", library, file("B卷.rtf"), file("B答.rtf"), "--name", "B", "--bank", bank.path},
          QStringList{"library-add", library, file("B卷.rtf"), file("B答.rtf"), "--name", "B", "--bank", bank.path,
                      "--codes", "1,x"},
          QStringList{"library-add", library, file("B卷.rtf"), file("B答.rtf"), "--name", "B", "--bank", bank.path,
                      "--codes", "1", "--date", "2026-1-10"},
          QStringList{"draw", bank.path, planPath, "--avoid-used-since", "2026-13-01"},
          QStringList{"compose", bank.path, planPath, file("A卷.rtf"), file("A答.rtf"), "--parallel", file("A卷.rtf"),
                      file("B答.rtf")},
          QStringList{"usage"}}) {
        EXPECT_EQ(qmtool(wrong).exitCode, 2) << wrong.join(' ').toStdString();
    }
    // A bank that is none files nothing.
    run = qmtool({"library-add", library, file("B卷.rtf"), file("B答.rtf"), "--name", "B", "--bank", file("无.tik"),
                  "--codes", "1"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(PaperLibrary(library).count(), 1);
    EXPECT_EQ(readAll(bank.path), before);
}
