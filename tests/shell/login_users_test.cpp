#include "bankstore/user_store.h"
#include "shell/form1.h"
#include "shell/form6.h"
#include "shell/form8.h"
#include "support/scripted_prompt.h"
#include "support/temp_dirs.h"
#include "widgets/dialogkeys.h"
#include "widgets/flexgrid.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace qm;
using namespace qm::test;

namespace {

const QString kDuplicate = QStringLiteral("用户名重复，请重新输入！");

// A main window after start-up on a user file with the given users.
class Users : public ::testing::Test {
protected:
    void start(const QList<UserRecord>& users)
    {
        writeAll(dir.file("workpath.cfg"), "\"" + dir.path().toUtf8() + "\"\r\n");
        QFile::remove(dir.file("tiku.psw"));
        ASSERT_TRUE(UserStore::create(dir.file("tiku.psw")));
        for (const UserRecord& u : users)
            ASSERT_TRUE(UserStore(dir.file("tiku.psw")).add(u));
        form = std::make_unique<Form1>(dir.workspace, prompt);
        form->Form_Load();
        form->show();
    }
    bool login(const QString& name, const QString& password)
    {
        form->Text1->setText(name);
        form->Text2->setText(password);
        QTest::keyClick(form->Text2, Qt::Key_Return);
        return !form->Frame1->isVisibleTo(form.get());
    }
    QList<UserRecord> stored() const { return UserStore(dir.file("tiku.psw")).users().value_or(QList<UserRecord>()); }
    QStringList storedNames() const
    {
        QStringList n;
        for (const auto& u : stored())
            n << u.name;
        return n;
    }

    TempProgramDir dir{false};
    ScriptedPrompt prompt;
    std::unique_ptr<Form1> form;
};

}  // namespace

TEST_F(Users, ThePasswordShowsAStarForEachCharacter)
{
    start({{"SYSTEM", "pw1"}});
    form->Text2->setFocus();
    QTest::keyClicks(form->Text2, "pw1");
    EXPECT_EQ(form->Text2->text(), "pw1");
    EXPECT_EQ(form->Text2->displayText(), "***");
}

TEST_F(Users, AdministratorNameInAnyCase)
{
    for (const QString stored : {"system", "System", "SYSTEM"}) {
        start({{stored, "pw"}});
        EXPECT_TRUE(login("sYsTeM", "pw")) << stored.toStdString();
        EXPECT_EQ(form->currentUser(), QStringLiteral("SYSTEM"));
        EXPECT_TRUE(form->mnuPassword->isEnabled());
        EXPECT_TRUE(form->mnuWorkPath->isEnabled());
    }
}

TEST_F(Users, MenusBeforeAndAfterLogin)
{
    start({{"SYSTEM", ""}, {"teacher", "Abc"}});
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Quellmark1.80"));
    // The main and about windows show the date of this version.
    EXPECT_EQ(form->findChild<QLabel*>("lblDate")->text(), "2026.12.07");
    EXPECT_EQ(form->about()->findChild<QLabel*>("lblDate")->text(), "2026.12.07");
    EXPECT_FALSE(form->mnuLibrary->menuAction()->isEnabled());
    EXPECT_FALSE(form->mnuCompose->menuAction()->isEnabled());
    EXPECT_FALSE(form->mnuPassword->isEnabled());
    EXPECT_FALSE(form->mnuWorkPath->isEnabled());
    EXPECT_TRUE(form->mnuAbout->isEnabled());
    EXPECT_TRUE(form->mnuExit->isEnabled());
    EXPECT_EQ(form->Text2->echoMode(), QLineEdit::Password);

    // Wrong passwords and unknown names leave everything as it was, without a message.
    EXPECT_FALSE(login("teacher", "abc"));
    EXPECT_FALSE(login("nobody", ""));
    EXPECT_FALSE(form->mnuLibrary->menuAction()->isEnabled());

    EXPECT_TRUE(login("TEACHER", "Abc"));
    EXPECT_TRUE(form->mnuLibrary->menuAction()->isEnabled());
    EXPECT_TRUE(form->mnuCompose->menuAction()->isEnabled());
    EXPECT_FALSE(form->mnuPassword->isEnabled());
    EXPECT_FALSE(form->mnuWorkPath->isEnabled());
}

TEST_F(Users, FirstOfTwoNamesDifferingInCaseDecides)
{
    start({{"SYSTEM", ""}, {"Li", "one"}, {"LI", "two"}});
    EXPECT_FALSE(login("li", "two"));
    EXPECT_TRUE(login("li", "one"));
}

TEST_F(Users, AddChecksNamesAndAcceptsAnEmptyPassword)
{
    start({{"SYSTEM", ""}, {"Wang", "x"}});
    ASSERT_TRUE(login("SYSTEM", ""));
    form->mnuPassword->trigger();
    ASSERT_TRUE(form->Frame2->isVisibleTo(form.get()));
    EXPECT_EQ(form->MSFlexGrid1->TextMatrix(0, 1), QStringLiteral("用户名"));
    EXPECT_EQ(form->MSFlexGrid1->TextMatrix(0, 2), QStringLiteral("口令"));
    EXPECT_EQ(form->MSFlexGrid1->ColWidth(0), 0);
    EXPECT_EQ(form->MSFlexGrid1->TextMatrix(2, 1), QStringLiteral("Wang"));

    form->Command9->click();
    EXPECT_EQ(form->Command9->text(), QStringLiteral("确　定"));
    EXPECT_EQ(form->keys()->defaultButton(), form->Command9);
    EXPECT_TRUE(form->Command12->isEnabled());
    EXPECT_FALSE(form->Command10->isEnabled());
    EXPECT_FALSE(form->Command11->isEnabled());
    EXPECT_TRUE(form->Text3->text().isEmpty());

    form->Command9->click();  // empty name: the step stays open, nothing said
    EXPECT_EQ(form->Command9->text(), QStringLiteral("确　定"));

    form->Text3->setText("wANG");
    prompt.expectMessage(kDuplicate, QStringLiteral("错误"), Icon::Warning);
    form->Command9->click();
    prompt.verify();
    EXPECT_EQ(form->Command9->text(), QStringLiteral("确　定"));
    EXPECT_EQ(storedNames(), (QStringList{"SYSTEM", "Wang"}));

    form->Text3->setText("Zhao");
    QTest::keyClick(form->Text3, Qt::Key_Return);  // the add button is the default
    EXPECT_EQ(form->Command9->text(), QStringLiteral("增　加"));
    EXPECT_FALSE(form->Command12->isEnabled());
    EXPECT_EQ(storedNames(), (QStringList{"SYSTEM", "Wang", "Zhao"}));
    EXPECT_EQ(form->MSFlexGrid1->TextMatrix(3, 1), QStringLiteral("Zhao"));

    // The new user logs in with an empty password box.
    form->Text1->setText("zhao");
    form->Text2->clear();
    EXPECT_TRUE(form->CheckPass());
}

TEST_F(Users, ModifyKeepsOwnNameAndNeedsAPassword)
{
    start({{"SYSTEM", "s"}, {"Wang", "x"}, {"Li", "y"}});
    ASSERT_TRUE(login("SYSTEM", "s"));
    form->showUserPanel();
    form->MSFlexGrid1->clickCell(2, 1);
    EXPECT_EQ(form->Text3->text(), QStringLiteral("Wang"));
    EXPECT_EQ(form->Text4->text(), QStringLiteral("x"));
    EXPECT_TRUE(form->Command10->isEnabled());
    EXPECT_TRUE(form->Command11->isEnabled());

    form->Command10->click();
    EXPECT_FALSE(form->Command9->isEnabled());
    EXPECT_FALSE(form->Command11->isEnabled());
    form->Text4->clear();
    form->Command10->click();  // no password: stays open
    EXPECT_EQ(form->Command10->text(), QStringLiteral("确　定"));

    form->Text3->setText("LI");
    form->Text4->setText("new");
    prompt.expectMessage(kDuplicate, QStringLiteral("错误"), Icon::Warning);
    form->Command10->click();
    prompt.verify();

    form->Text3->setText("WANG");  // its own name in another case is fine
    form->Command10->click();
    EXPECT_EQ(form->Command10->text(), QStringLiteral("修　改"));
    EXPECT_EQ(stored()[1].name, QStringLiteral("WANG"));
    EXPECT_EQ(stored()[1].password, QStringLiteral("new"));
    EXPECT_EQ(stored()[2].name, QStringLiteral("Li"));
}

TEST_F(Users, FirstUserCannotBeDeleted)
{
    start({{"SYSTEM", ""}, {"Wang", "x"}, {"Li", "y"}});
    ASSERT_TRUE(login("SYSTEM", ""));
    form->showUserPanel();
    form->MSFlexGrid1->clickCell(1, 1);
    EXPECT_TRUE(form->Command10->isEnabled());
    EXPECT_FALSE(form->Command11->isEnabled());
    form->MSFlexGrid1->clickCell(3, 2);
    EXPECT_TRUE(form->Command11->isEnabled());

    form->Command11->click();
    EXPECT_EQ(form->Command11->text(), QStringLiteral("确　定"));
    form->Command11->click();
    EXPECT_EQ(storedNames(), (QStringList{"SYSTEM", "Wang"}));
    EXPECT_EQ(form->MSFlexGrid1->Rows(), 3);
    EXPECT_EQ(form->Command11->text(), QStringLiteral("删　除"));
}

TEST_F(Users, AdministratorChangesItsOwnPassword)
{
    start({{"SYSTEM", "old"}, {"Wang", "x"}});
    ASSERT_TRUE(login("SYSTEM", "old"));
    form->showUserPanel();
    form->MSFlexGrid1->clickCell(1, 2);
    EXPECT_EQ(form->Text3->text(), QStringLiteral("SYSTEM"));
    EXPECT_EQ(form->Text4->text(), QStringLiteral("old"));
    EXPECT_TRUE(form->Command10->isEnabled());
    EXPECT_FALSE(form->Command11->isEnabled());

    form->Command10->click();
    EXPECT_EQ(form->Command10->text(), QStringLiteral("确　定"));
    form->Text4->setText(QStringLiteral("新口令"));
    form->Command10->click();
    EXPECT_EQ(form->Command10->text(), QStringLiteral("修　改"));
    ASSERT_EQ(stored().size(), 2);
    EXPECT_EQ(stored()[0].name, QStringLiteral("SYSTEM"));
    EXPECT_EQ(stored()[0].password, QStringLiteral("新口令"));
    EXPECT_EQ(stored()[1].password, QStringLiteral("x"));
    EXPECT_EQ(form->MSFlexGrid1->TextMatrix(1, 2), QStringLiteral("新口令"));

    form->Text1->setText("system");
    form->Text2->setText("old");
    EXPECT_FALSE(form->CheckPass());
    form->Text2->setText(QStringLiteral("新口令"));
    EXPECT_TRUE(form->CheckPass());
}

TEST_F(Users, AdministratorIsNotDeletedWhenTheRowChangesDuringADelete)
{
    start({{"SYSTEM", ""}, {"Wang", "x"}, {"Li", "y"}});
    ASSERT_TRUE(login("SYSTEM", ""));
    form->showUserPanel();
    form->MSFlexGrid1->clickCell(3, 1);
    ASSERT_TRUE(form->Command11->isEnabled());
    form->Command11->click();
    ASSERT_EQ(form->Command11->text(), QStringLiteral("确　定"));

    // The administrator's row is chosen while the delete waits for its confirmation; the
    // open step keeps its buttons, and the confirmation deletes nothing.
    form->MSFlexGrid1->clickCell(1, 1);
    EXPECT_EQ(form->Text3->text(), QStringLiteral("SYSTEM"));
    EXPECT_TRUE(form->Command11->isEnabled());
    EXPECT_EQ(form->keys()->defaultButton(), form->Command11);
    QTest::keyClick(form->Text3, Qt::Key_Return);
    EXPECT_EQ(storedNames(), (QStringList{"SYSTEM", "Wang", "Li"}));
    EXPECT_EQ(form->MSFlexGrid1->Rows(), 4);
    EXPECT_EQ(form->Command11->text(), QStringLiteral("删　除"));
    EXPECT_FALSE(form->Command11->isEnabled());
    EXPECT_TRUE(form->Command10->isEnabled());
    prompt.verify();
}

TEST_F(Users, OpenStepSurvivesClosingThePanel)
{
    start({{"SYSTEM", ""}});
    ASSERT_TRUE(login("SYSTEM", ""));
    form->showUserPanel();
    form->Command9->click();
    form->Command13->click();
    EXPECT_FALSE(form->Frame2->isVisibleTo(form.get()));
    form->mnuPassword->trigger();
    EXPECT_EQ(form->Command9->text(), QStringLiteral("确　定"));
    form->Mov();  // the pointer moving does not touch an open step
    EXPECT_FALSE(form->Command10->isEnabled());
    form->Command12->click();
    EXPECT_EQ(form->Command9->text(), QStringLiteral("增　加"));
    EXPECT_FALSE(form->Command12->isEnabled());
    EXPECT_TRUE(form->Command10->isEnabled());  // row 1 is current
    EXPECT_FALSE(form->Command11->isEnabled());
}

TEST_F(Users, NavigationHelpAndExit)
{
    start({{"SYSTEM", ""}});
    ASSERT_TRUE(login("SYSTEM", ""));
    QSignalSpy banks(form.get(), &Form1::showBanks);
    QSignalSpy autoCompose(form.get(), &Form1::showAutoCompose);
    QSignalSpy library(form.get(), &Form1::showLibrary);
    QSignalSpy manual(form.get(), &Form1::showManualCompose);
    QSignalSpy exit(form.get(), &Form1::exitRequested);
    form->mnuBanks->trigger();
    form->mnuAuto->trigger();
    form->mnuPapers->trigger();
    form->mnuManual->trigger();
    form->mnuExit->trigger();
    EXPECT_EQ(banks.count() + autoCompose.count() + library.count() + manual.count() + exit.count(), 5);

    // "帮助" asks for the user guide, without a message.
    QSignalSpy help(form.get(), &Form1::showHelp);
    form->mnuHelp->trigger();
    prompt.verify();
    EXPECT_EQ(help.count(), 1);
    EXPECT_EQ(form->Command1->text(), QStringLiteral("题库录入"));
    EXPECT_EQ(form->mnuBanks->text(), QStringLiteral("&T 题库录入"));
    EXPECT_FALSE(form->Command1->isVisible());
}

TEST(About, EscOrClickHidesOtherKeysDoNot)
{
    ScriptedPrompt prompt;
    TempProgramDir dir(false);
    Form1 form(dir.workspace, prompt);
    form.mnuAbout->trigger();
    Form8* about = form.about();
    EXPECT_TRUE(about->isVisible());
    QTest::keyClick(about, Qt::Key_A);
    EXPECT_TRUE(about->isVisible());
    QTest::keyClick(about, Qt::Key_Escape);
    EXPECT_FALSE(about->isVisible());
    form.Command4->click();
    EXPECT_TRUE(about->isVisible());
    QTest::mouseClick(about, Qt::LeftButton);
    EXPECT_FALSE(about->isVisible());
}

TEST(BankInformation, ExpandAndCollapseAll)
{
    Form6 info;
    info.addNode(0, "bank");
    info.Command2_Click();  // a single node: nothing changes
    EXPECT_FALSE(info.node(1)->isExpanded());

    info.clearNodes();
    const int top = info.addNode(0, QStringLiteral("题库"));
    const int ch = info.addNode(top, QStringLiteral("第一章"));
    info.addNode(ch, QStringLiteral("第一节"));
    info.addNode(top, QStringLiteral("第二章"));
    info.Command1_Click();
    for (int k = 1; k <= info.nodeCount(); ++k)
        EXPECT_TRUE(info.node(k)->isExpanded());
    info.Command2_Click();
    EXPECT_TRUE(info.node(1)->isExpanded());
    for (int k = 2; k <= info.nodeCount(); ++k)
        EXPECT_FALSE(info.node(k)->isExpanded());
    info.show();
    info.Command3->click();
    EXPECT_FALSE(info.isVisible());
    EXPECT_EQ(info.nodeCount(), 4);
}
