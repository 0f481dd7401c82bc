#include "library/form7.h"

#include "core/prompt.h"
#include "core/workspace.h"
#include "library/library_copy_in_panel.h"
#include "library/library_copy_out_panel.h"
#include "library/library_panel.h"
#include "library/new_library_panel.h"
#include "library/paper_view.h"
#include "widgets/controls.h"
#include "widgets/dialogkeys.h"
#include "widgets/filelists.h"
#include "widgets/report_error.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTimer>

namespace qm {

Form7::Form7(Workspace& workspace, Prompt& prompt, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ws(workspace), m_prompt(prompt)
{
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(QStringLiteral("试卷管理"));
    m_keys = new DialogKeys(this);

    // The panels refer to each other: all exist before any is used.
    Library = new LibraryPanel(*this);
    Paper = new PaperView(*this);
    Frame1 = new NewLibraryPanel(*this);
    Frame2 = new LibraryCopyInPanel(*this);
    Frame3 = new LibraryCopyOutPanel(*this);
    Combo1 = Library->Combo1;
    File1 = Library->File1;

    // The library panels open over the top right of the paper view.
    auto* work = new QGridLayout;
    work->setContentsMargins(0, 0, 0, 0);
    work->addWidget(Paper, 0, 0);
    for (QWidget* panel :
         {static_cast<QWidget*>(Frame1), static_cast<QWidget*>(Frame2), static_cast<QWidget*>(Frame3)}) {
        panel->setAutoFillBackground(true);
        work->addWidget(panel, 0, 0, Qt::AlignTop | Qt::AlignRight);
    }
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(Library);
    layout->addLayout(work, 1);

    Library->Timer1->start();
    sizeToScreen(this, QSize(1100, 760));
}

Form7::~Form7() = default;

QString Form7::libraryDir() const
{
    const QString subject = Combo1->currentText();
    return subject.isEmpty() ? QString() : m_ws.ProgramDir() + QStringLiteral("tiku/") + subject + QLatin1Char('/');
}

QString Form7::selectedLibrary() const
{
    const QString name = File1->FileName();
    const QString dir = libraryDir();
    return name.isEmpty() || dir.isEmpty() ? QString() : dir + name;
}

void Form7::reportError(const QString& text)
{
    qm::reportError(m_prompt, text);
}

void Form7::showPanel(QWidget* panel)
{
    for (QWidget* other : {static_cast<QWidget*>(Frame1), static_cast<QWidget*>(Frame2), static_cast<QWidget*>(Frame3)})
        if (other != panel)
            other->hide();
    panel->show();
    panel->raise();
}

void Form7::setSubjects(const QStringList& subjects)
{
    const QString chosen = Combo1->currentText();
    {
        const QSignalBlocker block(Combo1);
        Combo1->clear();
        Combo1->addItems(subjects);
        Combo1->setCurrentIndex(subjects.indexOf(chosen));
    }
    // The chosen subject is gone: as if none had been chosen.
    if (!chosen.isEmpty() && Combo1->currentIndex() < 0)
        Library->Combo1_Click();
}

void Form7::open()
{
    if (Combo1->currentText().isEmpty() && Combo1->count() > 0)
        Combo1->setCurrentIndex(0);
    Paper->refresh();
}

bool Form7::receivePaper(const QByteArray& paperRtf, const QByteArray& answersRtf, PaperOrigin origin,
                         const QString& name)
{
    return receivePapers({{paperRtf, answersRtf, name, {}}}, origin);
}

bool Form7::receivePapers(const QList<ComposedPaper>& papers, PaperOrigin origin)
{
    if (Combo1->currentText().isEmpty() && Combo1->count() > 0)
        Combo1->setCurrentIndex(0);
    if (!Paper->receivePapers(papers, origin))
        return false;
    // So that "保存试卷" files it at once.
    if (File1->FileName().isEmpty() && File1->ListCount() > 0)
        File1->clickItem(0);
    return true;
}

void Form7::closeEvent(QCloseEvent* event)
{
    event->ignore();
    Paper->Command5_Click();
}

}  // namespace qm
