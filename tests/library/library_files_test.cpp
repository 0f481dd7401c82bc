// The libraries of the paper-library window: the subject choice and its library list,
// new, delete, merge, copy in and copy out, and the availability of their commands.

#include "form7_fixture.h"

#include "core/paths.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace qm;
using namespace qm::test;

namespace {

using Form7Libraries = Form7Test;

}  // namespace

TEST_F(Form7Libraries, TheSubjectChoiceListsTheLibrariesBelowTheProgramDirectory)
{
    // Libraries live below ProgramDir + "tiku/" even when the banks are elsewhere.
    dir.workspace.setBankRoot(dir.file("网络/tiku"));
    makeLibrary("期中.Juk", 1);
    makeLibrary("期末.Juk", 0);
    writeAll(libraryPath("旧卷.JUK"), readAll(dir.file("jk.jk")));
    writeAll(libraryPath("题库.tik"), "bank");
    form->Combo1->setCurrentIndex(1);
    EXPECT_EQ(listed(), QStringList());
    form->Combo1->setCurrentIndex(0);
    EXPECT_EQ(listed(), (QStringList{"旧卷.JUK", "期末.Juk", "期中.Juk"}));

    // A subject choice closes the open library and empties the boxes.
    choose("期中.Juk");
    EXPECT_EQ(form->cursor.library(), libraryPath("期中.Juk"));
    form->Combo1->setCurrentIndex(1);
    EXPECT_EQ(form->cursor.library(), "");
    EXPECT_EQ(form->cursor.position(), 0);
    EXPECT_EQ(paperText(), "");
    for (QPushButton* b : {view().Command1, view().Command2, view().Command4, view().Command18})
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    // A subject without a library directory lists nothing, silently.
    QDir(dir.file("tiku/语文")).removeRecursively();
    form->Combo1->setCurrentIndex(0);
    form->Combo1->setCurrentIndex(1);
    EXPECT_EQ(listed(), QStringList());
}

TEST_F(Form7Libraries, TheSubjectListFollowsTheBankWindow)
{
    Form7 fresh(dir.workspace, prompt);
    EXPECT_EQ(fresh.Combo1->currentText(), "");
    fresh.setSubjects({"物理", "数学"});
    EXPECT_EQ(fresh.Combo1->currentText(), "");
    fresh.open();
    EXPECT_EQ(fresh.Combo1->currentText(), "物理");
    fresh.Combo1->setCurrentIndex(1);
    makeLibrary("期中.Juk", 1);
    fresh.File1->Refresh();
    fresh.File1->clickItem(0);
    // Rebuilt with the chosen subject still there: it stays chosen and open.
    fresh.setSubjects({"数学", "化学"});
    EXPECT_EQ(fresh.Combo1->currentText(), "数学");
    EXPECT_EQ(fresh.cursor.library(), libraryPath("期中.Juk"));
    // Gone: nothing chosen, nothing open.
    fresh.setSubjects({"化学"});
    EXPECT_EQ(fresh.Combo1->currentText(), "");
    EXPECT_EQ(fresh.cursor.library(), "");
    EXPECT_EQ(fresh.File1->ListCount(), 0);
}

TEST_F(Form7Libraries, TheLibraryCommandsFollowTheChoiceOfALibrary)
{
    // As the window starts, before the timer first runs.
    for (QPushButton* b : {view().Command1, view().Command2, view().Command3, view().Command4, view().Command18,
                           library().Command8, library().Command9, library().Command10})
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    for (QPushButton* b :
         {library().Command6, library().Command17, library().Command7, view().Command19, view().Command5})
        EXPECT_TRUE(b->isEnabled()) << b->objectName().toStdString();
    EXPECT_EQ(view().Label4->text(), "0");
    EXPECT_EQ(view().Label7->text(), "0");

    const QList<QPushButton*> commands{library().Command8, library().Command9, library().Command10,
                                       library().Command17};
    library().Timer1_Timer();
    for (QPushButton* b : commands)
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    open("期中.Juk", 1);
    library().Timer1_Timer();
    for (QPushButton* b : commands)
        EXPECT_TRUE(b->isEnabled()) << b->objectName().toStdString();
    EXPECT_TRUE(library().Timer1->isActive());
    EXPECT_EQ(library().Timer1->interval(), 500);
}

TEST_F(Form7Libraries, ANewLibraryIsACopyOfTheTemplateUnderANameNotYetTaken)
{
    makeLibrary("期中.JUK", 0);
    makeLibrary("Final.Juk", 0);
    form->File1->Refresh();
    library().Command6->click();
    EXPECT_FALSE(form->Frame1->isHidden());

    form->Frame1->Command11->click();  // no name: nothing
    EXPECT_FALSE(form->Frame1->isHidden());
    for (const char* taken : {"期中", "final", "FINAL"}) {
        form->Frame1->Text1->setText(taken);
        prompt.expectMessage("试卷库已存在，请另取名！", "错误", Icon::Warning);
        form->Frame1->Command11->click();
        prompt.verify();
        EXPECT_FALSE(form->Frame1->isHidden());
    }
    form->Frame1->Text1->setText("a/b");
    prompt.expectMessage("试卷库名称中不能有下列字符：\\ / : * ? \" < > |", "错误", Icon::Warning);
    form->Frame1->Command11->click();
    prompt.verify();

    form->Frame1->Text1->setText("期末");
    form->Frame1->Command11->click();
    EXPECT_TRUE(form->Frame1->isHidden());
    EXPECT_EQ(readAll(libraryPath("期末.Juk")), readAll(dir.file("jk.jk")));
    EXPECT_EQ(listed(), (QStringList{"Final.Juk", "期末.Juk", "期中.JUK"}));
    EXPECT_EQ(form->cursor.library(), "");  // not opened

    library().Command6->click();
    form->Frame1->Command12->click();
    EXPECT_TRUE(form->Frame1->isHidden());
}

TEST_F(Form7Libraries, DeletingALibraryAsksFirstAndEnterKeepsIt)
{
    open("期中.Juk", 2);
    prompt.expectMessage("您真的要删除该试卷库吗？", "警告", Icon::Question, Buttons::YesNo, Answer::No, Answer::No);
    library().Command17->click();
    prompt.verify();
    EXPECT_TRUE(QFile::exists(libraryPath("期中.Juk")));
    EXPECT_EQ(shown(), "试卷2 2/2 <-");

    prompt.expectMessage("您真的要删除该试卷库吗？", "警告", Icon::Question, Buttons::YesNo, Answer::Yes, Answer::No);
    library().Command17->click();
    prompt.verify();
    EXPECT_FALSE(QFile::exists(libraryPath("期中.Juk")));
    EXPECT_EQ(listed(), QStringList());
    EXPECT_EQ(form->cursor.library(), "");
    EXPECT_EQ(form->cursor.position(), 0);
    EXPECT_EQ(paperText(), "");
    for (QPushButton* b : {view().Command1, view().Command2, view().Command4, view().Command18})
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
}

TEST_F(Form7Libraries, MergingAppendsTheOtherLibrarysPapersButNeverTheLibraryItself)
{
    open("期中.Juk", 2);
    makeLibrary("补充.Juk", 0);
    PaperLibrary extra(libraryPath("补充.Juk"));
    ASSERT_TRUE(extra.append(paper(7, false)));
    ASSERT_TRUE(extra.append(paper(8, false)));
    choose("期中.Juk");
    library().Timer1_Timer();
    const QByteArray before = readAll(libraryPath("期中.Juk"));

    // The open library itself, in any letter case, or no file: nothing happens.
    for (const QString& self : {libraryPath("期中.Juk"), libraryPath("期中.JUK"), QString()}) {
        prompt.expectOpenFile("合并卷库", "试卷库文件*.Juk|*.juk", self);
        library().Command10->click();
        prompt.verify();
    }
    EXPECT_EQ(readAll(libraryPath("期中.Juk")), before);

    // A file that is no library is named; nothing changes.
    writeAll(dir.file("坏.Juk"), "not a library");
    prompt.expectOpenFile("合并卷库", "试卷库文件*.Juk|*.juk", dir.file("坏.Juk"))
        .expectMessage("文件“" + dir.file("坏.Juk") + "”不是本程序的试卷库文件，无法打开。", "错误", Icon::Warning);
    library().Command10->click();
    prompt.verify();
    EXPECT_EQ(readAll(libraryPath("期中.Juk")), before);

    prompt.expectOpenFile("合并卷库", "试卷库文件*.Juk|*.juk", libraryPath("补充.Juk"));
    library().Command10->click();
    prompt.verify();
    EXPECT_EQ(storedCount(), 4);
    EXPECT_EQ(*stored(3), paper(8, false));
    EXPECT_EQ(*stored(2), paper(7, false));
    EXPECT_EQ(shown(), "试卷8 4/4 <-");
    EXPECT_EQ(answerText(), "");
}

TEST_F(Form7Libraries, OpeningAFileThatIsNoLibraryNamesItAndChangesNothing)
{
    writeAll(libraryPath("坏.Juk"), "not a library");
    open("期中.Juk", 1);
    prompt.expectMessage("文件“" + libraryPath("坏.Juk") + "”不是本程序的试卷库文件，无法打开。", "错误",
                         Icon::Warning);
    form->File1->clickItem(int(listed().indexOf("坏.Juk")));
    prompt.verify();
    EXPECT_EQ(readAll(libraryPath("坏.Juk")), "not a library");
    EXPECT_EQ(form->cursor.library(), "");
    EXPECT_EQ(form->File1->FileName(), "");
    EXPECT_EQ(paperText(), "");
}

TEST_F(Form7Libraries, CopyingInTakesJukFilesOnlyAndAsksBeforeOverwriting)
{
    QTemporaryDir elsewhere;
    const QString source = elsewhere.filePath("外校.Juk");
    ASSERT_TRUE(PaperLibrary::createFromTemplate(dir.file("jk.jk"), source));
    ASSERT_TRUE(PaperLibrary(source).append(paper(9)));
    writeAll(elsewhere.filePath("笔记.txt"), "text");

    library().Command7->click();
    ASSERT_FALSE(form->Frame2->isHidden());
    form->Frame2->Dir1->setPath(elsewhere.path());
    ASSERT_EQ(form->Frame2->File2->ListCount(), 1);
    form->Frame2->File2->clickItem(0);
    EXPECT_EQ(form->Frame2->Text2->text(), "外校.Juk");

    for (const char* wrong : {"", "笔记.txt", "juk"}) {
        form->Frame2->Text2->setText(wrong);
        prompt.expectMessage("文件名错误，请重新输入！", "错误", Icon::Warning);
        form->Frame2->Command14->click();
        prompt.verify();
    }
    form->Frame2->Text2->setText("外校.Juk");
    form->Frame2->Command14->click();
    EXPECT_TRUE(form->Frame2->isHidden());
    EXPECT_EQ(listed(), QStringList{"外校.Juk"});
    EXPECT_EQ(PaperLibrary(libraryPath("外校.Juk")).count(), 1);

    // Again onto the copy: declining the overwrite cancels the copy; the panel stays.
    library().Command7->click();
    form->Frame2->Text2->setText("外校.Juk");
    prompt.expectMessage("文件已存在，是否覆盖？", "警告", Icon::Question, Buttons::YesNo, Answer::No, Answer::No)
        .expectMessage("拷贝取消，请检查！", "错误", Icon::Warning);
    form->Frame2->Command14->click();
    prompt.verify();
    EXPECT_FALSE(form->Frame2->isHidden());
    // A missing source cancels it too; a file that is no library is named.
    form->Frame2->Text2->setText("没有.juk");
    prompt.expectMessage("拷贝取消，请检查！", "错误", Icon::Warning);
    form->Frame2->Command14->click();
    prompt.verify();
    writeAll(elsewhere.filePath("坏.JUK"), "not a library");
    form->Frame2->Text2->setText("坏.JUK");
    prompt.expectMessage("文件“" + elsewhere.filePath("坏.JUK") + "”不是本程序的试卷库文件，无法打开。", "错误",
                         Icon::Warning);
    form->Frame2->Command14->click();
    prompt.verify();
    EXPECT_FALSE(QFile::exists(libraryPath("坏.JUK")));
    form->Frame2->Command15->click();
    EXPECT_TRUE(form->Frame2->isHidden());

    // Without a subject there is nowhere to copy to.
    Form7 empty(dir.workspace, prompt);
    prompt.expectMessage("请先选择学科名！如果没有设置学科，可在题库录入功能中设置。", "Quellmark", Icon::None);
    empty.Library->Command7->click();
    prompt.verify();
    EXPECT_TRUE(empty.Frame2->isHidden());
}

TEST_F(Form7Libraries, CopyingOutWritesTheLibraryUnderItsNameIntoTheChosenDirectory)
{
    open("期中.Juk", 2);
    QTemporaryDir target;
    library().Timer1_Timer();
    library().Command8->click();
    ASSERT_FALSE(form->Frame3->isHidden());
    EXPECT_EQ(form->Frame3->Text3->text(), "期中.Juk");
    form->Frame3->Dir2->setPath(target.path());
    form->Frame3->Command16->click();
    EXPECT_TRUE(form->Frame3->isHidden());
    EXPECT_EQ(readAll(target.filePath("期中.Juk")), readAll(libraryPath("期中.Juk")));

    library().Command8->click();
    prompt.expectMessage("文件已存在，是否覆盖？", "警告", Icon::Question, Buttons::YesNo, Answer::No, Answer::No)
        .expectMessage("拷贝取消，请检查！", "错误", Icon::Warning);
    form->Frame3->Command16->click();
    prompt.verify();
    EXPECT_FALSE(form->Frame3->isHidden());
    form->Frame3->Command13->click();
    EXPECT_TRUE(form->Frame3->isHidden());
}

// A place that cannot be read (a medium taken out, a share gone) leaves the lists of both
// copy panels as they were; a place that can be read moves them.
TEST_F(Form7Libraries, CopyPanelsKeepTheirListsWhenAPlaceCannotBeRead)
{
    open("期中.Juk", 1);
    QTemporaryDir elsewhere;
    const QString there = withTrailingSep(elsewhere.path());
    ASSERT_TRUE(PaperLibrary::createFromTemplate(dir.file("jk.jk"), there + "外校.Juk"));
    const QString gone = there + "拔出的U盘/";

    library().Command7->click();
    LibraryCopyInPanel* in = form->Frame2;
    in->Dir1->setPath(elsewhere.path());
    ASSERT_EQ(in->File2->ListCount(), 1);
    in->Drive1->addItem(gone, gone);
    in->Drive1->setCurrentIndex(in->Drive1->count() - 1);
    EXPECT_EQ(in->Dir1->Path(), there);
    EXPECT_EQ(in->File2->Path(), there);
    EXPECT_EQ(in->File2->ListCount(), 1);
    in->Drive1->setCurrentIndex(in->Drive1->findData("/"));
    EXPECT_EQ(in->Dir1->Path(), "/");
    EXPECT_EQ(in->File2->Path(), "/");
    // Esc in the panel cancels it.
    QTest::keyClick(in->Text2, Qt::Key_Escape);
    EXPECT_TRUE(in->isHidden());

    library().Timer1_Timer();
    library().Command8->click();
    LibraryCopyOutPanel* out = form->Frame3;
    out->Dir2->setPath(elsewhere.path());
    out->Drive2->addItem(gone, gone);
    out->Drive2->setCurrentIndex(out->Drive2->count() - 1);
    EXPECT_EQ(out->Dir2->Path(), there);
    out->Drive2->setCurrentIndex(out->Drive2->findData("/"));
    EXPECT_EQ(out->Dir2->Path(), "/");
}

TEST_F(Form7Libraries, DoubleClickingALibraryCopiesItIn)
{
    QTemporaryDir elsewhere;
    const QString source = elsewhere.filePath("外校.Juk");
    ASSERT_TRUE(PaperLibrary::createFromTemplate(dir.file("jk.jk"), source));
    ASSERT_TRUE(PaperLibrary(source).append(paper(9)));
    // On screen, where the list has the room to show its files.
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    auto doubleClickTheFile = [&] {
        library().Command7->click();
        FileListBox* files = form->Frame2->File2;
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
    EXPECT_TRUE(form->Frame2->isHidden());
    EXPECT_EQ(form->Frame2->Text2->text(), "外校.Juk");
    EXPECT_EQ(listed(), QStringList{"外校.Juk"});
    EXPECT_EQ(readAll(libraryPath("外校.Juk")), readAll(source));

    // Onto the copy: an overwrite declined is a copy not done.
    prompt.expectMessage("文件已存在，是否覆盖？", "警告", Icon::Question, Buttons::YesNo, Answer::No, Answer::No)
        .expectMessage("拷贝取消，请检查！", "错误", Icon::Warning);
    doubleClickTheFile();
    prompt.verify();
    EXPECT_FALSE(form->Frame2->isHidden());
}
