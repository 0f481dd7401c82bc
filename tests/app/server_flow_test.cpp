// The whole program on a work path that names a database server: start-up, login with the
// passwords the server keeps as hashes, a question added in the bank window, a paper composed
// from the sample plan and filed in a library, its uses recorded in the server's bank.

#include "app/app.h"
#include "bankstore/bank_file.h"
#include "bankstore/paper_library.h"
#include "bankstore/server_store.h"
#include "bankstore/user_store.h"
#include "composer/bank_choice_panel.h"
#include "composer/contents_panel.h"
#include "composer/count_grid_panel.h"
#include "composer/form3.h"
#include "composer/paper_panel.h"
#include "composer/plan_panel.h"
#include "editor/bank_panel.h"
#include "editor/copy_in_panel.h"
#include "editor/copy_out_panel.h"
#include "editor/entry_pane.h"
#include "editor/form2.h"
#include "library/form7.h"
#include "library/paper_view.h"
#include "shell/form1.h"
#include "shell/workpath.h"
#include "support/scripted_prompt.h"
#include "support/temp_dirs.h"
#include "support/test_server.h"
#include "widgets/filelists.h"
#include "widgets/richtextbox.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace qm;
using namespace qm::test;

TEST(WholeProgramOnServer, LoginBankEntryCompositionAndFilingWorkOnADatabaseWorkPath)
{
    if (!TestDatabase::configured())
        GTEST_SKIP() << "no test server";
    TestDatabase db;
    ASSERT_TRUE(db.ready()) << db.error().toStdString();
    TempProgramDir dir;
    const QString bankPath = db.bank("样板学科", "题库样本－生物.TIK");
    QString error;
    ASSERT_TRUE(copyBank(dir.file("sample.tik"), bankPath, &error)) << error.toStdString();
    UserStore users(db.uri());
    ASSERT_TRUE(users.add({"SYSTEM", ""}));
    ASSERT_TRUE(users.add({"王老师", "abc"}));
    ASSERT_TRUE(writeWorkPath(dir.path(), db.uri()));
    // Paper libraries stay in the program directory, as with a work path of files.
    ASSERT_TRUE(QDir().mkpath(dir.file("tiku/样板学科")));
    const QString libraryPath = dir.file("tiku/样板学科/期中.Juk");
    ASSERT_TRUE(PaperLibrary::createFromTemplate(dir.file("jk.jk"), libraryPath));

    ScriptedPrompt prompt;
    App app{dir.workspace, prompt};
    app.setQuit([](bool) {});
    app.start();
    prompt.verify();
    Form1& main = *app.mainWindow();
    Form2& banks = *app.bankWindow();
    EXPECT_EQ(dir.workspace.BankRoot(), db.uri() + "#");
    EXPECT_EQ(banks.Combo1->currentText(), "样板学科");
    EXPECT_EQ(dir.workspace.SubjectDir(), db.uri() + "#样板学科/");
    ASSERT_EQ(banks.File1->ListCount(), 1);
    EXPECT_EQ(banks.File1->List(0), "题库样本－生物.TIK");
    // Nothing was made beside the program for the server's banks.
    EXPECT_FALSE(QFileInfo::exists(dir.file("tiku/样板学科/题库样本－生物.TIK")));

    // The server checks the password; the user grid never shows one.
    const auto login = [&](const QString& name, const QString& password) {
        main.Text1->setText(name);
        main.Text2->setText(password);
        main.Command8->click();
        return main.mnuCompose->menuAction()->isEnabled();
    };
    EXPECT_FALSE(login("王老师", "ABC"));
    EXPECT_TRUE(login("王老师", "abc"));
    EXPECT_EQ(main.currentUser(), "王老师");

    // A question added in the bank window.
    const int before = *BankFile(bankPath).count();
    main.mnuBanks->trigger();
    banks.File1->clickItem(0);
    banks.Frame1->Timer1_Timer();
    banks.Frame1->Command27->click();
    EntryPane& entry = *banks.Frame7;
    ASSERT_TRUE(entry.isVisible());
    EXPECT_EQ(entry.Combo2->count(), 5);
    entry.Command34->click();
    entry.RichTextBox1->setText("服务器上新加的题");
    entry.Command34->click();
    EXPECT_EQ(BankFile(bankPath).count(), before + 1);
    entry.Command28->click();

    // A bank copied out into a file and back in under another name, whole; a second copy
    // in asks before it replaces.
    const QString outside = dir.file("外来.TIK");
    banks.Frame8->open();
    banks.Frame8->Text13->setText(outside);
    banks.Frame8->Command43->click();
    EXPECT_EQ(BankFile(outside).count(), before + 1);
    for (const Answer answer : {Answer::Yes, Answer::No}) {
        banks.Frame9->open();
        banks.Frame9->Text14->setText(outside);
        if (answer == Answer::No) {
            prompt.expectMessage("文件已存在，是否覆盖？", "警告", Icon::Question, Buttons::YesNo, answer, Answer::No);
            prompt.expectMessage("目标文件可能已打开，拷贝错误，请检查！", "错误", Icon::Warning);
        }
        banks.Frame9->Command46->click();
        prompt.verify();
    }
    EXPECT_EQ(BankFile(db.bank("样板学科", "外来.TIK")).count(), before + 1);
    EXPECT_TRUE(banks.File1->selectFile("外来.TIK"));
    banks.hide();

    // A paper from the sample plan, drawn from the server's bank and filed in a library.
    main.mnuAuto->trigger();
    Form3& compose = *app.autoComposeWindow();
    EXPECT_EQ(compose.Bank->bankPath(), bankPath);
    compose.Command45->click();  // 打开方案
    prompt.expectOpenFile("打开出题方案", "出题方案(*.faa)|*.faa", dir.file("样例方案.faa"));
    compose.Plans->Command46->click();
    compose.Plans->Command47->click();
    prompt.verify();
    compose.Command5->click();             // 自动出卷
    compose.Contents->Command41->click();  // 预出卷
    ASSERT_EQ(compose.Contents->rows().size(), 39);
    compose.Contents->Command22->click();  // 出　卷
    compose.Paper->Command14->click();     // to the paper library
    prompt.verify();
    Form7& papers = *app.libraryWindow();
    ASSERT_TRUE(papers.isVisible());
    ASSERT_TRUE(papers.File1->selectFile("期中.Juk"));
    papers.File1->clickItem(papers.File1->ListIndex());
    papers.Paper->Text5->setText("期中考试");
    papers.Paper->Command3->click();
    prompt.verify();
    EXPECT_EQ(PaperLibrary(libraryPath).count(), 1);

    // Each drawn question's use is recorded in the bank on the server.
    const auto uses = BankFile(bankPath).usage();
    ASSERT_TRUE(uses);
    EXPECT_EQ(uses->size(), 39);
    for (const UsageSummary& u : *uses)
        EXPECT_EQ(u.last.library, "期中");

    for (QWidget* w : QApplication::topLevelWidgets())
        w->hide();
}

TEST(WholeProgramOnServer, TheWorkPathTakesADatabaseThatHoldsTheProgramsTables)
{
    if (!TestDatabase::configured())
        GTEST_SKIP() << "no test server";
    TestDatabase bare(true, false);
    TestDatabase db;
    ASSERT_TRUE(bare.ready() && db.ready());
    TempProgramDir dir;
    ScriptedPrompt prompt;
    QList<bool> quits;
    App app{dir.workspace, prompt};
    app.setQuit([&](bool restart) { quits.append(restart); });
    app.start();
    Form1& main = *app.mainWindow();
    main.Text1->setText("SYSTEM");
    main.Command8->click();
    main.mnuWorkPath->trigger();

    // A database without the tables is no work path; the URI is kept as typed.
    main.Text5->setText(bare.uri());
    prompt.expectMessage("路径设置错误或该计算机未打开！", "提示", Icon::Warning);
    main.Command14->click();
    prompt.verify();
    EXPECT_EQ(main.Text5->text(), bare.uri());
    EXPECT_TRUE(quits.isEmpty());

    main.Text5->setText(db.uri());
    prompt.expectMessage("路径设置成功，系统将重新运行！", "提示", Icon::Warning);
    main.Command14->click();
    prompt.verify();
    EXPECT_EQ(quits, QList<bool>{true});
    EXPECT_EQ(readWorkPath(dir.path()), db.uri());
    for (QWidget* w : QApplication::topLevelWidgets())
        w->hide();
}
