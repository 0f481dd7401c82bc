// The header pane and the assembled paper of the composition window: settings kept in
// JuanMian.cfg, the header, "出　卷", the word processor, PDF and the hand-off to the
// paper library.

#include "form3_fixture.h"

#include "bankstore/paper_library.h"
#include "composer/header_pane.h"
#include "composer/paper_choices_panel.h"
#include "composer/paper_panel.h"
#include "core/gbk.h"
#include "core/workspace.h"
#include "paper/header_settings.h"
#include "support/word_script.h"
#include "widgets/richtextbox.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStackedWidget>

using namespace qm;
using namespace qm::test;

namespace {

class HeaderAndPaper : public Form3Test {
protected:
    HeaderPane& header() { return *form->Frame2; }
    PaperPanel& paperPanel() { return *form->Paper; }
    QString paperText() { return paperPanel().RichTextBox3->toPlainText(); }
    QString answerText() { return paperPanel().RichTextBox4->toPlainText(); }
    void fillHeader()
    {
        header().Text6->setText("2003");
        header().Text7->setText("2004");
        header().Text8->setText("1");
        header().Text9->setText("高一(3)班");
        header().Text10->setText("90");
        header().Text11->setText("A");
    }
    // Two sections: two 选择题 (section total 12) and one 填空题 (no total).
    void draw()
    {
        form->Contents->setRandom(std::make_unique<selection::SeededRandom>(3));
        choose(criteria().TypePanel, criteria().Command23, {"选择题", "填空题"});
        criteria().Check2->click();
        criteria().Check3->click();
        // Rows: 选择题 score 1 (4), score 2 (5); 填空题 score 3 (4).
        type(2, 3, "2");
        type(1, 4, "12");
        type(3, 3, "1");
        form->Command5->click();
        form->Contents->Command41->click();
        ASSERT_EQ(form->Contents->rows().size(), 3);
    }
};

}  // namespace

TEST_F(HeaderAndPaper, SettingsStartFromTheDefaultsAndTheFileAndRefuseEmptyFields)
{
    EXPECT_TRUE(header().Option2->isChecked());
    EXPECT_TRUE(header().Option7->isChecked());
    EXPECT_TRUE(header().Text6->text().isEmpty());
    EXPECT_FALSE(header().Text11->text().isEmpty());
    EXPECT_FALSE(header().Command9->isEnabled());

    prompt.expectMessage("这些项目不得为空！", "错误", Icon::Warning);
    header().Command8->click();
    prompt.verify();
    EXPECT_FALSE(header().Command9->isEnabled());

    // Saved settings come back when the window opens again.
    paper::HeaderSettings saved;
    saved.firstYear = "2005";
    saved.className = "初二";
    saved.kind = paper::ExamKind::Mock;
    saved.variant = paper::Variant::B;
    ASSERT_TRUE(paper::saveSettings(dir.file("JuanMian.cfg"), saved));
    form->open({"数学", "语文"});
    EXPECT_EQ(header().Text6->text(), "2005");
    EXPECT_EQ(header().Text9->text(), "初二");
    EXPECT_TRUE(header().Option4->isChecked());
    EXPECT_TRUE(header().Option6->isChecked());
}

TEST_F(HeaderAndPaper, TheHeaderIsBuiltSavedAndPutAtTheHeadOfBothDocuments)
{
    draw();
    form->Command6->click();
    EXPECT_FALSE(header().isHidden());
    fillHeader();
    header().Option1->click();
    header().Option5->click();
    header().Command8->click();
    EXPECT_TRUE(header().Command9->isEnabled());
    const QString built = header().RichTextBox1->toPlainText();
    EXPECT_TRUE(built.startsWith("A2003～2004学年第1学期\n高一(3)班《期中》期中试卷(A)卷\n")) << built.toStdString();
    EXPECT_TRUE(built.contains("姓名")) << built.toStdString();
    EXPECT_TRUE(built.contains("考试时间90分钟　成绩")) << built.toStdString();

    header().Command9->click();
    EXPECT_TRUE(header().isHidden());
    EXPECT_EQ(paper::loadSettings(dir.file("JuanMian.cfg")), header().settings());
    EXPECT_TRUE(paperText().startsWith("A2003～2004学年第1学期"));
    EXPECT_TRUE(answerText().startsWith("A2003～2004学年第1学期"));

    // Cancelling keeps the file as it was.
    form->Command6->click();
    header().Text9->setText("高二");
    header().Command10->click();
    EXPECT_NE(paper::loadSettings(dir.file("JuanMian.cfg"))->className, "高二");
}

TEST_F(HeaderAndPaper, AssemblyPutsSectionsAndQuestionsInThePaperAndAnswersInTheAnswerSheet)
{
    draw();
    form->Command6->click();
    fillHeader();
    header().Command8->click();
    header().Command9->click();
    form->Contents->Timer2_Timer();
    form->Contents->Command22->click();
    EXPECT_FALSE(paperPanel().isHidden());

    const QString paper = paperText();
    const QString answers = answerText();
    EXPECT_TRUE(paper.startsWith("A2003～2004学年第1学期")) << paper.toStdString();
    const qsizetype first = paper.indexOf("一、选择题(12%)");
    const qsizetype second = paper.indexOf("二、填空题");
    ASSERT_GT(first, 0) << paper.toStdString();
    ASSERT_GT(second, first);
    EXPECT_FALSE(paper.contains("二、填空题(")) << "a section without total has no percentage";
    EXPECT_TRUE(paper.contains("阅卷人"));
    // 12 over two questions of score 2: 6 each; the 填空题 has no question score.
    EXPECT_TRUE(paper.contains("1.(6%)选择题")) << paper.toStdString();
    EXPECT_TRUE(paper.contains("2.(6%)选择题")) << paper.toStdString();
    EXPECT_TRUE(paper.mid(second).contains("1.填空题")) << paper.toStdString();
    EXPECT_FALSE(paper.contains("答:"));
    EXPECT_EQ(answers.count("答:"), 3);
    EXPECT_TRUE(answers.contains("二、填空题"));
    EXPECT_TRUE(form->Command7->isEnabled());

    // The paper goes to the paper library as RTF, opened for automatic composition.
    QSignalSpy archived(form.get(), &Form3::archivePaper);
    paperPanel().Command14->click();
    ASSERT_EQ(archived.size(), 1);
    // Named as the header names it, with the questions drawn.
    const auto papers = archived[0][0].value<QList<ComposedPaper>>();
    ASSERT_EQ(papers.size(), 1);
    EXPECT_EQ(papers[0].name, "高一(3)班《期中》期末试卷");
    EXPECT_TRUE(papers[0].paper.startsWith("{\\rtf"));
    EXPECT_TRUE(papers[0].answers.startsWith("{\\rtf"));
    EXPECT_EQ(papers[0].questions.size(), form->Contents->rows().size());
    form->Command7->click();
    EXPECT_EQ(archived.size(), 2);

    paperPanel().Command11->click();
    EXPECT_FALSE(form->Contents->isHidden());
}

TEST_F(HeaderAndPaper, TheWordProcessorEditsThePaperThroughItsOwnFile)
{
    draw();
    form->Contents->Command22->click();
    WordScript word(WordScript::savesRtf("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 edited paper\\par}"));
    paperPanel().Command12->click();
    EXPECT_EQ(paperText().trimmed(), "edited paper");
    EXPECT_TRUE(QFile::exists(dir.file("tiku/~SjA.rtf")));
    EXPECT_FALSE(answerText().contains("edited"));
}

TEST_F(HeaderAndPaper, ThePaperAndTheAnswerSheetAreExportedAsPdf)
{
    draw();
    form->Contents->Command22->click();
    const QString path = dir.file("期中试卷.pdf");
    prompt.expectSaveFile("导出PDF", "PDF文件(*.pdf)|*.pdf", path);
    prompt.expectMessage("试卷和答卷已导出为PDF文件：\n" + path + "\n" + dir.file("期中试卷答卷.pdf"), "Quellmark",
                         Icon::Information);
    paperPanel().CommandPdf->click();
    prompt.verify();
    EXPECT_TRUE(readAll(path).startsWith("%PDF"));
    EXPECT_TRUE(readAll(dir.file("期中试卷答卷.pdf")).startsWith("%PDF"));
}

TEST_F(HeaderAndPaper, AQuestionDeletedSinceTheDrawIsPassedOverAndNamedOnce)
{
    draw();
    const qint64 gone = form->Contents->rows().at(1).id;
    bool found = false;
    ASSERT_TRUE(BankFile(bankPath("数学/期中.tik")).removeById(gone, &found));
    ASSERT_TRUE(found);
    prompt.expectMessage("以下题目已从题库中删除，未放入试卷：\n一、选择题 第2题", "Quellmark", Icon::Information);
    form->Contents->Command22->click();
    prompt.verify();
    EXPECT_TRUE(paperText().contains("1.(6%)选择题"));
    EXPECT_FALSE(paperText().contains("2.(6%)"));
    EXPECT_TRUE(paperText().contains("1.填空题"));
}

TEST_F(HeaderAndPaper, PdfIsNeverWrittenOverTheBankALibraryOrAPlan)
{
    draw();
    form->Contents->Command22->click();
    const QString bank = bankPath("数学/期中.tik");
    const QString library = bankPath("数学/期末.Juk");
    ASSERT_TRUE(PaperLibrary::createEmpty(library));
    const QString plan = dir.file("方案.faa");
    ASSERT_TRUE(writeAll(plan, "\"数学\"\r\n\"期中.tik\"\r\n"));
    ASSERT_TRUE(QFile::link(bank, dir.file("导出答卷.pdf")));
    QMap<QString, QByteArray> before;
    for (const QString& path : {bank, library, plan})
        before[path] = readAll(path);

    const QList<std::pair<QString, QString>> refused = {
        {bank, "“" + bank + "”是正在使用的文件，不能覆盖！"},
        {library, "文件“" + library + "”已存在，它不是PDF文件，不能覆盖！"},
        {plan, "文件“" + plan + "”已存在，它不是PDF文件，不能覆盖！"},
        // The answer sheet goes beside the paper; here that name leads to the bank.
        {dir.file("导出.pdf"), "“" + dir.file("导出答卷.pdf") + "”就是正在使用的文件“" + bank + "”，不能覆盖！"},
    };
    for (const auto& [path, message] : refused) {
        prompt.expectSaveFile("导出PDF", "PDF文件(*.pdf)|*.pdf", path);
        prompt.expectMessage(message, "错误", Icon::Warning);
        paperPanel().CommandPdf->click();
        prompt.verify();
    }
    for (const QString& path : {bank, library, plan})
        EXPECT_EQ(readAll(path), before[path]) << path.toStdString();
    EXPECT_FALSE(QFile::exists(dir.file("导出.pdf")));
    EXPECT_EQ(PaperLibrary(library).count(), 0);
}

TEST_F(HeaderAndPaper, ASettingsFileThatCannotBeReadLeavesThePaneAndIsSaidOnce)
{
    const QString settings = dir.file("JuanMian.cfg");
    ASSERT_TRUE(QDir().mkdir(settings));
    prompt.expectMessage("无法读取试卷标题设置文件“" + settings + "”：它不是普通文件。\n卷面设置保持原样。", "错误",
                         Icon::Warning);
    form->open({"数学", "语文"});
    prompt.verify();
    EXPECT_TRUE(header().Option2->isChecked());
    EXPECT_TRUE(header().Option7->isChecked());
    EXPECT_EQ(header().Text6->text(), "");
    EXPECT_EQ(header().Text11->text(), "实验中学");
    // Opening the window again says nothing new.
    form->open({"数学", "语文"});
    prompt.verify();

    // Saved by a newer editor as UTF-8: read as such, not as GBK.
    ASSERT_TRUE(QDir().rmdir(settings));
    paper::HeaderSettings saved;
    saved.firstYear = "2005";
    saved.className = "初二(1)班";
    saved.school = "育才中学";
    ASSERT_TRUE(writeAll(settings, "\xEF\xBB\xBF" + gbkDecode(*paper::settingsBytes(saved)).toUtf8()));
    form->open({"数学", "语文"});
    prompt.verify();
    EXPECT_EQ(header().Text9->text(), "初二(1)班");
    EXPECT_EQ(header().Text11->text(), "育才中学");

    // Damaged again: said again.
    ASSERT_TRUE(writeAll(settings, "\"2005\"\r\n"));
    prompt.expectMessage("试卷标题设置文件“" + settings
                             + "”有误：文件不完整：第2行应为“结束学年”，文件却已结束。\n"
                               "卷面设置保持原样。",
                         "错误", Icon::Warning);
    form->open({"数学", "语文"});
    prompt.verify();
    EXPECT_EQ(header().Text11->text(), "育才中学");
}

TEST_F(HeaderAndPaper, TheChoicesOfTheHeaderPaneAreKeptAndMakeThePaper)
{
    draw();
    form->Command6->click();
    fillHeader();
    PaperChoicesPanel& choices = *header().Choices;
    // The types of the drawn paper are offered for blank lines.
    ASSERT_EQ(choices.LinesType->count(), 2);
    choices.ScorePoints->click();
    choices.AnswerKey->click();
    choices.LinesType->setCurrentIndex(choices.LinesType->findText("填空题"));
    choices.LinesCount->setValue(2);
    header().Command8->click();
    header().Command9->click();
    EXPECT_EQ(paper::loadChoices(dir.file("JuanMianXuanXiang.cfg")).linesAfter("填空题"), 2);

    form->Contents->Command22->click();
    const QString paper = paperText();
    EXPECT_TRUE(paper.contains("一、选择题（每小题6分，共12分）")) << paper.toStdString();
    EXPECT_TRUE(paper.endsWith("1．填空题 易 第3题\n\n\n") || paper.contains(QRegularExpression("1．填空题.*\n\n\n$")))
        << paper.toStdString();
    const QString key = answerText();
    EXPECT_TRUE(key.contains("参考答案\n一、选择题（每小题6分，共12分）\n1．选择题答")) << key.toStdString();
    EXPECT_FALSE(key.contains("姓名"));

    // Opened again, the window has the same choices.
    Form3 again(dir.workspace, prompt);
    again.open({"数学", "语文"});
    EXPECT_TRUE(again.Frame2->Choices->ScorePoints->isChecked());
    EXPECT_TRUE(again.Frame2->Choices->AnswerKey->isChecked());
    EXPECT_EQ(again.Frame2->choices().linesAfter("填空题"), 2);
}

TEST_F(HeaderAndPaper, TheLayoutChosenLaysOutThePaperItsPdfAndItsHeader)
{
    draw();
    form->Command6->click();
    fillHeader();
    PaperChoicesPanel& choices = *header().Choices;
    QStringList offered;
    for (int i = 0; i < choices.SheetLayout->count(); ++i)
        offered << choices.SheetLayout->itemText(i);
    EXPECT_EQ(offered, QStringList({"A4", "A4 密封线", "A3 两栏", "A3 两栏 密封线"}));
    EXPECT_EQ(choices.SheetLayout->currentText(), "A4");
    choices.SheetLayout->setCurrentIndex(3);
    header().Command8->click();
    EXPECT_FALSE(header().RichTextBox1->toPlainText().contains("姓名"));
    header().Command9->click();
    EXPECT_EQ(paper::loadChoices(dir.file("JuanMianXuanXiang.cfg")).layout, paper::PaperLayout::A3Seal);

    form->Contents->Command22->click();
    // The header's candidate line went to the strip; the paper's RTF states the sheets and
    // draws the strip, the answer sheet's only the sheets.
    EXPECT_FALSE(paperText().contains("姓名")) << paperText().toStdString();
    const QByteArray paper = paperPanel().RichTextBox3->TextRTF();
    EXPECT_TRUE(paper.contains("{\\*\\qmlayout a3-seal}") && paper.contains("\\cols2"));
    EXPECT_TRUE(paper.contains("txflTextFlow"));
    const QByteArray answers = paperPanel().RichTextBox4->TextRTF();
    EXPECT_TRUE(answers.contains("\\cols2"));
    EXPECT_FALSE(answers.contains("txflTextFlow"));

    const QString path = dir.file("期末.pdf");
    prompt.expectSaveFile("导出PDF", "PDF文件(*.pdf)|*.pdf", path);
    prompt.expectMessage("试卷和答卷已导出为PDF文件：\n" + path + "\n" + dir.file("期末答卷.pdf"), "Quellmark",
                         Icon::Information);
    paperPanel().CommandPdf->click();
    prompt.verify();
    for (const QString& pdf : {path, dir.file("期末答卷.pdf")}) {
        QProcess info;
        info.start("pdfinfo", {pdf});
        ASSERT_TRUE(info.waitForFinished(60000));
        EXPECT_TRUE(QString::fromUtf8(info.readAllStandardOutput()).contains("1191 x 842 pts (A3)"));
        QProcess text;
        text.start("pdftotext", {"-f", "1", "-l", "1", pdf, "-"});
        ASSERT_TRUE(text.waitForFinished(60000));
        EXPECT_EQ(QString::fromUtf8(text.readAllStandardOutput()).contains("考号"), pdf == path);
    }

    // Opened again, the window has the same layout.
    Form3 again(dir.workspace, prompt);
    again.open({"数学", "语文"});
    EXPECT_EQ(again.Frame2->Choices->SheetLayout->currentText(), "A3 两栏 密封线");
}

TEST_F(HeaderAndPaper, EveryControlOfTheHeaderPaneAndTheCountGridSaysWhatItDoes)
{
    EXPECT_EQ(header().Command8->toolTip(), "按左边填的内容重新生成试卷标题和评分表");
    EXPECT_EQ(header().Text10->toolTip(), "考试用时，以分钟计");
    EXPECT_EQ(form->Counts->Text5->toolTip(), "各大题总分之和，即整份试卷的总分");
    EXPECT_TRUE(form->Counts->MSFlexGrid2->toolTip().contains("“出题数”一格填这类题要出几道"));
    // Nothing a teacher can press or type into is left without a tip (the grid's cell editor
    // and the parts Qt builds into a control go by the tip of their control).
    for (QWidget* panel : QList<QWidget*>{&header(), form->Counts}) {
        for (QWidget* w : panel->findChildren<QWidget*>()) {
            const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w)
                                 || qobject_cast<QComboBox*>(w) || qobject_cast<QSpinBox*>(w);
            if (control && !w->objectName().isEmpty() && !w->objectName().startsWith("qt_")
                && w->objectName() != "GridEdit") {
                EXPECT_FALSE(w->toolTip().isEmpty()) << w->objectName().toStdString();
            }
        }
    }
}
