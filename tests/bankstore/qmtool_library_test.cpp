// qmtool library-add and library-dump, run as the built program.

#include "bankstore/paper_library.h"
#include "rtf/rich_text.h"
#include "support/qstring_print.h"
#include "support/run_qmtool.h"
#include "support/temp_dirs.h"

#include <QProcess>
#include <SQLiteCpp/Database.h>
#include <gtest/gtest.h>

using namespace qm;
using namespace qm::test;

TEST(QmtoolLibrary, AddFilesAPaperLastAndDumpListsThePapers)
{
    TempProgramDir dir(QStringList{"jk.jk"});
    const QString library = dir.file("期中.Juk");
    ASSERT_TRUE(PaperLibrary::createFromTemplate(dir.file("jk.jk"), library));
    writeAll(dir.file("卷.rtf"), rtfFromPlainText("一、选择题\n1．细胞"));
    writeAll(dir.file("答.rtf"), rtfFromPlainText("1．A"));

    ToolRun run = qmtool({"library-add", library, dir.file("卷.rtf"), dir.file("答.rtf"), "--name", "期中考试",
                          "--setter", "张老师", "--group", "生物组", "--department", "理科", "--date", "2024-6-1"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "已存为第1份试卷\n");
    run = qmtool({"library-add", library, dir.file("答.rtf"), dir.file("卷.rtf"), "--name", "补考"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "已存为第2份试卷\n");
    const Paper filed = *PaperLibrary(library).read(0);
    EXPECT_EQ(filed.paper, readAll(dir.file("卷.rtf")));
    EXPECT_EQ(filed.answers, readAll(dir.file("答.rtf")));

    run = qmtool({"library-dump", library});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QString("共有试卷2份\n"
                               "序号\t卷名\t出卷人\t教研组\t科室\t时间\t试卷字数\t答卷字数\n"
                               "1\t期中考试\t张老师\t生物组\t理科\t2024-6-1\t10\t3\n"
                               "2\t补考\t\t\t\t\t3\t10\n"));
}

TEST(QmtoolLibrary, WrongCallsAndFilesThatCannotBeFiledChangeNothing)
{
    TempProgramDir dir(QStringList{"jk.jk"});
    const QString library = dir.file("期中.Juk");
    ASSERT_TRUE(PaperLibrary::createFromTemplate(dir.file("jk.jk"), library));
    writeAll(dir.file("卷.rtf"), rtfFromPlainText("试卷"));
    writeAll(dir.file("答.doc"), "\xD0\xCF\x11\xE0 word");
    writeAll(dir.file("坏.Juk"), "not a library");

    ToolRun run = qmtool({"library-add", library, dir.file("卷.rtf"), dir.file("答.doc"), "--name", "期中"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.endsWith("qmtool: 文件“" + dir.file("答.doc") + "”不是RTF格式文件，不能导入！\n"))
        << run.err.toStdString();
    run = qmtool({"library-add", dir.file("坏.Juk"), dir.file("卷.rtf"), dir.file("卷.rtf"), "--name", "期中"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.endsWith("qmtool: 文件“" + dir.file("坏.Juk") + "”不是本程序的试卷库文件，无法打开。\n"))
        << run.err.toStdString();
    EXPECT_EQ(readAll(dir.file("坏.Juk")), "not a library");
    for (const QStringList& wrong :
         {QStringList{"library-add", library, dir.file("卷.rtf"), dir.file("卷.rtf")},
          QStringList{"library-add", library, dir.file("卷.rtf"), "--name", "期中"},
          QStringList{"library-add", library, dir.file("卷.rtf"), dir.file("卷.rtf"), "--name"},
          QStringList{"library-add", library, dir.file("卷.rtf"), dir.file("卷.rtf"), "--name", "x", "--colour", "红"},
          QStringList{"library-dump"}}) {
        run = qmtool(wrong);
        EXPECT_EQ(run.exitCode, 2) << wrong.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains("usage")) << run.err.toStdString();
    }
    EXPECT_EQ(PaperLibrary(library).count(), 0);
    run = qmtool({"library-dump", dir.file("坏.Juk")});
    EXPECT_EQ(run.exitCode, 1);
}

TEST(QmtoolLibrary, APaperIsFiledWhileALongDumpIsUnderWay)
{
    TempProgramDir dir(QStringList{"jk.jk"});
    const QString library = dir.file("大.Juk");
    ASSERT_TRUE(PaperLibrary::createFromTemplate(dir.file("jk.jk"), library));
    // Papers with long names: the listing is far larger than a pipe holds.
    PaperLibrary lib(library);
    for (int i = 0; i < 100; ++i) {
        Paper paper;
        paper.paper = rtfFromPlainText("试卷");
        paper.particulars.name = QString("长卷名").repeated(700) + QString::number(i);
        ASSERT_TRUE(lib.append(paper));
    }
    writeAll(dir.file("卷.rtf"), rtfFromPlainText("新的试卷"));

    // The dump's reader does not read on: the dump soon waits for it, in the middle of the
    // listing, as it would behind a slow terminal or a pager.
    QProcess dump;
    dump.start(QStringLiteral(QM_QMTOOL), {"library-dump", library});
    ASSERT_TRUE(dump.waitForReadyRead(60000));
    const ToolRun add = qmtool({"library-add", library, dir.file("卷.rtf"), dir.file("卷.rtf"), "--name", "新卷"});
    EXPECT_EQ(add.exitCode, 0) << add.err.toStdString();
    EXPECT_EQ(add.out, "已存为第101份试卷\n");

    ASSERT_TRUE(dump.waitForFinished(60000));
    EXPECT_EQ(dump.exitCode(), 0) << dump.readAllStandardError().toStdString();
    // The papers there were when the dump began.
    const QStringList lines = QString::fromUtf8(dump.readAll()).split('\n');
    ASSERT_EQ(lines.size(), 103);
    EXPECT_EQ(lines[0], "共有试卷100份");
    EXPECT_TRUE(lines[101].startsWith("100\t长卷名长卷名")) << lines[101].left(40).toStdString();
    EXPECT_EQ(lines[102], "");
    ASSERT_EQ(lib.count(), 101);
    EXPECT_EQ(lib.read(100)->particulars.name, "新卷");
}

TEST(QmtoolLibrary, NamesThatWouldBreakTheListingAreRefusedOrEscaped)
{
    TempProgramDir dir(QStringList{"jk.jk"});
    const QString library = dir.file("期中.Juk");
    ASSERT_TRUE(PaperLibrary::createFromTemplate(dir.file("jk.jk"), library));
    writeAll(dir.file("卷.rtf"), rtfFromPlainText("试卷"));
    const QStringList paper{"library-add", library, dir.file("卷.rtf"), dir.file("卷.rtf")};

    ToolRun run = qmtool(paper + QStringList{"--name", "期中\t考试"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.endsWith("qmtool: “卷名”中不能有换行符、制表符等控制字符！\n")) << run.err.toStdString();
    run = qmtool(paper + QStringList{"--name", "期中", "--group", "生物\n组"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.endsWith("qmtool: “教研组”中不能有换行符、制表符等控制字符！\n")) << run.err.toStdString();
    EXPECT_EQ(PaperLibrary(library).count(), 0);

    // A library from elsewhere may hold such names: each paper still takes one line.
    {
        SQLite::Database db(library.toStdString(), SQLite::OPEN_READWRITE);
        db.exec("INSERT INTO 卷库 (卷名, 出卷人, 教研组, 科室, 时间) "
                "VALUES ('期中' || char(9) || '考试', '张' || char(13, 10) || '老师', 'C:\\组', char(7), '')");
    }
    run = qmtool({"library-dump", library});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QString("共有试卷1份\n"
                               "序号\t卷名\t出卷人\t教研组\t科室\t时间\t试卷字数\t答卷字数\n"
                               "1\t期中\\t考试\t张\\r\\n老师\tC:\\\\组\t\\x07\t\t0\t0\n"));
}
