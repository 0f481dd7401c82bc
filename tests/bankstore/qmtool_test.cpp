// The qmtool commands that build and show bank files.

#include "bankstore/bank_file.h"
#include "core/gbk.h"
#include "rtf/rich_text.h"
#include "support/qstring_print.h"
#include "support/run_qmtool.h"
#include "support/temp_dirs.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace qm;
using namespace qm::test;

TEST(Qmtool, BankDumpPrintsParticularsListsAndQuestions)
{
    TempProgramDir dir(false);
    const QString path = dir.file("b.tik");
    ASSERT_TRUE(BankFile::createEmpty(path));
    BankFile bank(path);
    ASSERT_TRUE(bank.setParticulars({"测试库", "生物", "", "", "", ""}));
    ASSERT_TRUE(bank.appendToList(AttributeList::Chapters, "第一章"));
    ASSERT_TRUE(bank.appendToList(AttributeList::Chapters, "第二章"));
    Question q;
    q.text = rtfFromPlainText("细胞是什么？\n第二行");
    q.answer = rtfFromPlainText("生命活动的基本单位");
    q.type = "简答题";
    q.chapter = "第一章";
    q.score = 1.5;
    ASSERT_TRUE(bank.add(q));

    const ToolRun run = qmtool({"bank-dump", path});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("题库名称：测试库\n"));
    EXPECT_TRUE(run.out.contains("章节表：第一章，第二章\n"));
    EXPECT_TRUE(run.out.contains("共有题目1道\n"));
    EXPECT_TRUE(run.out.contains("第1道  编号 1  简答题 | 第一章 |  |  | 1.5分\n"));
    EXPECT_TRUE(run.out.contains("题目：细胞是什么？\n        第二行\n"));
    EXPECT_TRUE(run.out.contains("答案：生命活动的基本单位\n"));

    writeAll(dir.file("text.tik"), "plain text");
    const ToolRun bad = qmtool({"bank-dump", dir.file("text.tik")});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_TRUE(bad.err.contains("不是本程序的题库文件"));
}

TEST(Qmtool, BankDumpReadsEveryDocumentOnItsOwn)
{
    TempProgramDir dir(false);
    const QString path = dir.file("b.tik");
    ASSERT_TRUE(BankFile::createEmpty(path));
    BankFile bank(path);
    // A table, a bold word in a second paragraph, GBK plain text that is not RTF, nothing:
    // what one document holds must not reach the next.
    const QList<std::pair<QByteArray, QByteArray>> documents = {
        {"{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fcharset134 SimSun;}}\\f0 \\trowd\\cellx1000\\cellx2000 "
         "\\intbl \\'bc\\'d7\\cell \\'d2\\'d2\\cell \\row\\pard \\'b1\\'fb\\par}",
         "{\\rtf1\\ansi \\b A\\b0\\par B\\par}"},
        {*gbkEncode(QStringLiteral("丁")), QByteArray()},
        {rtfFromPlainText("戊"), rtfFromPlainText("己")},
    };
    auto add = [&](const std::pair<QByteArray, QByteArray>& textAndAnswer) {
        Question q;
        q.text = textAndAnswer.first;
        q.answer = textAndAnswer.second;
        return bank.add(q).has_value();
    };
    for (const auto& d : documents)
        ASSERT_TRUE(add(d));
    // Positions count the questions there are; 编号 stay with their questions.
    ASSERT_TRUE(bank.remove(0));
    ASSERT_TRUE(add(documents[0]));

    const ToolRun run = qmtool({"bank-dump", path});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString questions = run.out.mid(run.out.indexOf("共有题目"));
    EXPECT_EQ(questions,
              QStringLiteral("共有题目3道\n"
                             "\n第1道  编号 2   |  |  |  | 0分\n  题目：丁\n  答案：\n"
                             "\n第2道  编号 3   |  |  |  | 0分\n  题目：戊\n  答案：己\n"
                             "\n第3道  编号 4   |  |  |  | 0分\n  题目：\n        甲\n        乙\n        丙\n"
                             "  答案：A\n        B\n"));
}

TEST(Qmtool, BuildBankTurnsATextSourceIntoABank)
{
    TempProgramDir dir(false);
    writeAll(dir.file("src.txt"),
             "# comment\n[参数]\nmc=样本\n[章节]\n第一章\n[题目]\n"
             "== 单选题 | 第一章 | 第一节 | 容易 | 2\n**细胞**膜的成分{blank}\r\nA．脂质\n-- 答案\nA\n");
    const ToolRun run = qmtool({"build-bank", dir.file("src.txt"), dir.file("out.tik")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    BankFile bank(dir.file("out.tik"));
    EXPECT_EQ(bank.particulars()->name, "样本");
    EXPECT_EQ(*bank.list(AttributeList::Chapters), QStringList({"第一章"}));
    const Question q = bank.read(0)->question;
    EXPECT_EQ(rtfPlainText(q.text), "细胞膜的成分　　　　　　\nA．脂质");
    EXPECT_EQ(rtfPlainText(q.answer), "A");
    EXPECT_EQ(q.unit, "第一节");
    EXPECT_EQ(q.score, 2);
}

TEST(Qmtool, BuildBankRefusesAFaultySourceAndKeepsTheOldOutput)
{
    TempProgramDir dir(false);
    writeAll(dir.file("out.tik"), "old");
    writeAll(dir.file("src.txt"), "[题目]\n== 单选题 | 第一章 | 第一节 | 容易\n文字\n-- 答案\nA\n");
    ToolRun run = qmtool({"build-bank", dir.file("src.txt"), dir.file("out.tik")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("src.txt:2:"));
    writeAll(dir.file("src.txt"), "[题目]\n== 单选题 | 第一章 | 第一节 | 容易 | 2\n文字\n");
    run = qmtool({"build-bank", dir.file("src.txt"), dir.file("out.tik")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(readAll(dir.file("out.tik")), "old");
    EXPECT_FALSE(QFile::exists(dir.file("out.tik.building")));
}

TEST(Qmtool, RtfTextLeavesPicturesOut)
{
    TempProgramDir dir(false);
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(image.save(&buffer, "PNG"));
    // A picture Qt can draw and one it cannot (a metafile) between the words.
    const QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0 SimSun;}}\\f0 \\'bc\\'d7{\\pict\\pngblip\\picw4\\pich4 " + png.toHex()
        + "}\\'d2\\'d2{\\pict\\wmetafile8\\picw100\\pich100 0102}\\par}";
    ASSERT_TRUE(writeAll(dir.file("p.rtf"), rtf));
    const ToolRun run = qmtool({"rtf2txt", dir.file("p.rtf")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "甲乙\n");
}

TEST(Qmtool, CommandsRefuseDevicesAndPipesWithoutReadingThem)
{
    TempProgramDir dir(false);
    const QString fifo = dir.file("管道");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString notRegular = QStringLiteral("“/dev/zero”不是普通文件，无法读取！\n");
    struct Case {
        QStringList args;
        QString message;
    };
    const QList<Case> cases = {
        {{"rtf2txt", "/dev/zero"}, notRegular},
        {{"rtf2rtf", "/dev/zero", dir.file("out.rtf")}, notRegular},
        {{"build-bank", "/dev/zero", dir.file("out.tik")}, notRegular},
        {{"build-users", fifo, dir.file("out.psw")}, QStringLiteral("“%1”不是普通文件，无法读取！\n").arg(fifo)},
        {{"bank-dump", "/dev/zero"}, QStringLiteral("文件“/dev/zero”不是本程序的题库文件，无法打开。\n")},
        {{"bank-dump", fifo}, QStringLiteral("文件“%1”不是本程序的题库文件，无法打开。\n").arg(fifo)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const ToolRun run = qmtool(c.args);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.err.contains(QStringLiteral("qmtool: ") + c.message)) << run.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(dir.file("out.rtf")));
    EXPECT_FALSE(QFile::exists(dir.file("out.tik")));
    EXPECT_FALSE(QFile::exists(dir.file("out.psw")));
}

TEST(Qmtool, HelpListsTheCommandsOnStdout)
{
    // Each command on a line of its own: its name, its arguments and what it does.
    const QStringList lines = {
        "  bank-dump BANK  (particulars, lists and questions as text)\n",
        "  build-bank SOURCE OUT  (a bank from a text source)\n",
        "  import BANK FILE [--skip-duplicates]  (imports a batch question file into a bank)\n",
        "  library-dump LIBRARY.Juk  (the papers of a paper library)\n",
        "  rtf2rtf IN OUT  (read and write again)\n",
    };
    const QStringList names = {"bank-dump", "build-template", "build-bank", "build-library", "build-users",
                               "grid",      "draw",           "import",     "library-dump",  "library-add",
                               "compose",   "rtf2txt",        "rtf2html",   "rtf2rtf",       "rtf2pdf"};
    for (const char* ask : {"--help", "-h", "help"}) {
        SCOPED_TRACE(ask);
        const ToolRun run = qmtool({ask});
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_TRUE(run.out.startsWith("usage: qmtool COMMAND [ARGS]\n")) << run.out.toStdString();
        for (const QString& line : lines)
            EXPECT_TRUE(run.out.contains(line)) << line.toStdString();
        for (const QString& name : names)
            EXPECT_TRUE(run.out.contains("\n  " + name + " ")) << name.toStdString();
        EXPECT_FALSE(run.err.contains("qmtool")) << run.err.toStdString();
    }

    // Without a command, or with one qmtool does not know, the list goes to stderr: a wrong call.
    ToolRun run = qmtool({});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.contains(lines[0]));
    run = qmtool({"--hlep"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.contains("qmtool: unknown command '--hlep'\nusage: qmtool COMMAND [ARGS]\n"))
        << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(lines[0]));
}

TEST(Qmtool, HelpOfACommandGivesItsUsageWhatItDoesAndAnExample)
{
    ToolRun run = qmtool({"help", "draw"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "usage: qmtool draw BANK PLAN.faa [--seed N] [--prefer-unused] [--avoid-used-since YYYY-MM-DD]  "
                       "(the questions a plan draws, tab-separated; the least used first, or none used since the date)"
                       "\n\n按出题方案从题库中抽题，列出抽到的题目；--seed 使每次抽到的相同，--prefer-unused "
                       "先抽用得最少的题，--avoid-used-since 不抽该日期以后用过的题。\n\n"
                       "例如：\n  qmtool draw 题库样本－生物.TIK 样例方案.faa --seed 1\n");
    // Every command the list names has an example, in its help and in the manual page.
    QFile manual(QStringLiteral(QM_SOURCE_DIR "/packaging/qmtool.1"));
    ASSERT_TRUE(manual.open(QIODevice::ReadOnly));
    const QString page = QString::fromUtf8(manual.readAll());
    const ToolRun list = qmtool({"--help"});
    const QStringList lines = list.out.split('\n');
    int commands = 0;
    for (qsizetype i = lines.indexOf("commands:") + 1; i > 0 && i < lines.size(); ++i) {
        const QString name = lines[i].trimmed().section(' ', 0, 0);
        if (name.isEmpty())
            continue;
        ++commands;
        run = qmtool({"help", name});
        EXPECT_EQ(run.exitCode, 0) << name.toStdString();
        EXPECT_TRUE(run.out.contains("\n例如：\n  qmtool " + name + " ")) << run.out.toStdString();
        QString roffName = name;
        roffName.replace('-', "\\-");
        EXPECT_TRUE(page.contains(".B " + roffName + "\n")) << name.toStdString();
        EXPECT_TRUE(page.contains(".B qmtool " + roffName + " ")) << name.toStdString();
    }
    EXPECT_GE(commands, 16);
    // A command qmtool does not know: a wrong call.
    run = qmtool({"help", "drwa"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("qmtool help: unknown command 'drwa'\nusage: qmtool COMMAND"))
        << run.err.toStdString();
}

TEST(Qmtool, AWrongCallNamesTheCommandAndItsUsage)
{
    TempProgramDir dir(false);
    struct Case {
        QStringList args;
        QString message;
    };
    const QList<Case> cases = {
        {{"bank-dump"},
         "qmtool bank-dump: one bank is needed\nusage: qmtool bank-dump BANK  (particulars, lists and questions as "
         "text)\n"},
        {{"import", dir.file("a.tik")},
         "qmtool import: a bank and a file are needed\nusage: qmtool import BANK FILE [--skip-duplicates]  (imports a batch question "
         "file into a bank)\n"},
        {{"build-library"},
         "qmtool build-library: wrong number of arguments\nusage: qmtool build-library OUT  (the empty paper library "
         "jk.jk)\n"},
        {{"rtf2txt", "a.rtf", "b.rtf"},
         "qmtool rtf2txt: one file is needed\nusage: qmtool rtf2txt FILE  (the document's text, UTF-8)\n"},
        {{"rtf2rtf", "a.rtf"},
         "qmtool rtf2rtf: a file to read and one to write are needed\nusage: qmtool rtf2rtf IN OUT  (read and write "
         "again)\n"},
        {{"library-dump", "a.Juk", "b.Juk"},
         "qmtool library-dump: one library is needed\nusage: qmtool library-dump LIBRARY.Juk  (the papers of a "
         "paper library)\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const ToolRun run = qmtool(c.args);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_TRUE(run.err.endsWith(c.message)) << run.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(dir.file("a.tik")));
}
