#include "editor/form2_fixture.h"

#include "widgets/dialogkeys.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace qm;
using namespace qm::test;

namespace {
const QString kError = QStringLiteral("错误");
}

TEST_F(Form2Test, SubjectListsFollowTheDirectories)
{
    subject("物理");
    subject("化学");
    subject("生物");
    Form2 f(ws(), prompt);
    QSignalSpy refreshed(&f, &Form2::subjectsRefreshed);
    f.attachBankRoot();
    // Hanzi in pinyin order: 化学 (hua), 生物 (sheng), 物理 (wu).
    EXPECT_EQ(listNames(f.Frame3->List1), (QStringList{"化学", "生物", "物理"}));
    EXPECT_EQ(f.Combo1->currentText(), QStringLiteral("化学"));
    EXPECT_EQ(SubjectDir(), BankRoot() + "化学/");
    ASSERT_EQ(refreshed.count(), 1);
    EXPECT_EQ(refreshed[0][0].toStringList(), (QStringList{"化学", "生物", "物理"}));

    // Without subjects the lists stay empty and the paper library is not told.
    QDir(BankRoot() + "化学").removeRecursively();
    QDir(BankRoot() + "生物").removeRecursively();
    QDir(BankRoot() + "物理").removeRecursively();
    f.RefreshXueKe();
    EXPECT_EQ(f.Frame3->List1->count(), 0);
    EXPECT_EQ(f.Combo1->count(), 0);
    EXPECT_EQ(refreshed.count(), 1);
}

TEST_F(Form2Test, BankButtonsFollowTheChoice)
{
    subject("生物", {"a.tik", "B.TIK"});
    writeAll(BankRoot() + "生物/notes.txt", "x");
    open();
    EXPECT_EQ(form->File1->ListCount(), 2);  // *.tik in any case, nothing else
    EXPECT_FALSE(form->Frame1->Command2->isEnabled());
    EXPECT_FALSE(form->Frame1->Command27->isEnabled());
    choose("生物", "a.tik");
    for (QPushButton* b :
         {form->Frame1->Command2, form->Frame1->Command3, form->Frame1->Command4, form->Frame1->Command27,
          form->Frame1->Command40, form->Frame1->Command59, form->Frame1->Command42})
        EXPECT_TRUE(b->isEnabled()) << b->objectName().toStdString();

    form->Text6->setText("typed");
    form->File1->setListIndex(-1);
    form->Frame1->Timer1_Timer();
    EXPECT_FALSE(form->Frame1->Command3->isEnabled());
    EXPECT_TRUE(form->Text6->text().isEmpty());
}

TEST_F(Form2Test, CreateRefusesANameDifferingOnlyInCase)
{
    subject("样板学科", {"题库样本－生物.TIK"});
    open();
    form->Frame1->Command1->click();
    EXPECT_FALSE(form->Frame2->isHidden());
    EXPECT_TRUE(form->Frame1->Command5->isEnabled());
    EXPECT_FALSE(form->File1->isEnabled());
    form->Frame2->Text7->setText("题库样本－生物");
    prompt.expectMessage(QStringLiteral("题库名已存在，请另取名！"), kError, Icon::Warning);
    form->Frame2->Command6->click();
    prompt.verify();
    EXPECT_FALSE(form->Frame2->isHidden());
    EXPECT_EQ(form->File1->ListCount(), 1);

    form->Frame2->Text7->setText("a/b");
    prompt.expectMessageStartingWith(QStringLiteral("题库名称中不能有下列字符"), kError, Icon::Warning);
    form->Frame2->Command6->click();
}

TEST_F(Form2Test, CreateThenConfirmWritesTheParticulars)
{
    subject("生物");
    open();
    form->Frame1->Command1->click();
    form->Frame2->Text7->setText("高一生物");
    QTest::keyClick(form->Frame2->Text7, Qt::Key_Return);  // 创　建 is the default button
    EXPECT_TRUE(form->Frame2->isHidden());
    EXPECT_TRUE(form->Frame1->CreatingBank);
    EXPECT_TRUE(QFileInfo::exists(BankRoot() + "生物/高一生物.tik"));
    EXPECT_EQ(form->Text6->text(), QStringLiteral("高一生物"));
    EXPECT_EQ(form->Frame1->Command1->text(), QStringLiteral("确　定"));
    EXPECT_EQ(form->keys()->defaultButton(), form->Frame1->Command1);
    EXPECT_EQ(form->keys()->cancelButton(), form->Frame1->Command5);

    form->Text1->setText("生物");
    form->Text3->setText("王老师");
    form->Frame1->Command1->click();
    EXPECT_FALSE(form->Frame1->CreatingBank);
    EXPECT_EQ(form->Frame1->Command1->text(), QStringLiteral("添　加"));
    EXPECT_FALSE(form->Frame1->Command5->isEnabled());
    EXPECT_EQ(form->File1->FileName(), QStringLiteral("高一生物.tik"));
    const auto p = BankFile(BankRoot() + "生物/高一生物.tik").particulars();
    ASSERT_TRUE(p);
    EXPECT_EQ(p->name, QStringLiteral("高一生物"));
    EXPECT_EQ(p->speciality, QStringLiteral("生物"));
    EXPECT_EQ(p->author, QStringLiteral("王老师"));
}

TEST_F(Form2Test, CancelAfterCreateDeletesTheNewFile)
{
    subject("生物");
    open();
    form->Frame1->Command1->click();
    form->Frame2->Text7->setText("草稿");
    form->Frame2->Command6->click();
    ASSERT_TRUE(QFileInfo::exists(BankRoot() + "生物/草稿.tik"));
    QTest::keyClick(form->Text1, Qt::Key_Escape);  // 取　消 is the cancel button
    EXPECT_FALSE(QFileInfo::exists(BankRoot() + "生物/草稿.tik"));
    EXPECT_EQ(form->File1->ListCount(), 0);
    EXPECT_FALSE(form->Frame1->CreatingBank);
    EXPECT_TRUE(form->Frame1->Command1->isEnabled());
    EXPECT_TRUE(form->Combo1->isEnabled());

    // The create panel's own cancel does the same.
    form->Frame1->Command1->click();
    form->Frame2->Command7->click();
    EXPECT_TRUE(form->Frame2->isHidden());
    EXPECT_FALSE(form->Frame1->Command5->isEnabled());
}

TEST_F(Form2Test, DeleteAndEditAskFirst)
{
    subject("生物", {"a.tik", "b.tik"});
    open();
    choose("生物", "a.tik");

    form->Frame1->Command2->click();
    EXPECT_EQ(form->Frame1->Command2->text(), QStringLiteral("确　定"));
    EXPECT_FALSE(form->Frame1->Command1->isEnabled());
    EXPECT_FALSE(form->Frame1->Timer1->isActive());
    prompt.expectMessage(QStringLiteral("真的要删除题库“a.tik吗？"), QStringLiteral("警告"), Icon::Question,
                         Buttons::YesNo, Answer::No, Answer::No);
    form->Frame1->Command2->click();
    prompt.verify();
    EXPECT_TRUE(QFileInfo::exists(BankRoot() + "生物/a.tik"));
    form->Frame1->Command5->click();
    EXPECT_EQ(form->Frame1->Command2->text(), QStringLiteral("删　除"));
    EXPECT_TRUE(form->Frame1->Timer1->isActive());

    form->Frame1->Command3->click();
    form->Text6->setText("新名称");
    form->Text5->setText("2024年9月");
    prompt.expectMessage(QStringLiteral("真的要修改题库“a.tik吗？"), QStringLiteral("警告"), Icon::Question,
                         Buttons::YesNo, Answer::Yes, Answer::No);
    form->Frame1->Command3->click();
    prompt.verify();
    EXPECT_EQ(BankFile(BankRoot() + "生物/a.tik").particulars()->name, QStringLiteral("新名称"));
    EXPECT_EQ(BankFile(BankRoot() + "生物/a.tik").particulars()->firstUse, QStringLiteral("2024年9月"));

    form->Frame1->Command2->click();
    prompt.expectMessage(QStringLiteral("真的要删除题库“a.tik吗？"), QStringLiteral("警告"), Icon::Question,
                         Buttons::YesNo, Answer::Yes, Answer::No);
    form->Frame1->Command2->click();
    EXPECT_FALSE(QFileInfo::exists(BankRoot() + "生物/a.tik"));
    EXPECT_EQ(form->File1->ListCount(), 1);
    EXPECT_EQ(form->Frame1->Command2->text(), QStringLiteral("删　除"));
}

TEST_F(Form2Test, SubjectsAddDeleteRename)
{
    subject("生物", {"a.tik"});
    writeAll(BankRoot() + "生物/试卷.Juk", "library");
    subject("空学科");
    open();
    form->Frame1->Command9->click();
    EXPECT_FALSE(form->Frame3->isHidden());

    // Add: empty and duplicate names are refused.
    form->Frame3->Command10->click();
    EXPECT_EQ(form->Frame3->Command10->text(), QStringLiteral("确　定"));
    EXPECT_FALSE(form->Frame3->Command11->isEnabled());
    form->Frame3->Text8->clear();
    prompt.expectMessage(QStringLiteral("学科名称不得为空！"), kError, Icon::Warning);
    form->Frame3->Command10->click();
    form->Frame3->Text8->setText("空学科");
    prompt.expectMessage(QStringLiteral("该学科名已经存在！"), kError, Icon::Warning);
    form->Frame3->Command10->click();
    form->Frame3->Text8->setText("化学");
    form->Frame3->Command10->click();
    prompt.verify();
    EXPECT_EQ(listNames(form->Frame3->List1), (QStringList{"化学", "空学科", "生物"}));
    EXPECT_EQ(form->Frame3->Command10->text(), QStringLiteral("添　加"));

    // Delete: a subject holding any file stays.
    form->Frame3->List1->setCurrentRow(2);
    form->Frame3->Timer2_Timer();
    form->Frame3->Command11->click();
    prompt.expectMessage(QStringLiteral("该学科下已经有题库，只有删除题库后才能删除学科！"), kError, Icon::Warning);
    form->Frame3->Command11->click();
    prompt.verify();
    EXPECT_TRUE(QFileInfo::exists(BankRoot() + "生物/a.tik"));
    form->Frame3->List1->setCurrentRow(1);
    form->Frame3->Timer2_Timer();
    form->Frame3->Command11->click();
    form->Frame3->Command11->click();
    EXPECT_EQ(listNames(form->Frame3->List1), (QStringList{"化学", "生物"}));

    // Rename to its own name does nothing; to another subject's name is refused.
    form->Frame3->List1->setCurrentRow(1);
    form->Frame3->List1_Click();
    form->Frame3->Timer2_Timer();
    form->Frame3->Command12->click();
    form->Frame3->Command12->click();
    EXPECT_EQ(form->Frame3->Command12->text(), QStringLiteral("修　改"));
    form->Frame3->List1->setCurrentRow(1);
    form->Frame3->Timer2_Timer();
    form->Frame3->Command12->click();
    form->Frame3->Text8->setText("化学");
    prompt.expectMessage(QStringLiteral("该学科名已经存在！"), kError, Icon::Warning);
    form->Frame3->Command12->click();
    prompt.verify();
    EXPECT_EQ(form->Frame3->Command12->text(), QStringLiteral("确　定"));

    // Rename moves every file, not only the banks.
    form->Frame3->Text8->setText("生命科学");
    form->Frame3->Command12->click();
    EXPECT_FALSE(QFileInfo::exists(BankRoot() + "生物"));
    EXPECT_EQ(readAll(BankRoot() + "生命科学/试卷.Juk"), "library");
    EXPECT_TRUE(QFileInfo::exists(BankRoot() + "生命科学/a.tik"));
    EXPECT_EQ(listNames(form->Frame3->List1), (QStringList{"化学", "生命科学"}));
}

TEST_F(Form2Test, CopyOut)
{
    subject("生物", {"a.tik"});
    open();
    choose("生物", "a.tik");
    QTemporaryDir target;
    form->Frame1->Command42->click();
    EXPECT_FALSE(form->Frame8->isHidden());
    form->Frame8->Dir2->setPath(target.path());
    EXPECT_EQ(form->Frame8->Text13->text(), withTrailingSep(target.path()) + "a.tik");
    EXPECT_EQ(form->keys()->defaultButton(), form->Frame8->Command43);

    form->Frame8->Text13->setText(withTrailingSep(target.path()) + "a.txt");
    prompt.expectMessage(QStringLiteral("输出文件名不对，请重新选择路径"), kError, Icon::Warning);
    form->Frame8->Command43->click();
    prompt.verify();

    form->Frame8->Text13->setText(withTrailingSep(target.path()) + "copy.tik");  // lower case is fine
    form->Frame8->Command43->click();
    EXPECT_TRUE(form->Frame8->isHidden());
    EXPECT_EQ(readAll(withTrailingSep(target.path()) + "copy.tik"), readAll(BankRoot() + "生物/a.tik"));
}

TEST_F(Form2Test, CopyIn)
{
    subject("生物", {"a.tik"});
    open();
    QTemporaryDir source;
    const QString src = withTrailingSep(source.path());
    ASSERT_TRUE(BankFile::createFromTemplate(dir.file("qm.qm"), src + "外来.TIK"));
    writeAll(src + "junk.tik", "this is not a bank");

    form->Frame1->Command41->click();
    form->Frame9->Dir3->setPath(source.path());
    EXPECT_EQ(form->Frame9->File3->ListCount(), 2);
    form->Frame9->Text14->setText(src + "外来.doc");
    prompt.expectMessage(QStringLiteral("文件名错误，请重新输入！"), kError, Icon::Warning);
    form->Frame9->Command46->click();
    prompt.verify();

    form->Frame9->File3->clickItem(form->Frame9->File3->List(0) == "junk.tik" ? 0 : 1);
    EXPECT_EQ(form->Frame9->Text14->text(), src + "junk.tik");
    prompt.expectMessageStartingWith(QString(), kError, Icon::Warning);  // names the file
    form->Frame9->Command46->click();
    prompt.verify();
    EXPECT_FALSE(QFileInfo::exists(SubjectDir() + "junk.tik"));

    form->Frame9->Text14->setText(src + "外来.TIK");
    form->Frame9->Command46->click();
    EXPECT_TRUE(form->Frame9->isHidden());
    EXPECT_TRUE(form->File1->selectFile("外来.TIK"));

    // A second copy asks before overwriting; declining counts as not copied.
    form->Frame1->Command41->click();
    form->Frame9->Text14->setText(src + "外来.TIK");
    prompt.expectMessage(QStringLiteral("文件已存在，是否覆盖？"), QStringLiteral("警告"), Icon::Question,
                         Buttons::YesNo, Answer::No);
    prompt.expectMessage(QStringLiteral("目标文件可能已打开，拷贝错误，请检查！"), kError, Icon::Warning);
    form->Frame9->Command46->click();
    prompt.verify();
    EXPECT_FALSE(form->Frame9->isHidden());
}

// A place that cannot be read (a medium taken out, a share gone) leaves the lists of both
// copy panels as they were; a place that can be read moves them.
TEST_F(Form2Test, CopyPanelsKeepTheirListsWhenAPlaceCannotBeRead)
{
    subject("生物", {"a.tik"});
    open();
    choose("生物", "a.tik");
    QTemporaryDir elsewhere;
    const QString there = withTrailingSep(elsewhere.path());
    ASSERT_TRUE(BankFile::createFromTemplate(dir.file("qm.qm"), there + "外来.tik"));
    const QString gone = there + "拔出的U盘/";

    form->Frame1->Command41->click();
    CopyInPanel* in = form->Frame9;
    in->Dir3->setPath(elsewhere.path());
    ASSERT_EQ(in->File3->ListCount(), 1);
    in->Drive2->addItem(gone, gone);
    in->Drive2->setCurrentIndex(in->Drive2->count() - 1);
    EXPECT_EQ(in->Dir3->Path(), there);
    EXPECT_EQ(in->File3->Path(), there);
    EXPECT_EQ(in->File3->ListCount(), 1);
    in->Drive2->setCurrentIndex(in->Drive2->findData("/"));
    EXPECT_EQ(in->Dir3->Path(), "/");
    EXPECT_EQ(in->File3->Path(), "/");
    // Esc in the panel cancels it.
    QTest::keyClick(in->Text14, Qt::Key_Escape);
    EXPECT_TRUE(in->isHidden());

    form->Frame1->Command42->click();
    CopyOutPanel* out = form->Frame8;
    out->Dir2->setPath(elsewhere.path());
    out->Drive1->addItem(gone, gone);
    out->Drive1->setCurrentIndex(out->Drive1->count() - 1);
    EXPECT_EQ(out->Dir2->Path(), there);
    EXPECT_EQ(out->Text13->text(), there + "a.tik");
    out->Drive1->setCurrentIndex(out->Drive1->findData("/"));
    EXPECT_EQ(out->Dir2->Path(), "/");
    EXPECT_EQ(out->Text13->text(), "/a.tik");
    prompt.verify();
}

TEST_F(Form2Test, DoubleClickingABankFileCopiesItIn)
{
    subject("生物", {"a.tik"});
    open();
    QTemporaryDir elsewhere;
    const QString source = withTrailingSep(elsewhere.path()) + "外来.tik";
    ASSERT_TRUE(BankFile::createFromTemplate(dir.file("qm.qm"), source));
    // On screen, where the list has the room to show its files.
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    auto doubleClickTheFile = [&] {
        form->Frame1->Command41->click();
        FileListBox* files = form->Frame9->File3;
        files->setPath(elsewhere.path());
        ASSERT_EQ(files->ListCount(), 1);
        // The panel has its room once its layout has run.
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return files->viewport()->rect().contains(files->visualItemRect(files->item(0))); }));
        // A double click reaches the list as a click followed by a double click.
        const QPoint at = files->visualItemRect(files->item(0)).center();
        QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(files->viewport(), Qt::LeftButton, {}, at);
    };

    doubleClickTheFile();
    EXPECT_TRUE(form->Frame9->isHidden());
    EXPECT_EQ(form->Frame9->Text14->text(), source);
    EXPECT_EQ(readAll(SubjectDir() + "外来.tik"), readAll(source));
    EXPECT_TRUE(form->File1->selectFile("外来.tik"));

    // Onto the copy: an overwrite declined is a copy not done.
    prompt
        .expectMessage(QStringLiteral("文件已存在，是否覆盖？"), QStringLiteral("警告"), Icon::Question, Buttons::YesNo,
                       Answer::No, Answer::No)
        .expectMessage(QStringLiteral("目标文件可能已打开，拷贝错误，请检查！"), kError, Icon::Warning);
    doubleClickTheFile();
    prompt.verify();
    EXPECT_FALSE(form->Frame9->isHidden());
}

// Copying out onto a bank the user would not overwrite leaves the panel open for another
// name without a message; a copy that fails names the path it could not write.
TEST_F(Form2Test, CopyOutNotDoneKeepsThePanelOpen)
{
    subject("生物", {"a.tik"});
    open();
    choose("生物", "a.tik");
    QTemporaryDir target;
    const QString there = withTrailingSep(target.path());
    writeAll(there + "a.tik", "kept");
    form->Frame1->Command42->click();
    form->Frame8->Dir2->setPath(target.path());
    ASSERT_EQ(form->Frame8->Text13->text(), there + "a.tik");
    prompt.expectMessage(QStringLiteral("文件已存在，是否覆盖？"), QStringLiteral("警告"), Icon::Question,
                         Buttons::YesNo, Answer::No, Answer::No);
    form->Frame8->Command43->click();
    prompt.verify();
    EXPECT_FALSE(form->Frame8->isHidden());
    EXPECT_EQ(readAll(there + "a.tik"), "kept");

    form->Frame8->Text13->setText(there + "没有的目录/a.tik");
    prompt.expectMessage(QStringLiteral("拷贝失败，请检查输出路径：") + there + "没有的目录/a.tik", kError,
                         Icon::Warning);
    form->Frame8->Command43->click();
    prompt.verify();
    EXPECT_FALSE(form->Frame8->isHidden());
    EXPECT_FALSE(QFileInfo::exists(there + "没有的目录"));
}

TEST_F(Form2Test, FollowsTheBankChosenElsewhereUnlessAnEditIsPending)
{
    subject("生物", {"a.tik", "b.tik"});
    subject("化学", {"c.tik"});
    open();
    choose("生物", "a.tik");
    form->followBank("化学", "c.tik");
    EXPECT_EQ(form->Combo1->currentText(), "化学");
    EXPECT_EQ(form->File1->FileName(), "c.tik");
    EXPECT_EQ(ws().SubjectDir(), BankRoot() + "化学/");

    // A change of the particulars under way keeps its bank.
    form->followBank("生物", "b.tik");
    form->Frame1->Command3->click();
    form->followBank("化学", "c.tik");
    EXPECT_EQ(form->Combo1->currentText(), "生物");
    EXPECT_EQ(form->File1->FileName(), "b.tik");
    form->Frame1->Command5->click();
}
