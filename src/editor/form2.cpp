#include "editor/form2.h"

#include "bankstore/places.h"
#include "core/workspace.h"
#include "editor/attribute_panel.h"
#include "editor/bank_panel.h"
#include "editor/copy_in_panel.h"
#include "editor/copy_out_panel.h"
#include "editor/create_panel.h"
#include "editor/duplicates_window.h"
#include "editor/entry_pane.h"
#include "editor/form4.h"
#include "editor/settings_panel.h"
#include "editor/subject_panel.h"
#include "widgets/controls.h"
#include "widgets/dialogkeys.h"
#include "widgets/editstep.h"
#include "widgets/filelists.h"
#include "widgets/report_error.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

namespace qm {

Form2::Form2(Workspace& workspace, Prompt& prompt, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ws(workspace), m_prompt(prompt)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("题库录入"));
    m_keys = new DialogKeys(this);

    // The panels refer to each other: all exist before any is wired.
    Frame1 = new BankPanel(*this);
    Frame2 = new CreatePanel(*this);
    Frame3 = new SubjectPanel(*this);
    Frame8 = new CopyOutPanel(*this);
    Frame9 = new CopyInPanel(*this);
    Frame7 = new EntryPane(*this);
    Settings = new SettingsPanel(*this);
    Combo1 = Frame1->Combo1;
    File1 = Frame1->File1;
    Text6 = Frame1->Text6;
    Text1 = Frame1->Text1;
    Text2 = Frame1->Text2;
    Text3 = Frame1->Text3;
    Text4 = Frame1->Text4;
    Text5 = Frame1->Text5;

    // The left column scrolls when more of its panels are open than the screen holds.
    auto* column = new QWidget;
    auto* left = new QVBoxLayout(column);
    left->setContentsMargins(0, 0, 0, 0);
    left->addWidget(Frame1, 3);
    left->addWidget(Frame2);
    left->addWidget(Frame3, 2);
    left->addWidget(Frame8, 2);
    left->addWidget(Frame9, 2);
    left->addStretch();
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("LeftColumn"));
    scroll->setWidget(column);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setMinimumWidth(column->minimumSizeHint().width() + scroll->verticalScrollBar()->sizeHint().width());

    // The work area: the entry pane, or the setting panels, or a hint while both are closed.
    m_placeholder = new QLabel(
        QStringLiteral("选择学科和题库后，按“题库录入”录入题目，按“设　置”设置题型、章节、难度和单元。"), this);
    m_placeholder->setObjectName(QStringLiteral("lblPlaceholder"));
    m_placeholder->setAlignment(Qt::AlignCenter);
    m_placeholder->setWordWrap(true);
    m_placeholder->setStyleSheet(QStringLiteral("color: #5a6b8c;"));
    auto* work = new QGridLayout;
    work->setContentsMargins(0, 0, 0, 0);
    work->addWidget(m_placeholder, 0, 0);
    work->addWidget(Settings, 0, 0);
    work->addWidget(Frame7, 0, 0);
    Frame7->installEventFilter(this);
    Settings->Frame4->installEventFilter(this);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(scroll);
    layout->addLayout(work, 1);

    Frame1->Timer1->start();
    Frame3->Timer2->start();
    Frame1->Timer1_Timer();
    Frame3->Timer2_Timer();
    sizeToScreen(this, QSize(1200, 820));
}

Form2::~Form2() = default;

QString Form2::bankPath() const
{
    const QString name = File1->FileName();
    return name.isEmpty() ? QString() : m_ws.SubjectDir() + name;
}

Form4* Form2::form4()
{
    if (!m_form4) {
        m_form4 = new Form4(this);
        connect(m_form4, &Form4::guideRequested, this, &Form2::guideRequested);
    }
    return m_form4;
}

DuplicatesWindow* Form2::duplicatesWindow() const
{
    return m_duplicates;
}

void Form2::openDuplicates()
{
    if (!m_duplicates) {
        m_duplicates = new DuplicatesWindow(m_prompt, this);
        // A question deleted there: the entry pane shows the bank as it is now.
        connect(m_duplicates, &DuplicatesWindow::questionDeleted, this, [this] {
            if (!Frame7->isHidden() && !stepPending())
                Frame7->ShowQuestion(Frame7->CurrentQuestion);
        });
    }
    m_duplicates->open(bankPath());
}

bool Form2::stepPending() const
{
    return Frame1->step()->pending() || Frame7->step()->pending();
}

bool Form2::eventFilter(QObject* watched, QEvent* event)
{
    const bool shownOrHidden = event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent;
    // The entry pane covers the setting panels while it is shown; the hint fills the area
    // only while both are closed.
    if ((watched == Frame7 || watched == Settings->Frame4) && shownOrHidden) {
        Settings->setVisible(Frame7->isHidden());
        m_placeholder->setVisible(Frame7->isHidden() && Settings->Frame4->isHidden());
    }
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------
// Subjects

void Form2::attachBankRoot()
{
    File1->setPath(m_ws.BankRoot());
    Frame3->Dir1->setPath(m_ws.BankRoot());
    RefreshXueKe();
}

void Form2::RefreshXueKe()
{
    QListWidget* list = Frame3->List1;
    list->clear();
    {
        const QSignalBlocker block(Combo1);
        Combo1->clear();
    }
    QString error;
    const std::optional<QStringList> subjects = places::subjects(m_ws.BankRoot(), &error);
    if (!subjects)
        reportError(m_prompt, error);
    if (!subjects || subjects->isEmpty())
        return;
    const QStringList& names = *subjects;
    list->addItems(names);
    {
        const QSignalBlocker block(Combo1);
        Combo1->addItems(names);
    }
    Combo1->setCurrentIndex(0);
    Frame1->Combo1_Click();
    Q_EMIT subjectsRefreshed(names);
}

void Form2::followBank(const QString& subject, const QString& bank)
{
    if (stepPending() || Frame1->CreatingBank)
        return;
    const int index = Combo1->findText(subject, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0)
        return;
    if (index != Combo1->currentIndex() || m_ws.SubjectDir() != m_ws.BankRoot() + subject + QLatin1Char('/')) {
        Combo1->setCurrentIndex(index);
        Frame1->Combo1_Click();
    }
    if (!bank.isEmpty() && File1->FileName() != bank && File1->selectFile(bank))
        Frame1->File1_Click();
}

}  // namespace qm
