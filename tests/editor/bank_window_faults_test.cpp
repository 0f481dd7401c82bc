// The bank window driven with the keyboard and on a bank another computer changes: the
// bank and the question that an edit writes to are always the ones the user sees.

#include "entry_fixture.h"

#include "core/gbk.h"
#include "support/qstring_print.h"
#include "widgets/dialogkeys.h"
#include "widgets/editstep.h"

#include <QListWidget>
#include <QProcess>
#include <QTest>

using namespace qm;
using namespace qm::test;

namespace {

// Another computer's change: sqlite3, a program of its own, writes to the bank file.
void otherComputer(const QString& bank, const QString& sql)
{
    QProcess p;
    p.start(QStringLiteral("sqlite3"), {bank, sql});
    ASSERT_TRUE(p.waitForFinished(30000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
}

// The controls that an add, change or delete must keep from being used while it waits.
QList<QWidget*> fileChangingControls(Form2& f)
{
    return {f.File1,
            f.Combo1,
            f.Frame1->Command9,
            f.Frame1->Command40,
            f.Frame1->Command41,
            f.Frame1->Command42,
            f.Frame1->Command59,
            f.Frame1->Command60,
            f.Settings->Command72};
}

}  // namespace

TEST_F(EntryTest, ChoosingABankWithTheKeyboardOrBySubjectShowsItsOwnParticulars)
{
    subject("化学", {"a.tik"});
    ASSERT_TRUE(bank->setParticulars({"生物甲", "", "", "", "", ""}));
    ASSERT_TRUE(BankFile(BankRoot() + "生物/b.tik").setParticulars({"生物乙", "", "", "", "", ""}));
    ASSERT_TRUE(BankFile(BankRoot() + "化学/a.tik").setParticulars({"化学甲", "", "", "", "", ""}));
    open();
    choose("生物", "a.tik");
    EXPECT_EQ(form->Text6->text(), "生物甲");

    // Down arrow: b.tik is chosen exactly as a click chooses it.
    form->File1->setFocus();
    QTest::keyClick(form->File1, Qt::Key_Down);
    EXPECT_EQ(form->File1->FileName(), "b.tik");
    EXPECT_EQ(form->Text6->text(), "生物乙");
    prompt.expectMessage("真的要修改题库“b.tik吗？", "警告", Icon::Question, Buttons::YesNo, Answer::Yes, Answer::No);
    form->Frame1->Command3->click();
    form->Text1->setText("初中");
    form->Frame1->Command3->click();
    prompt.verify();
    EXPECT_EQ(BankFile(BankRoot() + "生物/b.tik").particulars()->speciality, "初中");
    EXPECT_EQ(bank->particulars()->speciality, "");

    // Another subject holding a file of the same name: nothing is chosen there yet, and
    // nothing can be changed until a bank is chosen.
    form->Combo1->setCurrentIndex(form->Combo1->findText("化学"));
    EXPECT_EQ(form->File1->FileName(), QString());
    EXPECT_EQ(form->Text6->text(), QString());
    form->Frame1->Timer1_Timer();
    EXPECT_FALSE(form->Frame1->Command3->isEnabled());
    choose("化学", "a.tik");
    EXPECT_EQ(form->Text6->text(), "化学甲");
}

TEST_F(EntryTest, AttributeNamesFollowTheKeyboardAndARenameWritesOnlyItsEntry)
{
    fillLists();  // types: 填空题, 选择题
    open();
    choose("生物", "a.tik");
    form->Frame1->Command4->click();
    QListWidget* types = form->Settings->List2;
    types->setFocus();
    QTest::mouseClick(types->viewport(), Qt::LeftButton, {}, types->visualItemRect(types->item(0)).center());
    EXPECT_EQ(form->Settings->Text9->text(), "填空题");
    QTest::keyClick(types, Qt::Key_Down);
    EXPECT_EQ(form->Settings->Text9->text(), "选择题");
    form->Settings->Timer3_Timer();

    form->Settings->Command17->click();
    form->Settings->Text9->setText("单选题");
    form->Settings->Command17->click();
    EXPECT_EQ(bank->list(AttributeList::Types), (QStringList{"填空题", "单选题"}));
    EXPECT_EQ(form->Settings->Command17->text(), "修　改");
    EXPECT_TRUE(types->isEnabled());
}

TEST_F(EntryTest, AWaitingStepLocksWhatChangesFilesAndItsEndUnlocksIt)
{
    fillLists();
    addQuestions(2);
    openPane();
    Form2& f = *form;
    for (QPushButton* first : {f.Frame7->Command34, f.Frame7->Command35, f.Frame7->Command36}) {
        first->click();
        EXPECT_TRUE(f.stepPending());
        for (QWidget* w : fileChangingControls(f))
            EXPECT_FALSE(w->isEnabled()) << first->objectName().toStdString() << " " << w->objectName().toStdString();
        f.Frame7->Command37->click();
        EXPECT_FALSE(f.stepPending());
        for (QWidget* w : fileChangingControls(f))
            EXPECT_TRUE(w->isEnabled()) << first->objectName().toStdString() << " " << w->objectName().toStdString();
    }

    // While a change waits the pane cannot be closed; 取　消 is the way out.
    f.Frame7->Command36->click();
    EXPECT_FALSE(f.Frame7->Command28->isEnabled());
    EXPECT_EQ(f.keys()->cancelButton(), f.Frame7->Command37);
    f.Frame7->Command37->click();
    EXPECT_EQ(f.Frame7->Command36->text(), "修　改");
    EXPECT_EQ(f.keys()->defaultButton(), nullptr);
    f.Frame7->Command28->click();

    // The bank panel's delete waits the same way; 取　消 gives everything back.
    f.Frame1->Command2->click();
    for (QWidget* w : fileChangingControls(f))
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    f.Frame1->Command5->click();
    for (QWidget* w : fileChangingControls(f))
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_EQ(f.Frame1->Command2->text(), "删　除");
}

TEST_F(EntryTest, ChangesAndDeletionsActOnTheQuestionShownEvenAfterAnotherComputerDeletes)
{
    fillLists();
    addQuestions(3);
    openPane();
    form->Frame7->Command30->click();
    form->Frame7->Timer4_Timer();
    form->Frame7->Command32->click();
    ASSERT_EQ(shownQuestion(), "题2");
    const qint64 second = bank->read(1)->question.id;
    const qint64 third = bank->read(2)->question.id;

    // Another computer deletes the first question: the one shown now stands at position 0,
    // and the change still goes to it.
    otherComputer(bank->path(), QStringLiteral("DELETE FROM 题库 WHERE 编号 = %1").arg(bank->read(0)->question.id));
    form->Frame7->Command36->click();
    form->Frame7->RichTextBox1->setText("题2改");
    form->Frame7->Command36->click();
    EXPECT_EQ(rtfPlainText(bank->readById(second)->text), "题2改");
    EXPECT_EQ(rtfPlainText(bank->readById(third)->text), "题3");

    // Now it deletes the question shown: the change writes nothing, says so, and shows the
    // question now at that place.
    otherComputer(bank->path(), QStringLiteral("DELETE FROM 题库 WHERE 编号 = %1").arg(second));
    form->Frame7->Command36->click();
    form->Frame7->RichTextBox1->setText("不该写入");
    prompt.expectMessage("该题已被删除！", "错误", Icon::Warning);
    form->Frame7->Command36->click();
    prompt.verify();
    EXPECT_EQ(bank->count(), 1);
    EXPECT_EQ(storedText(0), "题3");
    EXPECT_EQ(shownQuestion(), "题3");
    EXPECT_FALSE(form->stepPending());

    // A deletion of a question that is already gone deletes nothing else.
    ASSERT_TRUE(bank->add(question("题4")));
    form->Frame7->Command30->click();
    otherComputer(bank->path(), QStringLiteral("DELETE FROM 题库 WHERE 编号 = %1").arg(third));
    form->Frame7->Command35->click();
    prompt.expectMessage("该题已被删除！", "错误", Icon::Warning);
    form->Frame7->Command35->click();
    prompt.verify();
    EXPECT_EQ(bank->count(), 1);
    EXPECT_EQ(storedText(0), "题4");
    EXPECT_EQ(shownQuestion(), "题4");
}

TEST_F(Form2Test, SubjectsIgnoreHiddenDirectoriesAndFollowOtherComputers)
{
    subject("生物", {"a.tik"});
    subject("化学");
    QDir().mkpath(BankRoot() + ".trash");
    open();
    EXPECT_EQ(listNames(form->Frame3->List1), (QStringList{"化学", "生物"}));

    // Choosing the chosen subject again shows banks another computer added meanwhile.
    form->Combo1->setCurrentIndex(form->Combo1->findText("生物"));
    ASSERT_TRUE(BankFile::createFromTemplate(dir.file("qm.qm"), BankRoot() + "生物/b.tik"));
    EXPECT_EQ(form->File1->ListCount(), 1);
    Q_EMIT form->Combo1->activated(form->Combo1->currentIndex());
    EXPECT_EQ(form->File1->ListCount(), 2);

    // A subject whose directory another computer removed leaves the list without a word.
    QDir(BankRoot() + "化学").removeRecursively();
    form->Frame1->Command9->click();
    form->Frame3->List1->setCurrentRow(0);
    form->Frame3->Timer2_Timer();
    form->Frame3->Command11->click();
    form->Frame3->Command11->click();
    EXPECT_EQ(listNames(form->Frame3->List1), QStringList{"生物"});
    EXPECT_EQ(form->Frame3->Command11->text(), "删　除");
}

TEST_F(EntryTest, AfterAnImportTheLastImportedQuestionIsCurrent)
{
    fillLists();
    addQuestions(2);
    open();
    choose("生物", "a.tik");
    const QString file = dir.file("批量.txt");
    ASSERT_TRUE(
        writeAll(file, gbkEncode(QStringLiteral("新题库\r\n&CP01第一章&\r\n&DY01第一单元&\r\n&SZ1选择题&\r\n&LV1易&\r\n"
                                                "&PT01 2 &\r\n$CP01DY01SZ1LV1PT01新一$\r\n"
                                                "$CP01DY01SZ1LV1PT01新二$\r\n"))
                           .value()));
    prompt
        .expectMessage("只能导入规定格式的题库源文件！继续执行吗？", "警告", Icon::Question, Buttons::YesNo,
                       Answer::Yes, Answer::No)
        .expectOpenFile("导入题库", "批量题库文件(*.txt)|*.txt|所有文件(*.*)|*.*", file)
        .expectMessage("导入文件执行完毕！", "提示", Icon::Warning);
    form->Frame1->Command40->click();
    prompt.verify();
    EXPECT_TRUE(form->Frame7->isHidden());
    form->Frame1->Command27->click();
    EXPECT_EQ(shownQuestion(), "新二");
    EXPECT_EQ(caption(), "题库录入  共有题目4道　现在显示第4道");
}
