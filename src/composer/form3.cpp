#include "composer/form3.h"

#include "composer/bank_choice_panel.h"
#include "composer/candidate_panel.h"
#include "composer/contents_panel.h"
#include "composer/count_grid_panel.h"
#include "composer/criteria_panel.h"
#include "composer/header_pane.h"
#include "composer/paper_panel.h"
#include "composer/plan_panel.h"
#include "core/prompt.h"
#include "core/workspace.h"
#include "paper/fragments.h"
#include "paper/header.h"
#include "paper/paper_job.h"
#include "paper/pdf.h"
#include "rtf/rtf_writer.h"
#include "selection/draw.h"
#include "widgets/busycursor.h"
#include "widgets/controls.h"
#include "widgets/richtextbox.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextDocument>
#include <QVBoxLayout>

namespace qm {

Form3::Form3(Workspace& workspace, Prompt& prompt, QWidget* parent)
    : CompositionWindow(workspace, prompt, QStringLiteral("Form3"), QStringLiteral("智能组卷"))
{
    setParent(parent, Qt::Window);

    // The panels refer to each other: all exist before any is used.
    Bank = new BankChoicePanel(*this);
    Criteria = new CriteriaPanel(*this);
    Counts = new CountGridPanel(*this);
    Contents = new ContentsPanel(*this);
    Plans = new PlanPanel(*this);
    Frame2 = new HeaderPane(workspace, prompt, this);
    Paper = new PaperPanel(workspace, prompt, this);
    setParts(Bank, Frame2, Paper);
    // The header is built for the bank the questions come from, with a column of the
    // scoring table for each section.
    Frame2->setSource(
        [this] { return Contents->rows().isEmpty() ? Bank->Combo2->currentText() : Contents->bankFileName(); },
        [this] { return sectionCount(); });
    Frame2->setTypes([this] {
        QStringList types;
        for (const paper::PaperSection& s : paper::sectionsOfDraw(Contents->bankPath(), Contents->rows()))
            types << s.type;
        for (int i = 0; types.isEmpty() && i < Criteria->List1->count(); ++i)
            types << Criteria->List1->item(i)->text();
        return types;
    });
    Frame2->setTargets(Paper->RichTextBox3, Paper->RichTextBox4);
    Command5 = makeButton(this, QStringLiteral("Command5"), QStringLiteral("自动出卷"));
    Command44 = makeButton(this, QStringLiteral("Command44"), QStringLiteral("保存方案"));
    Command45 = makeButton(this, QStringLiteral("Command45"), QStringLiteral("打开方案"));
    Command6 = makeButton(this, QStringLiteral("Command6"), QStringLiteral("卷面编辑"));
    Command7 = makeButton(this, QStringLiteral("Command7"), QStringLiteral("试卷存档"));
    Command1 = makeButton(this, QStringLiteral("Command1"), QStringLiteral("退　出"));
    Command6->setEnabled(false);
    Command7->setEnabled(false);

    // The pop-up column beside the count grid: one candidate panel or the plan panel.
    m_popups = new QWidget(this);
    m_popups->setObjectName(QStringLiteral("PopupColumn"));
    auto* popups = new QVBoxLayout(m_popups);
    popups->setContentsMargins(0, 0, 0, 0);
    for (QWidget* panel : {static_cast<QWidget*>(Criteria->TypePanel), static_cast<QWidget*>(Criteria->ChapterPanel),
                           static_cast<QWidget*>(Criteria->DifficultyPanel), static_cast<QWidget*>(Criteria->UnitPanel),
                           static_cast<QWidget*>(Plans)})
        popups->addWidget(panel);
    // The count grid keeps most of the width beside a pop-up.
    m_popups->setMaximumWidth(480);
    m_popups->hide();

    auto* criteriaPage = new QWidget(this);
    auto* lower = new QHBoxLayout;
    lower->addWidget(Counts, 1);
    lower->addWidget(m_popups);
    auto* criteriaLayout = new QVBoxLayout(criteriaPage);
    criteriaLayout->setContentsMargins(0, 0, 0, 0);
    criteriaLayout->addWidget(Criteria, 2);
    criteriaLayout->addLayout(lower, 3);
    pages()->addWidget(criteriaPage);
    pages()->addWidget(Contents);
    pages()->addWidget(Frame2);
    pages()->addWidget(Paper);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {Command5, Command44, Command45, Command6, Command7})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(Command1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Bank);
    layout->addWidget(pages(), 1);
    layout->addLayout(buttons);

    connect(Command1, &QPushButton::clicked, this, &Form3::Command1_Click);
    connect(Command5, &QPushButton::clicked, this, &Form3::Command5_Click);
    connect(Command44, &QPushButton::clicked, this, &Form3::Command44_Click);
    connect(Command45, &QPushButton::clicked, this, &Form3::Command45_Click);
    connect(Command6, &QPushButton::clicked, this, &Form3::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &Form3::Command7_Click);
    connect(Frame2, &HeaderPane::accepted, this, &Form3::placeVariantHeaders);
    connect(Frame2, &HeaderPane::closed, this, [this] { showPage(ContentsPage); });
    connect(Paper, &PaperPanel::closed, this, [this] { showPage(ContentsPage); });
    connect(Paper, &PaperPanel::archiveRequested, this, &Form3::Command7_Click);
    sizeToScreen(this, QSize(1180, 800));
}

Form3::~Form3() = default;

void Form3::showPopup(QWidget* panel)
{
    for (QWidget* w : m_popups->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (w != panel)
            w->hide();
    panel->show();
    m_popups->show();
    showContents(false);
}

void Form3::popupClosed()
{
    for (QWidget* w : m_popups->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!w->isHidden())
            return;
    // The count grid keeps most of the width beside a pop-up.
    m_popups->setMaximumWidth(480);
    m_popups->hide();
}

void Form3::showContents(bool show)
{
    showPage(show ? ContentsPage : CriteriaPage);
}

void Form3::open(const QStringList& subjects)
{
    Frame2->LoadCfg();
    Bank->setSubjects(subjects, true);
    announceBank();
}

int Form3::sectionCount() const
{
    if (!Contents->rows().isEmpty())
        return int(paper::sectionsOfDraw(Contents->bankPath(), Contents->rows()).size());
    if (const int sections = selection::drawingSectionCount(Counts->grid()); sections > 0)
        return sections;
    return int(Criteria->List1->count());
}

QStringList Form3::filesInUse() const
{
    return CompositionWindow::filesInUse() << Contents->bankPath();
}

namespace {

QList<QuestionRef> questionsOf(const QList<paper::PaperSection>& sections)
{
    QList<QuestionRef> questions;
    for (const paper::PaperSection& section : sections)
        for (const paper::PaperQuestion& q : section.questions)
            questions.append({q.bankPath, q.id});
    return questions;
}

}  // namespace

void Form3::assemble()
{
    if (!Contents->parallel()) {
        paper::PaperJob job;
        job.sections = paper::sectionsOfDraw(Contents->bankPath(), Contents->rows());
        if (!makePaper(job))
            return;
        m_assembled[0] = questionsOf(job.sections);
        m_assembled[1].clear();
    } else {
        // Each paper's header is built from the settings with its variant; without the
        // settings filled in, the papers get theirs when the header is accepted.
        const QTextDocument noHeader;
        const bool headed = !paper::hasEmptyField(Frame2->settings());
        std::optional<paper::AssembledPaper> made[2];
        paper::PaperJob jobs[2];
        for (int which : {0, 1}) {
            jobs[which].sections =
                paper::sectionsOfDraw(Contents->bankPath(), which == 0 ? Contents->rows() : Contents->rowsB());
            if (headed) {
                jobs[which].settings = variantSettings(which);
                jobs[which].bankFileName = Contents->bankFileName();
            } else {
                jobs[which].header = &noHeader;
            }
            made[which] = assemblePaper(jobs[which]);
            if (!made[which])
                return;
        }
        Paper->setParallelDocuments(*made[0]->paper, *made[0]->answers, *made[1]->paper, *made[1]->answers,
                                    Frame2->choices().layout);
        showPaper();
        for (int which : {0, 1})
            m_assembled[which] = questionsOf(jobs[which].sections);
        QStringList missing;
        for (int which : {0, 1})
            if (!made[which]->missing.isEmpty())
                missing << QStringLiteral("%1卷：").arg(which == 0 ? u'A' : u'B')
                               + paper::missingQuestionsMessage(made[which]->missing);
        if (!missing.isEmpty())
            prompt().message(missing.join(QLatin1Char('\n')), kTitleProgram, Icon::Information);
    }
    Command6->setEnabled(true);
    Command7->setEnabled(true);
}

paper::HeaderSettings Form3::variantSettings(int which) const
{
    paper::HeaderSettings s = Frame2->settings();
    s.variant = which == 0 ? paper::Variant::A : paper::Variant::B;
    return s;
}

void Form3::placeVariantHeaders()
{
    if (!Paper->parallel())
        return;
    const QString templatePath = workspace().ProgramDir() + QStringLiteral("qm.qm");
    const int sections = sectionCount();
    const QByteArray table =
        paper::loadScoringTable(templatePath, sections).value_or(paper::scoringTableRtf(std::max(sections, 1)));
    for (int which : {0, 1}) {
        QTextDocument header;
        paper::buildHeader(header, variantSettings(which), Contents->bankFileName(), table);
        if (paper::isSealed(Paper->layout()))
            paper::removeCandidateLine(header);
        const std::unique_ptr<QTextDocument> fitted = paper::fittedHeader(header, sections, templatePath);
        paper::placeHeader(*Paper->paperOf(which), *fitted);
        paper::placeHeader(*Paper->answersOf(which), *fitted);
    }
}

QList<QuestionRef> Form3::paperQuestions() const
{
    return m_assembled[0];
}

QList<ComposedPaper> Form3::composedPapers() const
{
    if (!Paper->parallel())
        return CompositionWindow::composedPapers();
    QList<ComposedPaper> papers;
    const PageSetup paperPage = paper::SheetGeometry(Paper->layout()).pageSetup();
    const PageSetup answerPage = paper::SheetGeometry(Paper->layout(), false).pageSetup();
    for (int which : {0, 1}) {
        const QString name =
            paper::headerTitleLines(variantSettings(which), Contents->bankFileName()).section(QLatin1Char('\n'), 1);
        papers.append({RtfWriter::write(*Paper->paperOf(which), &paperPage),
                       RtfWriter::write(*Paper->answersOf(which), &answerPage), name, m_assembled[which]});
    }
    return papers;
}

void Form3::Command1_Click()
{
    hide();
    Q_EMIT closed();
}

void Form3::Command5_Click()
{
    showContents(true);
}

void Form3::Command44_Click()
{
    Plans->startSave();
}

void Form3::Command45_Click()
{
    Plans->startOpen();
}

void Form3::Command6_Click()
{
    Frame2->open();
    showPage(HeaderPage);
}

void Form3::Command7_Click()
{
    archive();
}

void Form3::closeEvent(QCloseEvent* event)
{
    Q_EMIT closed();
    QWidget::closeEvent(event);
}

}  // namespace qm
