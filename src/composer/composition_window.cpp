#include "composer/composition_window.h"

#include "composer/bank_choice.h"
#include "composer/header_pane.h"
#include "composer/paper_panel.h"
#include "core/prompt.h"
#include "core/workspace.h"
#include "paper/paper_job.h"
#include "widgets/busycursor.h"
#include "widgets/report_error.h"
#include "widgets/richtextbox.h"

#include <QComboBox>
#include <QStackedWidget>
#include <QTextDocument>

namespace qm {

CompositionWindow::CompositionWindow(Workspace& workspace, Prompt& prompt, const QString& name, const QString& title)
    : QWidget(nullptr, Qt::Window), m_ws(workspace), m_prompt(prompt), m_pages(new QStackedWidget(this))
{
    setObjectName(name);
    setWindowTitle(title);
}

CompositionWindow::~CompositionWindow() = default;

void CompositionWindow::setParts(BankChoice* bank, HeaderPane* header, PaperPanel* paper)
{
    m_bank = bank;
    m_header = header;
    m_paper = paper;
    m_paper->setFilesInUse([this] { return filesInUse(); });
}

QStringList CompositionWindow::filesInUse() const
{
    return {m_bank->bankPath(), m_ws.ProgramDir() + QStringLiteral("JuanMian.cfg"),
            m_ws.ProgramDir() + QStringLiteral("qm.qm")};
}

void CompositionWindow::reportError(const QString& text)
{
    qm::reportError(m_prompt, text);
}

void CompositionWindow::announceBank()
{
    Q_EMIT bankChosen(m_bank->Combo1->currentText(), m_bank->Combo2->currentText());
}

void CompositionWindow::showPage(int page)
{
    m_pages->setCurrentIndex(page);
    // A pane shown again after it hid itself.
    m_pages->currentWidget()->show();
}

std::optional<paper::AssembledPaper> CompositionWindow::assemblePaper(paper::PaperJob job)
{
    if (job.templatePath.isEmpty())
        job.templatePath = m_ws.ProgramDir() + QStringLiteral("qm.qm");
    if (!job.header && !job.settings)
        job.header = m_header->RichTextBox1->document();
    job.style.choices = m_header->choices();
    std::optional<paper::AssembledPaper> made;
    QString error;
    {
        const BusyCursor busy;
        made = paper::makePaper(job, &error);
    }
    if (!made)
        reportError(error);
    return made;
}

bool CompositionWindow::makePaper(paper::PaperJob job)
{
    const std::optional<paper::AssembledPaper> made = assemblePaper(std::move(job));
    if (!made)
        return false;
    m_paper->setDocuments(*made->paper, *made->answers, m_header->choices().layout);
    showPaper();
    if (!made->missing.isEmpty())
        m_prompt.message(paper::missingQuestionsMessage(made->missing), kTitleProgram, Icon::Information);
    return true;
}

void CompositionWindow::showPaper()
{
    showPage(m_pages->indexOf(m_paper));
}

QList<ComposedPaper> CompositionWindow::composedPapers() const
{
    return {
        {m_paper->RichTextBox3->TextRTF(), m_paper->RichTextBox4->TextRTF(), m_header->paperName(), paperQuestions()}};
}

void CompositionWindow::archive()
{
    Q_EMIT archivePaper(composedPapers());
}

}  // namespace qm
