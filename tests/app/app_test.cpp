// The whole program as a user meets it: the real App in a program directory made from the
// shipped files, start-up, login, each menu command to the window it names, and every
// hand-off between the windows checked on the receiving side.

#include "app/app.h"
#include "bankstore/bank_file.h"
#include "composer/bank_choice_panel.h"
#include "composer/form3.h"
#include "editor/bank_panel.h"
#include "editor/form2.h"
#include "shell/form1.h"
#include "shell/form8.h"
#include "support/scripted_prompt.h"
#include "support/temp_dirs.h"
#include "widgets/filelists.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace qm;
using namespace qm::test;

namespace {

class WholeProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        app.setQuit([this](bool restart) { quits.append(restart); });
        // The first start has no work path yet: one warning, then the local data is used.
        prompt.expectMessage("路径设置错误或服务器未开,只能访问本地数据！", "错误", Icon::Warning);
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

    prompt.expectMessage("正在编写中!", "提示", Icon::Warning);
    main().mnuHelp->trigger();
    prompt.verify();
    EXPECT_EQ(shownWindows(), QStringList{"Form1"});
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
