// The whole program as a user meets it: the real App in a program directory made from the
// shipped files, start-up, login, each menu command to the window it names, and every
// hand-off between the windows checked on the receiving side.

#include "app/app.h"
#include "bankstore/bank_file.h"
#include "bankstore/paper_library.h"
#include "composer/bank_choice_panel.h"
#include "composer/browse_panel.h"
#include "composer/contents_panel.h"
#include "composer/count_grid_panel.h"
#include "composer/form3.h"
#include "composer/form5.h"
#include "composer/manual_bank_panel.h"
#include "composer/paper_panel.h"
#include "composer/plan_panel.h"
#include "core/numbers.h"
#include "editor/bank_panel.h"
#include "editor/form2.h"
#include "editor/form4.h"
#include "library/form7.h"
#include "library/paper_view.h"
#include "rtf/rich_text.h"
#include "shell/form1.h"
#include "shell/form6.h"
#include "shell/form8.h"
#include "shell/help_window.h"
#include "support/scripted_prompt.h"
#include "support/temp_dirs.h"
#include "widgets/filelists.h"
#include "widgets/flexgrid.h"
#include "widgets/richtextbox.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace qm;
using namespace qm::test;

namespace {

class WholeProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        app.setQuit([this](bool restart) { quits.append(restart); });
        // The first start has no work path yet: the local data is used without a message.
        app.start();
        prompt.verify();
    }
    void TearDown() override
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            w->hide();
    }
    Form1& main() { return *app.mainWindow(); }
    Form2& banks() { return *app.bankWindow(); }
    Form7& papers() { return *app.libraryWindow(); }
    void login(const QString& user, const QString& password = QString())
    {
        main().Text1->setText(user);
        main().Text2->setText(password);
        main().Command8->click();
    }
    // The top-level windows now shown, by object name.
    static QStringList shownWindows()
    {
        QStringList names;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->isWindow() && !qobject_cast<QMenu*>(w))
                names << w->objectName();
        names.sort();
        return names;
    }

    TempProgramDir dir;
    ScriptedPrompt prompt;
    App app{dir.workspace, prompt};
    QList<bool> quits;
};

}  // namespace

TEST_F(WholeProgram, StartsOnTheMainWindowWithTheLoginPanelAndLocksTheMenusUntilLogin)
{
    EXPECT_EQ(shownWindows(), QStringList{"Form1"});
    EXPECT_FALSE(main().Frame1->isHidden());
    EXPECT_EQ(dir.workspace.BankRoot(), dir.file("tiku/"));
    for (QAction* locked :
         {main().mnuLibrary->menuAction(), main().mnuCompose->menuAction(), main().mnuPassword, main().mnuWorkPath})
        EXPECT_FALSE(locked->isEnabled()) << locked->text().toStdString();
    EXPECT_TRUE(main().mnuAbout->isEnabled());
    EXPECT_TRUE(main().mnuExit->isEnabled());

    // A wrong password changes nothing.
    login("SYSTEM", "wrong");
    EXPECT_FALSE(main().mnuLibrary->menuAction()->isEnabled());
    EXPECT_FALSE(main().Frame1->isHidden());

    login("system");
    EXPECT_TRUE(main().Frame1->isHidden());
    for (QAction* open :
         {main().mnuLibrary->menuAction(), main().mnuCompose->menuAction(), main().mnuPassword, main().mnuWorkPath})
        EXPECT_TRUE(open->isEnabled()) << open->text().toStdString();
}

TEST_F(WholeProgram, EachMenuCommandOpensTheWindowItNames)
{
    login("SYSTEM");
    main().mnuBanks->trigger();
    EXPECT_EQ(shownWindows(), (QStringList{"Form1", "Form2"}));
    EXPECT_EQ(banks().windowTitle(), "题库录入");
    banks().hide();

    main().mnuAbout->trigger();
    EXPECT_EQ(shownWindows(), (QStringList{"Form1", "Form8"}));
    main().about()->hide();

    main().mnuAuto->trigger();
    EXPECT_EQ(shownWindows(), (QStringList{"Form1", "Form3"}));
    EXPECT_EQ(app.autoComposeWindow()->windowTitle(), "智能组卷");
    app.autoComposeWindow()->hide();

    main().mnuManual->trigger();
    EXPECT_EQ(shownWindows(), (QStringList{"Form1", "Form5"}));
    EXPECT_EQ(app.manualComposeWindow()->windowTitle(), "手工组卷");
    app.manualComposeWindow()->hide();

    main().mnuPapers->trigger();
    EXPECT_EQ(shownWindows(), (QStringList{"Form1", "Form7"}));
    EXPECT_EQ(papers().windowTitle(), "试卷管理");
    // Opened with the first subject chosen and its libraries listed.
    EXPECT_EQ(papers().Combo1->currentText(), "样板学科");
    EXPECT_EQ(papers().File1->Path(), dir.file("tiku/样板学科/"));
    papers().hide();

    // "帮助": the user guide with its contents, without a message.
    main().mnuHelp->trigger();
    prompt.verify();
    EXPECT_EQ(shownWindows(), (QStringList{"Form1", "HelpWindow"}));
    HelpWindow& help = *app.helpWindow();
    EXPECT_EQ(help.windowTitle(), "使用说明");
    ASSERT_GE(help.Contents->topLevelItemCount(), 10);
    EXPECT_EQ(help.Contents->topLevelItem(0)->text(0), "第一章　十分钟出第一份试卷");
    EXPECT_EQ(help.Contents->topLevelItem(5)->text(0), "第六章　批量导入题目");
    EXPECT_TRUE(help.Browser->toPlainText().contains("新题库"));
    help.hide();
}

TEST_F(WholeProgram, TheGuideNamesEveryWindowByItsTitle)
{
    main().mnuHelp->trigger();
    const QString guide = app.helpWindow()->Browser->toPlainText();
    const QList<QWidget*> windows{app.bankWindow(),
                                  app.bankWindow()->form4(),
                                  app.autoComposeWindow(),
                                  app.manualComposeWindow(),
                                  app.bankInformationWindow(),
                                  app.libraryWindow(),
                                  main().about(),
                                  app.helpWindow()};
    for (QWidget* w : windows)
        EXPECT_TRUE(guide.contains(w->windowTitle())) << w->windowTitle().toStdString();
    EXPECT_TRUE(guide.contains("主窗口"));
    app.helpWindow()->hide();
}

TEST_F(WholeProgram, TheSamplePlanBesideTheSampleBankComposesAPaperFromIt)
{
    login("SYSTEM");
    main().mnuAuto->trigger();
    Form3& compose = *app.autoComposeWindow();
    compose.Command45->click();  // 打开方案
    prompt.expectOpenFile("打开出题方案", "出题方案(*.faa)|*.faa", dir.file("tiku/样板学科/样例方案.faa"));
    compose.Plans->Command46->click();
    compose.Plans->Command47->click();
    prompt.verify();
    EXPECT_EQ(compose.Counts->Text5->text(), "100");
    compose.Command5->click();             // 自动出卷
    compose.Contents->Command41->click();  // 预出卷
    prompt.verify();
    // 15 单选题, 10 填空题, 9 判断题 and 5 简答题.
    EXPECT_EQ(compose.Contents->rows().size(), 39);
    compose.Contents->Command22->click();  // 出　卷
    prompt.verify();
    const QString paper = compose.Paper->RichTextBox3->toPlainText();
    for (const char* section : {"一、单选题(30%)", "二、填空题(22%)", "三、判断题(18%)", "四、简答题(30%)"})
        EXPECT_TRUE(paper.contains(section)) << section;
    compose.hide();
}

TEST_F(WholeProgram, FormatHelpOfTheImportDescriptionOpensTheGuideAtTheBatchFormat)
{
    login("SYSTEM");
    main().mnuBanks->trigger();
    Form4& description = *banks().form4();
    EXPECT_EQ(description.Command1->text(), "格式说明");
    description.Command1->click();
    prompt.verify();
    HelpWindow& help = *app.helpWindow();
    EXPECT_TRUE(help.isVisible());
    ASSERT_NE(help.Contents->currentItem(), nullptr);
    EXPECT_EQ(help.Contents->currentItem()->text(0), "第六章　批量导入题目");
    // The search finds the new format's header in that chapter.
    help.Text1->setText("新题库");
    help.Command1->click();
    EXPECT_EQ(help.Browser->textCursor().selectedText(), "新题库");
    help.Text1->setText("没有这样的字词");
    help.Command1->click();
    EXPECT_EQ(help.Label1->text(), "找不到“没有这样的字词”。");
    help.hide();
}

TEST_F(WholeProgram, TheBankWindowStartsOnTheBankRootWithTheSampleSubject)
{
    // bankRootReady: the bank window has read the subjects of the bank root start-up chose.
    EXPECT_EQ(banks().Combo1->currentText(), "样板学科");
    EXPECT_EQ(dir.workspace.SubjectDir(), dir.file("tiku/样板学科/"));
    ASSERT_EQ(banks().File1->ListCount(), 1);
    EXPECT_EQ(banks().File1->List(0), "题库样本－生物.TIK");
}

TEST_F(WholeProgram, LeavingTheBankWindowBringsBackTheMainWindow)
{
    login("SYSTEM");
    main().mnuBanks->trigger();
    main().hide();
    banks().Frame1->Command8->click();
    EXPECT_TRUE(main().isVisible());
}

TEST_F(WholeProgram, TheCompositionWindowTakesTheSubjectsAndTheBankWindowFollowsItsBank)
{
    login("SYSTEM");
    QDir().mkpath(dir.file("tiku/数学"));
    ASSERT_TRUE(BankFile::createEmpty(dir.file("tiku/数学/期中.tik")));
    banks().RefreshXueKe();
    main().mnuAuto->trigger();
    Form3& compose = *app.autoComposeWindow();
    ASSERT_EQ(compose.Bank->Combo1->count(), 2);
    EXPECT_EQ(compose.Bank->Combo1->currentText(), banks().Combo1->itemText(0));

    compose.Bank->Combo1->setCurrentIndex(compose.Bank->Combo1->findText("数学"));
    compose.Bank->Combo1_Click();
    EXPECT_EQ(banks().Combo1->currentText(), "数学");
    EXPECT_EQ(dir.workspace.SubjectDir(), dir.file("tiku/数学/"));
    EXPECT_EQ(banks().File1->FileName(), "期中.tik");

    // Leaving the composition window puts the bank window away as well.
    main().mnuBanks->trigger();
    compose.Command1->click();
    EXPECT_EQ(shownWindows(), QStringList{"Form1"});
}

TEST_F(WholeProgram, ExitFromTheMenuOrTheCloseBoxEndsTheProgram)
{
    main().mnuExit->trigger();
    EXPECT_EQ(quits, QList<bool>{false});
    main().close();
    EXPECT_EQ(quits, (QList<bool>{false, false}));
}

TEST_F(WholeProgram, ANewWorkPathRestartsTheProgram)
{
    login("SYSTEM");
    main().mnuWorkPath->trigger();
    // The program directory holds a user file, so it is a valid work path.
    main().Text5->setText(dir.path());
    prompt.expectMessage("路径设置成功，系统将重新运行！", "提示", Icon::Warning);
    main().Command14->click();
    prompt.verify();
    EXPECT_EQ(quits, QList<bool>{true});
}

TEST_F(WholeProgram, ThePaperLibraryListsTheSubjectsOfTheBankWindow)
{
    // From start-up on, before the window is first shown.
    ASSERT_EQ(papers().Combo1->count(), 1);
    EXPECT_EQ(papers().Combo1->itemText(0), "样板学科");
    QDir().mkpath(dir.file("tiku/数学"));
    banks().RefreshXueKe();
    ASSERT_EQ(papers().Combo1->count(), 2);
    EXPECT_EQ(papers().Combo1->itemText(0), "数学");
    EXPECT_EQ(papers().Combo1->itemText(1), "样板学科");
}

TEST_F(WholeProgram, APaperFromAutomaticCompositionIsFiledInTheChosenLibrary)
{
    login("SYSTEM");
    ASSERT_TRUE(PaperLibrary::createFromTemplate(dir.file("jk.jk"), dir.file("tiku/样板学科/期中.Juk")));
    main().mnuAuto->trigger();
    Form3& compose = *app.autoComposeWindow();
    PaperPanel& composed = *compose.Paper;
    composed.RichTextBox3->setTextRTF(rtfFromPlainText("一、选择题\n1．细胞是什么？"));
    composed.RichTextBox4->setTextRTF(rtfFromPlainText("一、选择题\n1．生命的基本单位"));
    composed.Command14->click();

    // The library window comes up holding the paper, waiting to file it.
    EXPECT_TRUE(papers().isVisible());
    EXPECT_EQ(callerCode(papers().cursor.origin()), "3");
    PaperView& view = *papers().Paper;
    EXPECT_EQ(view.RichTextBox1->Text(), "一、选择题\n1．细胞是什么？");
    EXPECT_EQ(view.RichTextBox2->Text(), "一、选择题\n1．生命的基本单位");
    EXPECT_TRUE(view.Command3->isEnabled());

    ASSERT_TRUE(papers().File1->selectFile("期中.Juk"));
    papers().File1->clickItem(papers().File1->ListIndex());
    view.Text5->setText("期中考试");
    view.Command3->click();
    EXPECT_EQ(callerCode(papers().cursor.origin()), "");
    PaperLibrary library(dir.file("tiku/样板学科/期中.Juk"));
    ASSERT_EQ(library.count(), 1);
    const Paper filed = *library.read(0);
    EXPECT_EQ(filed.particulars.name, "期中考试");
    EXPECT_TRUE(filed.paper.startsWith("{\\rtf"));
    EXPECT_EQ(rtfPlainText(filed.paper), "一、选择题\n1．细胞是什么？");
    EXPECT_EQ(rtfPlainText(filed.answers), "一、选择题\n1．生命的基本单位");
    EXPECT_EQ(view.Label4->text(), "1");
}

TEST_F(WholeProgram, APaperComposedByHandGoesToTheLibraryAndTheBankShowsItsStatistics)
{
    login("SYSTEM");
    ASSERT_TRUE(PaperLibrary::createFromTemplate(dir.file("jk.jk"), dir.file("tiku/样板学科/期中.Juk")));
    main().mnuManual->trigger();
    Form5& compose = *app.manualComposeWindow();
    ManualBankPanel& bank = *compose.Bank;
    EXPECT_EQ(bank.Combo2->currentText(), "题库样本－生物.TIK");
    // The bank window follows the bank being browsed.
    EXPECT_EQ(banks().File1->FileName(), "题库样本－生物.TIK");

    // The filters set to the first question of the sample bank, which is then picked.
    const Question first = BankFile(bank.bankPath()).read(0)->question;
    const auto choose = [](QComboBox* combo, const QString& text) {
        combo->setCurrentIndex(combo->findText(text));
        Q_EMIT combo->activated(combo->currentIndex());
    };
    choose(bank.Combo3, first.type);
    choose(bank.Combo4, first.chapter);
    choose(bank.Combo8, first.unit);
    choose(bank.Combo5, first.difficulty);
    choose(bank.Combo7, numText(first.score));
    ASSERT_NE(compose.Browse->Label9->text(), "0");
    compose.Browse->Command5->click();
    ASSERT_EQ(compose.List1->count(), 1);

    compose.Command17->click();
    Form6& info = *app.bankInformationWindow();
    EXPECT_TRUE(info.isVisible());
    EXPECT_TRUE(info.windowTitle().endsWith("题库样本－生物.TIK　题库信息")) << info.windowTitle().toStdString();
    EXPECT_GT(info.MSFlexGrid1->Rows(), 1);
    info.Command3->click();

    compose.Command7->click();
    compose.Frame5->Command14->click();
    EXPECT_TRUE(papers().isVisible());
    EXPECT_EQ(callerCode(papers().cursor.origin()), "5");
    PaperView& view = *papers().Paper;
    EXPECT_EQ(view.RichTextBox1->Text(), compose.RichTextBox3->Text());
    EXPECT_TRUE(view.RichTextBox1->Text().startsWith("一、1."));
    EXPECT_TRUE(view.Command3->isEnabled());
}

TEST_F(WholeProgram, AComposedPaperAsksBeforeItTakesTheLibrarysUnsavedEdits)
{
    login("SYSTEM");
    const QString path = dir.file("tiku/样板学科/期中.Juk");
    ASSERT_TRUE(PaperLibrary::createFromTemplate(dir.file("jk.jk"), path));
    ASSERT_TRUE(PaperLibrary(path).append({rtfFromPlainText("旧卷"), rtfFromPlainText("旧答"), {}, {}}));
    main().mnuPapers->trigger();
    PaperView& view = *papers().Paper;
    ASSERT_TRUE(papers().File1->selectFile("期中.Juk"));
    papers().File1->clickItem(papers().File1->ListIndex());
    ASSERT_EQ(view.RichTextBox1->Text(), "旧卷");
    view.RichTextBox2->setText("改过的答案");

    // The composition window hands over a paper: the edit is offered for saving first.
    main().mnuAuto->trigger();
    Form3& compose = *app.autoComposeWindow();
    compose.Paper->RichTextBox3->setTextRTF(rtfFromPlainText("新卷"));
    prompt.expectMessage("打开的题库可能被修改，是否先保存？", "警告", Icon::Question, Buttons::YesNo, Answer::Yes,
                         Answer::Yes);
    compose.Paper->Command14->click();
    prompt.verify();
    EXPECT_EQ(rtfPlainText(PaperLibrary(path).read(0)->answers), "改过的答案");
    EXPECT_EQ(view.RichTextBox1->Text(), "新卷");
    EXPECT_EQ(callerCode(papers().cursor.origin()), "3");
}

TEST_F(WholeProgram, TheLibraryOpenedAgainFromTheMenuCanPageAndDeleteAtOnce)
{
    login("SYSTEM");
    const QString path = dir.file("tiku/样板学科/期中.Juk");
    ASSERT_TRUE(PaperLibrary::createFromTemplate(dir.file("jk.jk"), path));
    for (const char* name : {"一", "二"})
        ASSERT_TRUE(PaperLibrary(path).append({rtfFromPlainText(name), {}, {}, {}}));
    main().mnuPapers->trigger();
    PaperView& view = *papers().Paper;
    ASSERT_TRUE(papers().File1->selectFile("期中.Juk"));
    papers().File1->clickItem(papers().File1->ListIndex());
    ASSERT_TRUE(view.Command1->isEnabled());
    view.Command5->click();
    ASSERT_FALSE(papers().isVisible());

    main().mnuPapers->trigger();
    EXPECT_TRUE(papers().isVisible());
    EXPECT_EQ(view.RichTextBox1->Text(), "二");
    EXPECT_TRUE(view.Command1->isEnabled());
    EXPECT_FALSE(view.Command2->isEnabled());
    EXPECT_TRUE(view.Command4->isEnabled());
    EXPECT_TRUE(view.Command18->isEnabled());
}

TEST_F(WholeProgram, AHiddenWindowsTimersRestUntilItIsShown)
{
    login("SYSTEM");
    QTimer* polling = banks().findChild<QTimer*>("Timer1");
    ASSERT_TRUE(polling);
    EXPECT_FALSE(polling->isActive());
    main().mnuBanks->trigger();
    EXPECT_TRUE(polling->isActive());
    banks().hide();
    EXPECT_FALSE(polling->isActive());
}
