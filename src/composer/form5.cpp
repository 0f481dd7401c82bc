#include "composer/form5.h"

#include "composer/browse_panel.h"
#include "composer/header_pane.h"
#include "composer/manual_bank_panel.h"
#include "composer/paper_panel.h"
#include "composer/picked_panel.h"
#include "composer/type_order_panel.h"
#include "core/prompt.h"
#include "core/workspace.h"
#include "paper/paper_job.h"
#include "widgets/busycursor.h"
#include "widgets/controls.h"
#include "widgets/richtextbox.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextDocument>
#include <QVBoxLayout>

namespace qm {

Form5::Form5(Workspace& workspace, Prompt& prompt, QWidget* parent)
    : CompositionWindow(workspace, prompt, QStringLiteral("Form5"), QStringLiteral("手工组卷"))
{
    setParent(parent, Qt::Window);

    // The panels refer to each other: all exist before any is used.
    Bank = new ManualBankPanel(*this);
    Browse = new BrowsePanel(*this);
    Frame2 = new HeaderPane(workspace, prompt, this);
    Frame5 = new PaperPanel(workspace, prompt, this, FormattingBarOptions::manualWindow());
    Frame6 = new TypeOrderPanel(*this);
    Frame7 = new PickedPanel(*this);
    List1 = Frame7->List1;
    RichTextBox3 = Frame5->RichTextBox3;
    RichTextBox4 = Frame5->RichTextBox4;
    setParts(Bank, Frame2, Frame5);
    // The scoring table has a column for each type picked, or, before the first pick, for
    // each type of the bank.
    Frame2->setSource([this] { return Bank->Combo2->currentText(); },
                      [this] {
                          const int sections =
                              int(paper::sectionsOfPicks(selection::arrangePicks(m_picks.picks())).size());
                          return sections > 0 ? sections : Bank->Combo3->count();
                      });
    Frame2->setTypes([this] {
        QStringList types;
        for (int i = 0; i < Bank->Combo3->count(); ++i)
            types << Bank->Combo3->itemText(i);
        return types;
    });
    Frame2->setRequireBank(true);
    Frame2->setTargets(RichTextBox3, RichTextBox4);
    Command6 = makeButton(this, QStringLiteral("Command6"), QStringLiteral("试卷标题编辑"));
    Command7 = makeButton(this, QStringLiteral("Command7"), QStringLiteral("卷面编辑"));
    Command18 = makeButton(this, QStringLiteral("Command18"), QStringLiteral("调整题型顺序"));
    Command25 = makeButton(this, QStringLiteral("Command25"), QStringLiteral("编辑试卷"));
    Command15 = makeButton(this, QStringLiteral("Command15"), QStringLiteral("整理试卷"));
    Command17 = makeButton(this, QStringLiteral("Command17"), QStringLiteral("显示题库信息"));
    Command16 = makeButton(this, QStringLiteral("Command16"), QStringLiteral("关　闭"));

    pages()->addWidget(Browse);
    pages()->addWidget(Frame2);
    pages()->addWidget(Frame5);
    // The column beside the work area: the type order or the picked list.
    auto* side = new QVBoxLayout;
    side->addWidget(Frame6);
    side->addWidget(Frame7);
    for (QWidget* panel : {static_cast<QWidget*>(Frame6), static_cast<QWidget*>(Frame7)}) {
        panel->setMaximumWidth(300);
        panel->hide();
    }
    auto* work = new QHBoxLayout;
    work->addWidget(pages(), 1);
    work->addLayout(side);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {Command6, Command7, Command18, Command25, Command15, Command17})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(Command16);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Bank);
    layout->addLayout(work, 1);
    layout->addLayout(buttons);

    connect(Command6, &QPushButton::clicked, this, &Form5::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &Form5::Command7_Click);
    connect(Command15, &QPushButton::clicked, this, &Form5::Command15_Click);
    connect(Command16, &QPushButton::clicked, this, &Form5::Command16_Click);
    connect(Command17, &QPushButton::clicked, this, &Form5::Command17_Click);
    connect(Command18, &QPushButton::clicked, this, &Form5::Command18_Click);
    connect(Command25, &QPushButton::clicked, this, &Form5::Command25_Click);
    connect(Frame2, &HeaderPane::closed, this, [this] { showPage(BrowsePage); });
    connect(Frame5, &PaperPanel::closed, this, [this] { showPage(BrowsePage); });
    connect(Frame5, &PaperPanel::archiveRequested, this, &Form5::Command14_Click);
    showPicks();
    sizeToScreen(this, QSize(1180, 800));
}

Form5::~Form5() = default;

bool Form5::refuseWithoutBank()
{
    if (!Bank->bankPath().isEmpty())
        return false;
    reportError(QStringLiteral("请先选择一个题库！"));
    return true;
}

void Form5::open(const QStringList& subjects)
{
    if (paperUnderWay())
        return;
    Frame2->LoadCfg();
    Bank->setSubjects(subjects);
}

bool Form5::paperUnderWay() const
{
    return !RichTextBox3->document()->isEmpty() || !RichTextBox4->document()->isEmpty();
}

void Form5::bankChanged()
{
    m_picks.newBank();
    showPicks();
}

void Form5::showPicks(int row)
{
    List1->clear();
    List1->addItems(m_picks.shownKeys(Bank->bankPath()));
    if (row >= 0 && row < List1->count())
        List1->setCurrentRow(row);
    Frame7->List1_Click();
    // A pick's key holds its type's place in the bank's type list: that order is fixed
    // while anything of the bank is picked.
    const bool fixed = m_picks.hasPicksFrom(Bank->bankPath());
    Command18->setEnabled(!fixed);
    if (fixed)
        Frame6->hide();
}

void Form5::pickShown()
{
    const std::optional<Question>& shown = Browse->shown();
    if (Bank->Combo3->currentIndex() < 0 || Browse->count() == 0 || !shown)
        return;
    const selection::ManualPicks::Pick pick =
        m_picks.pick({Bank->Combo3->currentIndex(), shown->type, shown->id}, Bank->bankPath());
    switch (pick.outcome) {
    case selection::ManualPicks::Outcome::AlreadyPicked: reportError(QStringLiteral("该题已出！")); return;
    case selection::ManualPicks::Outcome::BeyondLastNumeral:
        reportError(QStringLiteral("试卷最多只能有二十个大题（题型），“%1”排在第%2个题型，不能选入。\n"
                                   "请在选题前用“调整题型顺序”把要出的题型排在前二十个。")
                        .arg(Bank->Combo3->currentText())
                        .arg(Bank->Combo3->currentIndex() + 1));
        return;
    case selection::ManualPicks::Outcome::Picked: break;
    }
    showPicks(pick.row);
    paper::appendPick(*RichTextBox3->document(), *RichTextBox4->document(), pick.label,
                      *Browse->RichTextBox5->document(), *Browse->RichTextBox6->document());
}

QList<QuestionRef> Form5::paperQuestions() const
{
    QList<QuestionRef> questions;
    for (const selection::PickedQuestion& pick : m_picks.picks())
        if (const std::optional<selection::PickKey> key = selection::parsePickKey(pick.key))
            questions.append({pick.bankPath, key->id});
    return questions;
}

void Form5::removePick(int row)
{
    if (row < 0)
        return;
    m_picks.removeAt(row);
    showPicks(std::min(row, int(m_picks.keys().size()) - 1));
}

void Form5::clearPicks()
{
    m_picks.clear();
    showPicks();
}

void Form5::typeOrderChanged(const QStringList& types)
{
    if (m_picks.hasPicksFrom(Bank->bankPath()))
        return;
    Bank->setTypes(types);
}

void Form5::Command6_Click()
{
    Frame2->open();
    showPage(HeaderPage);
}

void Form5::Command7_Click()
{
    showPage(PaperPage);
}

void Form5::Command14_Click()
{
    archive();
}

void Form5::Command15_Click()
{
    paper::PaperJob job;
    job.sections = paper::sectionsOfPicks(selection::arrangePicks(m_picks.picks()));
    job.style = paper::PaperStyle::manual();
    makePaper(job);
}

void Form5::Command16_Click()
{
    // Only hidden: the paper under way stays for the next time.
    hide();
}

void Form5::Command17_Click()
{
    if (refuseWithoutBank())
        return;
    QString error;
    std::optional<QList<AttributeCount>> counts;
    {
        const BusyCursor busy;
        counts = BankFile(Bank->bankPath()).statistics(&error);
    }
    if (!counts) {
        reportError(error);
        return;
    }
    if (counts->isEmpty()) {
        prompt().message(QStringLiteral("该题库中暂没有题目！"), QStringLiteral("注意"), Icon::Warning);
        return;
    }
    Q_EMIT bankInformation(selection::bankInformation(Bank->bankPath(), Bank->Combo2->currentText(), *counts));
}

void Form5::Command18_Click()
{
    QStringList types;
    for (int i = 0; i < Bank->Combo3->count(); ++i)
        types << Bank->Combo3->itemText(i);
    Frame6->open(types);
}

void Form5::Command25_Click()
{
    Frame7->show();
}

}  // namespace qm
