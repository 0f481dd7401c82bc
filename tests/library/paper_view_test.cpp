// The paper view of the paper-library window: opening a library, paging, the jump, the
// unsaved-change marker, saving the shown tab, deleting, and the papers that wait to be
// filed (from composition or imported).

#include "form7_fixture.h"

#include "bankstore/bank_file.h"
#include "paper/layout.h"
#include "rtf/rtf_writer.h"
#include "support/word_script.h"
#include "widgets/richtextbox.h"

#include <QDate>
#include <QLocale>

using namespace qm;
using namespace qm::test;

namespace {

using Form7Papers = Form7Test;

}  // namespace

TEST_F(Form7Papers, OpeningShowsTheLastPaperAndPagingStopsAtBothEnds)
{
    open("期中.Juk", 5);
    EXPECT_EQ(shown(), "试卷5 5/5 <-");
    EXPECT_EQ(answerText(), "答案5");
    EXPECT_EQ(view().Text5->text(), "卷5");
    EXPECT_EQ(view().Text6->text(), "出卷人5");
    EXPECT_EQ(view().Text9->text(), "2024-6-5");
    EXPECT_FALSE(view().Command3->isEnabled());
    EXPECT_TRUE(view().Command4->isEnabled());
    EXPECT_TRUE(view().Command18->isEnabled());

    view().Command2->click();  // disabled: nothing happens
    view().Command2_Click();   // the handler itself keeps the last paper
    EXPECT_EQ(shown(), "试卷5 5/5 <-");
    view().Command1->click();
    EXPECT_EQ(shown(), "试卷4 4/5 <>");
    for (int i = 0; i < 3; ++i)
        view().Command1->click();
    EXPECT_EQ(shown(), "试卷1 1/5 ->");
    view().Command1_Click();
    EXPECT_EQ(shown(), "试卷1 1/5 ->");
    view().Command2->click();
    EXPECT_EQ(shown(), "试卷2 2/5 <>");

    // A library of one paper: nothing to page to.
    makeLibrary("单份.Juk", 1);
    choose("单份.Juk");
    EXPECT_EQ(shown(), "试卷1 1/1 --");
    // An empty library: empty boxes, counters 0.
    makeLibrary("空.Juk", 0);
    choose("空.Juk");
    EXPECT_EQ(shown(), " 0/0 --");
    EXPECT_EQ(answerText(), "");
    EXPECT_FALSE(view().Command18->isEnabled());
    EXPECT_FALSE(view().Command4->isEnabled());
}

TEST_F(Form7Papers, TheJumpRoundsHalvesToEvenAndStopsAtTheLastPaper)
{
    open("期中.Juk", 4);
    view().Text4->setText("2.5");
    view().Command19->click();
    EXPECT_EQ(shown(), "试卷2 2/4 <>");
    view().Text4->setText("9");
    view().Command19->click();
    EXPECT_EQ(view().Text4->text(), "4");
    EXPECT_EQ(shown(), "试卷4 4/4 <-");
    view().Text4->setText("1.5");
    view().Command19->click();
    EXPECT_EQ(shown(), "试卷2 2/4 <>");
    view().Text4->setText("1");
    view().Command19->click();
    EXPECT_EQ(shown(), "试卷1 1/4 ->");
    // Below 1, no number, nothing: no jump.
    for (const char* text : {"0.4", "第三份", "-2", ""}) {
        view().Text4->setText(text);
        view().Command19->click();
        EXPECT_EQ(shown(), "试卷1 1/4 ->") << text;
    }
}

TEST_F(Form7Papers, SavingOnTheAnswerTabWritesOnlyTheAnswersAndTheParticulars)
{
    open("期中.Juk", 3);
    view().Command1->click();
    const Paper before = *stored(1);
    view().TabStrip1->setCurrentIndex(1);
    EXPECT_TRUE(view().RichTextBox1->isHidden());
    EXPECT_FALSE(view().RichTextBox2->isHidden());
    EXPECT_FALSE(view().Command3->isEnabled());
    view().RichTextBox2->setText("新的答案");
    view().Text5->setText("期中考试");
    EXPECT_TRUE(view().Command3->isEnabled());
    view().Command3->click();
    EXPECT_FALSE(view().Command3->isEnabled());

    const Paper after = *stored(1);
    EXPECT_EQ(after.paper, before.paper);
    EXPECT_EQ(rtfPlainText(after.answers), "新的答案");
    EXPECT_EQ(after.particulars, (PaperParticulars{"期中考试", "出卷人2", "数学组", "教务处", "2024-6-2"}));
    EXPECT_EQ(after.remark, "备注2");
    EXPECT_EQ(*stored(0), paper(1));
    EXPECT_EQ(*stored(2), paper(3));
    // Shown again from the library.
    EXPECT_EQ(shown(), "试卷2 2/3 <>");
    EXPECT_EQ(answerText(), "新的答案");

    view().TabStrip1->setCurrentIndex(0);
    EXPECT_FALSE(view().RichTextBox1->isHidden());
    EXPECT_TRUE(view().RichTextBox2->isHidden());
}

TEST_F(Form7Papers, ChangesAreOfferedForSavingBeforeAnotherPaperIsShown)
{
    open("期中.Juk", 3);
    // No: the change is dropped.
    view().Text5->setText("改过");
    prompt.expectMessage("打开的题库可能被修改，是否先保存？", "警告", Icon::Question, Buttons::YesNo, Answer::No,
                         Answer::Yes);
    view().Command1->click();
    prompt.verify();
    EXPECT_EQ(shown(), "试卷2 2/3 <>");
    EXPECT_EQ(*stored(2), paper(3));
    EXPECT_FALSE(view().Command3->isEnabled());

    // Yes: saved before the next paper is shown; the jump asks too.
    view().RichTextBox1->setText("第二份改过");
    prompt.expectMessage("打开的题库可能被修改，是否先保存？", "警告", Icon::Question, Buttons::YesNo, Answer::Yes,
                         Answer::Yes);
    view().Text4->setText("1");
    view().Command19->click();
    prompt.verify();
    EXPECT_EQ(shown(), "试卷1 1/3 ->");
    EXPECT_EQ(rtfPlainText(stored(1)->paper), "第二份改过");

    // Another library, and closing the window.
    makeLibrary("期末.Juk", 1);
    view().Text6->setText("王");
    prompt.expectMessage("打开的题库可能被修改，是否先保存？", "警告", Icon::Question, Buttons::YesNo, Answer::Yes,
                         Answer::Yes);
    choose("期末.Juk");
    prompt.verify();
    EXPECT_EQ(stored(0)->particulars.setter, "王");
    EXPECT_EQ(shown(), "试卷1 1/1 --");
    form->show();
    view().Text6->setText("李");
    prompt.expectMessage("打开的题库可能被修改，是否先保存？", "警告", Icon::Question, Buttons::YesNo, Answer::No,
                         Answer::Yes);
    view().Command5->click();
    prompt.verify();
    EXPECT_TRUE(form->isHidden());
    EXPECT_EQ(PaperLibrary(libraryPath("期末.Juk")).read(0)->particulars.setter, "出卷人1");
}

TEST_F(Form7Papers, EveryChangedBoxIsSavedWhicheverTabIsShown)
{
    open("期中.Juk", 3);
    // Edits in both boxes; the answer tab is shown when saving.
    view().RichTextBox1->setText("改过的试卷");
    view().TabStrip1->setCurrentIndex(1);
    view().RichTextBox2->setText("改过的答案");
    view().Command3->click();
    EXPECT_EQ(rtfPlainText(stored(2)->paper), "改过的试卷");
    EXPECT_EQ(rtfPlainText(stored(2)->answers), "改过的答案");
    EXPECT_EQ(paperText(), "改过的试卷");

    // The same when the save question before "上一份" is answered Yes.
    view().RichTextBox1->setText("又改过的试卷");
    view().RichTextBox2->setText("又改过的答案");
    prompt.expectMessage("打开的题库可能被修改，是否先保存？", "警告", Icon::Question, Buttons::YesNo, Answer::Yes,
                         Answer::Yes);
    view().Command1->click();
    prompt.verify();
    EXPECT_EQ(rtfPlainText(stored(2)->paper), "又改过的试卷");
    EXPECT_EQ(rtfPlainText(stored(2)->answers), "又改过的答案");
    // A box that was not changed keeps its stored bytes.
    view().Text5->setText("只改卷名");
    view().Command3->click();
    EXPECT_EQ(stored(1)->paper, paper(2).paper);
    EXPECT_EQ(stored(1)->answers, paper(2).answers);
    EXPECT_EQ(stored(1)->particulars.name, "只改卷名");
}

TEST_F(Form7Papers, AnArrivingPaperStartsFromItsOwnParticularsAndTheFirstLibrary)
{
    makeLibrary("期中.Juk", 1);
    makeLibrary("期末.Juk", 1);
    choose("期中.Juk");
    ASSERT_EQ(view().Text6->text(), "出卷人1");
    form->File1->setListIndex(-1);
    // Not the particulars of the paper shown before; a date that reads the same everywhere.
    ASSERT_TRUE(form->receivePaper(rtfFromPlainText("新卷"), rtfFromPlainText("新答"), PaperOrigin::Manual,
                                   "高一(3)班《数学》期中试卷"));
    EXPECT_EQ(view().Text5->text(), "高一(3)班《数学》期中试卷");
    EXPECT_EQ(view().Text6->text(), "");
    EXPECT_EQ(view().Text7->text(), "");
    EXPECT_EQ(view().Text8->text(), "");
    EXPECT_EQ(view().Text9->text(), QDate::currentDate().toString("yyyy-MM-dd"));
    // The subject's first library in the list is chosen, so "保存试卷" files the paper at once.
    EXPECT_EQ(form->File1->FileName(), "期末.Juk");
    view().Command3->click();
    EXPECT_EQ(storedCount("期末.Juk"), 2);
    EXPECT_EQ(stored(1, "期末.Juk")->particulars.name, "高一(3)班《数学》期中试卷");
    EXPECT_FALSE(form->cursor.waiting());
}

TEST_F(Form7Papers, AnArrivingPaperAsksAboutChangesAndAPaperStillWaiting)
{
    open("期中.Juk", 2);
    view().RichTextBox2->setText("没存的答案");
    prompt.expectMessage("打开的题库可能被修改，是否先保存？", "警告", Icon::Question, Buttons::YesNo, Answer::Yes,
                         Answer::Yes);
    ASSERT_TRUE(form->receivePaper(rtfFromPlainText("第一份"), {}, PaperOrigin::Automatic, "甲"));
    prompt.verify();
    EXPECT_EQ(rtfPlainText(stored(1)->answers), "没存的答案");

    // A second paper while the first still waits: Yes files the first.
    prompt.expectMessage("还有一份试卷没有存入试卷库，是否先存入？", "警告", Icon::Question, Buttons::YesNo,
                         Answer::Yes, Answer::Yes);
    ASSERT_TRUE(form->receivePaper(rtfFromPlainText("第二份"), {}, PaperOrigin::Automatic, "乙"));
    prompt.verify();
    EXPECT_EQ(storedCount(), 3);
    EXPECT_EQ(rtfPlainText(stored(2)->paper), "第一份");
    EXPECT_EQ(paperText(), "第二份");
    EXPECT_TRUE(form->cursor.waiting());
}

TEST_F(Form7Papers, DeletingAPaperShowsTheOneThatFollowedAndTheLastLeavesAnEmptyLibrary)
{
    open("期中.Juk", 3);
    view().Command1->click();
    prompt.expectMessage("您真的要删除当前打开的试卷及答卷吗？", "警告", Icon::Question, Buttons::YesNo, Answer::No,
                         Answer::No);
    view().Command18->click();
    prompt.verify();
    EXPECT_EQ(storedCount(), 3);

    prompt.expectMessage("您真的要删除当前打开的试卷及答卷吗？", "警告", Icon::Question, Buttons::YesNo, Answer::Yes,
                         Answer::No);
    view().Command18->click();
    prompt.verify();
    EXPECT_EQ(shown(), "试卷3 2/2 <-");
    EXPECT_EQ(*stored(1), paper(3));

    makeLibrary("单份.Juk", 1);
    choose("单份.Juk");
    prompt.expectMessage("您真的要删除当前打开的试卷及答卷吗？", "警告", Icon::Question, Buttons::YesNo, Answer::Yes,
                         Answer::No);
    view().Command18->click();
    prompt.verify();
    EXPECT_EQ(shown(), " 0/0 --");
    EXPECT_EQ(answerText(), "");
    EXPECT_EQ(form->cursor.position(), 0);
    for (QPushButton* b : {view().Command3, view().Command4, view().Command18})
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    EXPECT_EQ(storedCount("单份.Juk"), 0);
}

TEST_F(Form7Papers, APaperWithoutAnswersShowsAnEmptyAnswerBox)
{
    makeLibrary("期中.Juk", 2);
    ASSERT_TRUE(PaperLibrary(libraryPath("期中.Juk")).append(paper(3, false)));
    choose("期中.Juk");
    EXPECT_EQ(shown(), "试卷3 3/3 <-");
    EXPECT_EQ(answerText(), "");
    view().Command1->click();
    EXPECT_EQ(answerText(), "答案2");
}

TEST_F(Form7Papers, ComposedPapersWaitThroughChoicesAndAreFiledAsTheLastPaper)
{
    makeLibrary("期中.Juk", 2);
    for (const QString caller : {"3", "5"}) {
        SCOPED_TRACE(caller.toStdString());
        form->receivePaper(rtfFromPlainText("组好的试卷" + caller), rtfFromPlainText("组好的答案" + caller),
                           caller == "3" ? PaperOrigin::Automatic : PaperOrigin::Manual, "高一《数学》期中试卷");
        EXPECT_EQ(callerCode(form->cursor.origin()), caller);
        // The particulars start from the paper's header and today's date.
        EXPECT_EQ(view().Text5->text(), "高一《数学》期中试卷");
        EXPECT_EQ(view().Text6->text(), "");
        EXPECT_EQ(view().Text9->text(), QDate::currentDate().toString("yyyy-MM-dd"));
        EXPECT_TRUE(view().Command3->isEnabled());
        EXPECT_FALSE(view().Command18->isEnabled());

        // Nothing chosen yet: the paper keeps waiting.
        form->File1->setListIndex(-1);
        prompt.expectMessage("请选择试卷库名！", "错误", Icon::Warning);
        view().Command3->click();
        prompt.verify();
        EXPECT_EQ(callerCode(form->cursor.origin()), caller);

        // Subject and library choices and paging leave the waiting paper in the boxes.
        form->Combo1->setCurrentIndex(1);
        form->Combo1->setCurrentIndex(0);
        choose("期中.Juk");
        view().Command1->click();
        EXPECT_EQ(paperText(), "组好的试卷" + caller);
        EXPECT_EQ(answerText(), "组好的答案" + caller);

        view().Text5->setText("期中" + caller);
        view().Command3->click();
        EXPECT_EQ(callerCode(form->cursor.origin()), "");
        const int n = storedCount();
        EXPECT_EQ(n, caller == "3" ? 3 : 4);
        EXPECT_EQ(shown(), QStringLiteral("组好的试卷%1 %2/%2 <-").arg(caller).arg(n));
        const Paper filed = *stored(n - 1);
        EXPECT_EQ(rtfPlainText(filed.paper), "组好的试卷" + caller);
        EXPECT_EQ(rtfPlainText(filed.answers), "组好的答案" + caller);
        EXPECT_EQ(filed.particulars.name, "期中" + caller);
        EXPECT_FALSE(view().Command3->isEnabled());
    }
}

TEST_F(Form7Papers, ClosingKeepsAWaitingPaperWaiting)
{
    makeLibrary("期中.Juk", 1);
    form->show();
    form->receivePaper(rtfFromPlainText("等待的试卷"), rtfFromPlainText("等待的答案"), PaperOrigin::Automatic, "试卷");
    view().Command5->click();  // no question: the paper is not lost
    EXPECT_TRUE(form->isHidden());
    EXPECT_EQ(callerCode(form->cursor.origin()), "3");
    EXPECT_EQ(paperText(), "等待的试卷");
    EXPECT_TRUE(view().Command3->isEnabled());
}

TEST_F(Form7Papers, SavingInAnEmptyLibraryFilesTheBoxesAsItsFirstPaper)
{
    open("空.Juk", 0);
    EXPECT_FALSE(view().Command3->isEnabled());
    view().RichTextBox1->setText("手写的试卷");
    view().Text5->setText("随堂测验");
    ASSERT_TRUE(view().Command3->isEnabled());
    view().Command3->click();
    EXPECT_EQ(storedCount("空.Juk"), 1);
    EXPECT_EQ(rtfPlainText(PaperLibrary(libraryPath("空.Juk")).read(0)->paper), "手写的试卷");
    EXPECT_EQ(shown(), "手写的试卷 1/1 --");
    EXPECT_EQ(view().Text5->text(), "随堂测验");
}

TEST_F(Form7Papers, ImportWithBothDialogsCancelledFilesWhatTheBoxesHold)
{
    open("期中.Juk", 2);
    library().Timer1_Timer();
    ASSERT_TRUE(library().Command9->isEnabled());
    prompt
        .expectMessage("　　只能导入RTF格式文件，可以由WORD将DOC文件转存为RTF格式文件！继续导入文件？", "提示",
                       Icon::Question, Buttons::YesNo, Answer::Yes, Answer::Yes)
        .expectMessage("请先指定将导入的“试卷”文件！", "提示", Icon::Warning)
        .expectOpenFile("导入试卷", "RTF格式文件|*.rtf", "")
        .expectMessage("请再指定将导入的“答卷”文件！", "提示", Icon::Warning)
        .expectOpenFile("导入答卷", "RTF格式文件|*.rtf", "");
    library().Command9->click();
    prompt.verify();
    EXPECT_EQ(storedCount(), 3);
    EXPECT_EQ(shown(), "试卷2 3/3 <-");
    EXPECT_EQ(stored(2)->particulars, paper(2).particulars);
    EXPECT_EQ(callerCode(form->cursor.origin()), "");
}

TEST_F(Form7Papers, ImportFilesTwoRtfFilesAndRefusesAnythingElse)
{
    open("期中.Juk", 1);
    library().Timer1_Timer();
    writeAll(dir.file("卷.rtf"), rtfFromPlainText("导入的试卷"));
    writeAll(dir.file("答.rtf"), rtfFromPlainText("导入的答案"));
    writeAll(dir.file("答.doc"), "\xD0\xCF\x11\xE0 word");
    const auto importing = [&](const QString& answers) -> ScriptedPrompt& {
        return prompt
            .expectMessage("　　只能导入RTF格式文件，可以由WORD将DOC文件转存为RTF格式文件！继续导入文件？", "提示",
                           Icon::Question, Buttons::YesNo, Answer::Yes, Answer::Yes)
            .expectMessage("请先指定将导入的“试卷”文件！", "提示", Icon::Warning)
            .expectOpenFile("导入试卷", "RTF格式文件|*.rtf", dir.file("卷.rtf"))
            .expectMessage("请再指定将导入的“答卷”文件！", "提示", Icon::Warning)
            .expectOpenFile("导入答卷", "RTF格式文件|*.rtf", answers);
    };
    importing(dir.file("答.doc"))
        .expectMessage("文件“" + dir.file("答.doc") + "”不是RTF格式文件，不能导入！", "错误", Icon::Warning);
    library().Command9->click();
    prompt.verify();
    EXPECT_EQ(storedCount(), 1);
    EXPECT_EQ(shown(), "试卷1 1/1 --");
    EXPECT_EQ(callerCode(form->cursor.origin()), "");

    importing(dir.file("答.rtf"));
    library().Command9->click();
    prompt.verify();
    EXPECT_EQ(storedCount(), 2);
    EXPECT_EQ(shown(), "导入的试卷 2/2 <-");
    EXPECT_EQ(answerText(), "导入的答案");

    // No: nothing asked further, nothing filed.
    prompt.expectMessage("　　只能导入RTF格式文件，可以由WORD将DOC文件转存为RTF格式文件！继续导入文件？", "提示",
                         Icon::Question, Buttons::YesNo, Answer::No, Answer::Yes);
    library().Command9->click();
    prompt.verify();
    EXPECT_EQ(storedCount(), 2);
}

TEST_F(Form7Papers, TheWordProcessorRoundTripCountsAsAChange)
{
    dir.workspace.setBankRoot(dir.file("tiku"));
    open("期中.Juk", 2);
    view().TabStrip1->setCurrentIndex(1);
    WordScript word(WordScript::savesRtf(rtfFromPlainText("在WORD中改过的答案")));
    view().Command4->click();
    EXPECT_EQ(answerText(), "在WORD中改过的答案");
    EXPECT_EQ(paperText(), "试卷2");
    EXPECT_TRUE(view().Command3->isEnabled());
    EXPECT_TRUE(QFile::exists(dir.file("tiku/~SjA.rtf")));
    view().Command3->click();
    EXPECT_EQ(rtfPlainText(stored(1)->answers), "在WORD中改过的答案");
}

TEST_F(Form7Papers, APaperKeepsItsSheetsWhenFiledEditedAndSavedAgain)
{
    makeLibrary("期中.Juk", 1);
    choose("期中.Juk");
    QTextDocument doc;
    doc.setPlainText("两栏的试卷");
    const PageSetup a3 = paper::SheetGeometry(paper::PaperLayout::A3Seal).pageSetup();
    const PageSetup a3Answers = paper::SheetGeometry(paper::PaperLayout::A3Seal, false).pageSetup();
    ASSERT_TRUE(form->receivePaper(RtfWriter::write(doc, &a3), RtfWriter::write(doc, &a3Answers),
                                   PaperOrigin::Automatic, "期中"));
    view().Command3->click();
    ASSERT_EQ(storedCount("期中.Juk"), 2);
    // Changed: saved on the same sheets, the strip on the paper only.
    view().RichTextBox1->setText("改过的两栏试卷");
    view().RichTextBox2->setText("改过的答案");
    view().Command3->click();
    const std::optional<Paper> filed = stored(1, "期中.Juk");
    ASSERT_TRUE(filed);
    EXPECT_EQ(rtfPlainText(filed->paper), "改过的两栏试卷");
    EXPECT_EQ(paper::layoutOfRtf(filed->paper), paper::PaperLayout::A3Seal);
    EXPECT_TRUE(filed->paper.contains("\\cols2") && filed->paper.contains("txflTextFlow"));
    EXPECT_EQ(paper::layoutOfRtf(filed->answers), paper::PaperLayout::A3Seal);
    EXPECT_FALSE(filed->answers.contains("txflTextFlow"));
    // The paper before it is shown, and written, on A4 as it always was.
    view().Command1->click();
    EXPECT_EQ(paper::layoutOfRtf(view().RichTextBox1->TextRTF()), paper::PaperLayout::A4);
}

TEST_F(Form7Papers, AnAAndABPaperAreFiledTogetherAndTheirUsesRecorded)
{
    makeLibrary("期末.Juk", 1);
    choose("期末.Juk");
    const QString bankPath = dir.file("tiku/数学/代数.tik");
    ASSERT_TRUE(BankFile::createEmpty(bankPath));
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(BankFile(bankPath).add(Question{}));
    const QList<qint64> ids = *BankFile(bankPath).idsMatching({});
    ASSERT_TRUE(form->receivePapers(
        {{rtfFromPlainText("A卷"), rtfFromPlainText("A答"), "期末试卷(A)卷", {{bankPath, ids[0]}, {bankPath, ids[1]}}},
         {rtfFromPlainText("B卷"), rtfFromPlainText("B答"), "期末试卷(B)卷", {{bankPath, ids[2]}, {bankPath, ids[1]}}}},
        PaperOrigin::Automatic));
    EXPECT_FALSE(view().LabelCompanion->isHidden());
    EXPECT_EQ(view().LabelCompanion->text(), "另有“期末试卷(B)卷”将与本卷一同存入试卷库");
    EXPECT_EQ(view().Text5->text(), "期末试卷(A)卷");
    view().Text6->setText("王老师");
    view().Text9->setText("2026-01-10");
    view().Command3->click();
    ASSERT_EQ(storedCount("期末.Juk"), 3);
    EXPECT_EQ(stored(1, "期末.Juk")->particulars.name, "期末试卷(A)卷");
    const Paper b = *stored(2, "期末.Juk");
    EXPECT_EQ(b.particulars.name, "期末试卷(B)卷");
    EXPECT_EQ(b.particulars.setter, "王老师");
    EXPECT_EQ(rtfPlainText(b.paper), "B卷");
    EXPECT_TRUE(view().LabelCompanion->isHidden());
    // A question in both papers is used twice; each under its paper and the date typed.
    EXPECT_EQ(usageText(*BankFile(bankPath).usageOf(ids[0])), "已用 1 次，最近 2026-01-10《期末试卷(A)卷》");
    EXPECT_EQ(usageText(*BankFile(bankPath).usageOf(ids[1])), "已用 2 次，最近 2026-01-10《期末试卷(B)卷》");
    EXPECT_EQ(BankFile(bankPath).usage()->size(), 3);

    // A paper imported from files records nothing; nor does one never filed.
    ASSERT_TRUE(form->receivePaper(rtfFromPlainText("草稿"), {}, PaperOrigin::Manual, "草稿"));
    EXPECT_EQ(BankFile(bankPath).usage()->size(), 3);
}

TEST_F(Form7Papers, APaperWhoseBankCannotBeWrittenIsFiledAndTheBankNamed)
{
    makeLibrary("期末.Juk", 1);
    choose("期末.Juk");
    const QString junk = dir.file("tiku/数学/坏.tik");
    ASSERT_TRUE(writeAll(junk, "这不是题库"));
    ASSERT_TRUE(form->receivePapers({{rtfFromPlainText("卷"), rtfFromPlainText("答"), "期末试卷", {{junk, 1}}}},
                                    PaperOrigin::Manual));
    prompt.expectMessage("试卷已存入试卷库，但下列题库没有记下题目的使用：\n文件“" + junk
                             + "”不是本程序的题库文件，无法打开。",
                         "错误", Icon::Warning);
    view().Command3->click();
    prompt.verify();
    EXPECT_EQ(storedCount("期末.Juk"), 2);
    EXPECT_FALSE(form->cursor.waiting());
    EXPECT_EQ(readAll(junk), "这不是题库");
}
