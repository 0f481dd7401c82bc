// One paper, three ways: qmtool compose, the automatic window and the manual window make
// the same paper of the same questions, because all three go through the one paper job.

#include "form3_fixture.h"

#include "composer/browse_panel.h"
#include "composer/form5.h"
#include "composer/header_pane.h"
#include "composer/manual_bank_panel.h"
#include "composer/paper_panel.h"
#include "composer/type_order_panel.h"
#include "paper/paper_docs.h"
#include "rtf/rtf_reader.h"
#include "rtf/rtf_writer.h"
#include "support/run_qmtool.h"
#include "widgets/richtextbox.h"

#include <QFile>
#include <QTextDocument>
#include <tuple>

using namespace qm;
using namespace qm::test;

namespace {

const QString kPlanFilter = QStringLiteral("出题方案(*.faa)|*.faa");

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// What a document reads as: its paragraphs and tables (test::layout) and its runs.
QStringList reading(const QByteArray& rtf)
{
    QTextDocument doc;
    RtfReader::read(rtf, &doc);
    QStringList out = layout(doc);
    for (const Run& r : runsOutsideTables(doc))
        out << QStringLiteral("%1|%2|%3|%4").arg(r.text, r.family).arg(r.size).arg(r.bold);
    return out;
}

// A paper of the automatic window as the manual window writes it: with its own answer
// marker.
QStringList asByHand(QStringList reading)
{
    for (QString& line : reading)
        line.replace("答:", "答：");
    return reading;
}

}  // namespace

TEST_F(Form3Test, QmtoolAndBothWindowsMakeTheSamePaperOfTheSameQuestions)
{
    // A plan of one question of each type, each section worth its question's score.
    // Rows: 选择题 score 1 and score 2, 填空题 score 3, 计算题 score 10.
    choose(criteria().TypePanel, criteria().Command23, {"选择题", "填空题", "计算题"});
    criteria().Check2->click();
    criteria().Check3->click();
    for (const auto& [row, count, total] : {std::tuple{2, "1", ""}, {1, "", "2"}, {3, "1", "3"}, {4, "1", "10"}}) {
        if (*count)
            type(row, 3, count);
        if (*total)
            type(row, 4, total);
    }
    const QString plan = dir.file("一题一型.faa");
    form->Command44->click();
    prompt.expectSaveFile("保存出题方案", kPlanFilter, plan);
    form->Plans->Command46->click();
    form->Plans->Command47->click();
    prompt.verify();

    // The automatic window: the header, the draw and the paper.
    form->Frame2->setSettings(filledSettings("实验中学"));
    form->Command6->click();
    form->Frame2->Command8->click();
    form->Frame2->Command9->click();
    form->Contents->setRandom(std::make_unique<selection::SeededRandom>(11));
    form->Command5->click();
    form->Contents->Command41->click();
    const QList<selection::ComposedRow> drawn = form->Contents->rows();
    ASSERT_EQ(drawn.size(), 3);
    form->Contents->Command22->click();
    const QByteArray automaticPaper = RtfWriter::write(*form->Paper->RichTextBox3->document());
    const QByteArray automaticAnswers = RtfWriter::write(*form->Paper->RichTextBox4->document());

    // qmtool with the same plan, seed and settings.
    const ToolRun run = qmtool({"compose", bankPath("数学/期中.tik"), plan, dir.file("卷.rtf"), dir.file("答.rtf"),
                                "--seed", "11", "--settings", dir.file("JuanMian.cfg")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(reading(fileBytes(dir.file("卷.rtf"))), reading(automaticPaper));
    EXPECT_EQ(reading(fileBytes(dir.file("答.rtf"))), reading(automaticAnswers));

    // The manual window: the types in the same order, the same questions picked by hand.
    Form5 manual(dir.workspace, prompt);
    manual.open({"数学", "语文"});
    manual.Command18->click();
    for (const QString type : {"选择题", "填空题"}) {
        const auto found = manual.Frame6->List2->findItems(type, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        manual.Frame6->List2->setCurrentItem(found.first());
        while (manual.Frame6->List2->currentRow() > (type == QString("选择题") ? 0 : 1))
            manual.Frame6->Command19->click();
    }
    manual.Command6->click();
    manual.Frame2->Command8->click();
    manual.Frame2->Command9->click();
    for (const selection::ComposedRow& row : drawn) {
        const Question q = *BankFile(bankPath("数学/期中.tik")).readById(row.id);
        const auto set = [](QComboBox* combo, const QString& text) {
            combo->setCurrentIndex(combo->findText(text));
            Q_EMIT combo->activated(combo->currentIndex());
        };
        set(manual.Bank->Combo3, q.type);
        set(manual.Bank->Combo4, q.chapter);
        set(manual.Bank->Combo8, q.unit);
        set(manual.Bank->Combo5, q.difficulty);
        set(manual.Bank->Combo7, QString::number(q.score));
        while (manual.Browse->shown() && manual.Browse->shown()->id != row.id)
            manual.Browse->Command3->click();
        ASSERT_TRUE(manual.Browse->shown());
        manual.Browse->Command5->click();
    }
    manual.Command15->click();
    EXPECT_EQ(reading(RtfWriter::write(*manual.RichTextBox3->document())), asByHand(reading(automaticPaper)));
    EXPECT_EQ(reading(RtfWriter::write(*manual.RichTextBox4->document())), asByHand(reading(automaticAnswers)));
}
