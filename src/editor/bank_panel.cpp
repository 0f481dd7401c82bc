#include "editor/bank_panel.h"

#include "bankstore/bank_file.h"
#include "bankstore/places.h"
#include "core/prompt.h"
#include "core/workspace.h"
#include "editor/bank_maintenance.h"
#include "editor/copy_in_panel.h"
#include "editor/copy_out_panel.h"
#include "editor/create_panel.h"
#include "editor/entry_pane.h"
#include "editor/form2.h"
#include "editor/form4.h"
#include "editor/settings_panel.h"
#include "editor/subject_panel.h"
#include "widgets/controls.h"
#include "widgets/dialogkeys.h"
#include "widgets/editstep.h"
#include "widgets/filelists.h"
#include "widgets/report_error.h"

#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace qm {

BankPanel::BankPanel(Form2& form) : QGroupBox(QStringLiteral("题库录入"), &form), m_form(form)
{
    setObjectName(QStringLiteral("Frame1"));
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    File1 = new FileListBox(this);
    File1->setObjectName(QStringLiteral("File1"));
    File1->setPattern(QStringLiteral("*.tik"));
    File1->setLister(places::listed);
    File1->setMinimumHeight(fontMetrics().height() * 4);
    Text6 = makeLineEdit(this, QStringLiteral("Text6"));
    Text1 = makeLineEdit(this, QStringLiteral("Text1"));
    Text2 = makeLineEdit(this, QStringLiteral("Text2"));
    Text3 = makeLineEdit(this, QStringLiteral("Text3"));
    Text4 = makeLineEdit(this, QStringLiteral("Text4"));
    Text5 = makeLineEdit(this, QStringLiteral("Text5"));

    Command1 = makeButton(this, QStringLiteral("Command1"), QStringLiteral("添　加"));
    Command2 = makeButton(this, QStringLiteral("Command2"), QStringLiteral("删　除"));
    Command3 = makeButton(this, QStringLiteral("Command3"), QStringLiteral("修　改"));
    Command5 = makeButton(this, QStringLiteral("Command5"), QStringLiteral("取　消"));
    Command9 = makeButton(this, QStringLiteral("Command9"), QStringLiteral("学科管理"));
    Command41 = makeButton(this, QStringLiteral("Command41"), QStringLiteral("拷入题库"));
    Command42 = makeButton(this, QStringLiteral("Command42"), QStringLiteral("拷出题库"));
    Command8 = makeButton(this, QStringLiteral("Command8"), QStringLiteral("退　出"));
    Command4 = makeButton(this, QStringLiteral("Command4"), QStringLiteral("设　置"));
    Command27 = makeButton(this, QStringLiteral("Command27"), QStringLiteral("题库录入"));
    Command40 = makeButton(this, QStringLiteral("Command40"), QStringLiteral("导入题库"));
    Command60 = makeButton(this, QStringLiteral("Command60"), QStringLiteral("导入说明"));
    Command59 = makeButton(this, QStringLiteral("Command59"), QStringLiteral("合并题库"));
    Command5->setEnabled(false);

    auto* choice = new QFormLayout;
    choice->addRow(QStringLiteral("学科名称"), Combo1);
    choice->addRow(QStringLiteral("题库名称"), File1);
    auto* particulars = new QFormLayout;
    particulars->addRow(QStringLiteral("题库名称"), Text6);
    particulars->addRow(QStringLiteral("适用专业"), Text1);
    particulars->addRow(QStringLiteral("适用大纲"), Text2);
    particulars->addRow(QStringLiteral("建库人员"), Text3);
    particulars->addRow(QStringLiteral("审定人员"), Text4);
    particulars->addRow(QStringLiteral("启用时间"), Text5);
    auto* buttons = new QGridLayout;
    // Three buttons a row keep the column narrow enough for the entry pane beside it on
    // a 1024-pixel screen.
    const QList<QList<QPushButton*>> rows{{Command1, Command2, Command3},
                                          {Command5, Command9, Command4},
                                          {Command41, Command42, Command27},
                                          {Command40, Command60, Command59}};
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            buttons->addWidget(rows[r][c], r, c);
    buttons->addWidget(Command8, 4, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choice, 1);
    layout->addLayout(particulars);
    layout->addLayout(buttons);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(500);
    m_step = new EditStep(form.keys(), Command5, this);
    m_step->setTimers({Timer1}, [this] { Timer1_Timer(); });

    connect(Combo1, &QComboBox::currentIndexChanged, this, &BankPanel::Combo1_Click);
    // Choosing the subject already chosen reads its banks again (another computer may
    // have added some).
    connect(Combo1, &QComboBox::activated, this, [this](int index) {
        if (index == Combo1->currentIndex())
            File1->Refresh();
    });
    connect(File1, &FileListBox::clicked, this, &BankPanel::File1_Click);
    connect(Timer1, &QTimer::timeout, this, &BankPanel::Timer1_Timer);
    connect(Command1, &QPushButton::clicked, this, &BankPanel::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &BankPanel::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &BankPanel::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &BankPanel::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &BankPanel::Command5_Click);
    connect(Command8, &QPushButton::clicked, this, &BankPanel::Command8_Click);
    connect(Command9, &QPushButton::clicked, this, &BankPanel::Command9_Click);
    connect(Command27, &QPushButton::clicked, this, &BankPanel::Command27_Click);
    connect(Command40, &QPushButton::clicked, this, &BankPanel::Command40_Click);
    connect(Command41, &QPushButton::clicked, this, &BankPanel::Command41_Click);
    connect(Command42, &QPushButton::clicked, this, &BankPanel::Command42_Click);
    connect(Command59, &QPushButton::clicked, this, &BankPanel::Command59_Click);
    connect(Command60, &QPushButton::clicked, this, &BankPanel::Command60_Click);
}

QList<QWidget*> BankPanel::choiceControls() const
{
    return {File1,     Combo1,    Command9,      Command40,     Command41,     Command42,
            Command59, Command60, m_form.Frame3, m_form.Frame8, m_form.Frame9, m_form.Settings->Command72};
}

// ---------------------------------------------------------------------------------------
// Choosing a subject and a bank

void BankPanel::Combo1_Click()
{
    Workspace& ws = m_form.workspace();
    const QString subject = Combo1->currentText();
    if (Combo1->currentIndex() < 0 || subject.isEmpty())
        ws.setSubjectDir(QString());
    else
        ws.setSubjectDir(ws.BankRoot() + subject);
    // A new directory starts with no bank chosen: the particulars and panes follow.
    File1->setPath(ws.SubjectDir());
    File1_Click();
}

void BankPanel::File1_Click()
{
    m_form.Frame7->CurrentQuestion = -1;
    showParticulars();
    m_form.Settings->closeSettings();
    m_form.Frame7->bankChanged();
}

void BankPanel::showParticulars()
{
    const QString path = m_form.bankPath();
    if (path.isEmpty()) {
        clearParticulars();
        return;
    }
    QString error;
    const auto p = BankFile(path).particulars(&error);
    if (!p) {
        clearParticulars();
        reportError(m_form.prompt(), error);
        return;
    }
    Text6->setText(p->name);
    Text1->setText(p->speciality);
    Text2->setText(p->syllabus);
    Text3->setText(p->author);
    Text4->setText(p->reviewer);
    Text5->setText(p->firstUse);
    // Long particulars show their beginning, not their end.
    for (QLineEdit* e : {Text1, Text2, Text3, Text4, Text5, Text6})
        e->setCursorPosition(0);
}

void BankPanel::clearParticulars()
{
    for (QLineEdit* e : {Text1, Text2, Text3, Text4, Text5, Text6})
        e->clear();
}

void BankPanel::Timer1_Timer()
{
    const bool chosen = !File1->FileName().isEmpty();
    for (QPushButton* b : {Command2, Command3, Command4, Command27, Command40, Command59, Command42})
        b->setEnabled(chosen);
    if (!chosen) {
        m_form.Settings->closeSettings();
        m_form.Frame7->hide();
        clearParticulars();
    }
}

void BankPanel::DisableCmd(QPushButton* pressed)
{
    QList<QWidget*> lock{Command1, Command2, Command3, Command4, Command27};
    lock += choiceControls();
    m_step->begin(pressed, lock);
}

// ---------------------------------------------------------------------------------------
// Creating, deleting and describing banks

void BankPanel::Command1_Click()
{
    if (CreatingBank) {
        // The confirming press: the particulars of the new bank are written and it stays.
        const Particulars p{Text6->text(), Text1->text(), Text2->text(), Text3->text(), Text4->text(), Text5->text()};
        QString error;
        if (!BankFile(m_newBankPath).setParticulars(p, &error)) {
            reportError(m_form.prompt(), error);
            return;
        }
        const QString name = QFileInfo(m_newBankPath).fileName();
        CreatingBank = false;
        m_newBankPath.clear();
        Command5_Click();
        File1->Refresh();
        if (File1->selectFile(name))
            File1_Click();
        return;
    }
    if (Combo1->currentIndex() < 0) {
        reportError(m_form.prompt(), QStringLiteral("请先在“学科管理”中添加学科！"));
        return;
    }
    DisableCmd(Command1);
    // It confirms the particulars once the bank is made.
    Command1->setEnabled(false);
    m_form.Frame2->open();
}

void BankPanel::bankCreated(const QString& path)
{
    m_newBankPath = path;
    const auto p = BankFile(path).particulars();
    clearParticulars();
    if (p) {
        Text1->setText(p->speciality);
        Text2->setText(p->syllabus);
        Text3->setText(p->author);
        Text4->setText(p->reviewer);
        Text5->setText(p->firstUse);
    }
    Text6->setText(QFileInfo(path).completeBaseName());
    CreatingBank = true;
    Command1->setEnabled(true);
    m_form.keys()->setDefaultButton(Command1);
    m_form.keys()->setCancelButton(Command5);
    Text1->setFocus();
}

void BankPanel::Command5_Click()
{
    if (CreatingBank) {
        BankFile::removeFile(m_newBankPath);
        m_newBankPath.clear();
        File1->Refresh();
    }
    CreatingBank = false;
    m_form.Frame2->hide();
    m_step->end();
    Command1->setEnabled(true);
    Command5->setEnabled(false);
}

void BankPanel::Command2_Click()
{
    if (!m_step->confirming(Command2)) {
        DisableCmd(Command2);
        Command2->setFocus();
        return;
    }
    const QString name = File1->FileName();
    const Answer a = m_form.prompt().message(QStringLiteral("真的要删除题库“") + name + QStringLiteral("吗？"),
                                             QStringLiteral("警告"), Icon::Question, Buttons::YesNo, Answer::No);
    if (a == Answer::No)
        return;
    if (!name.isEmpty())
        BankFile::removeFile(m_form.workspace().SubjectDir() + name);
    File1->Refresh();
    File1->setListIndex(-1);
    Command5_Click();
    File1_Click();
}

void BankPanel::Command3_Click()
{
    if (!m_step->confirming(Command3)) {
        DisableCmd(Command3);
        Text6->setFocus();
        return;
    }
    const QString name = File1->FileName();
    const Answer a = m_form.prompt().message(QStringLiteral("真的要修改题库“") + name + QStringLiteral("吗？"),
                                             QStringLiteral("警告"), Icon::Question, Buttons::YesNo, Answer::No);
    if (a == Answer::No)
        return;
    const Particulars p{Text6->text(), Text1->text(), Text2->text(), Text3->text(), Text4->text(), Text5->text()};
    QString error;
    if (!BankFile(m_form.bankPath()).setParticulars(p, &error)) {
        reportError(m_form.prompt(), error);
        return;
    }
    showParticulars();
    Command5_Click();
}

// ---------------------------------------------------------------------------------------
// The other panels and the maintenance buttons

void BankPanel::Command4_Click()
{
    if (m_form.Settings->isOpen())
        m_form.Settings->closeSettings();
    else
        m_form.Settings->openSettings();
}

void BankPanel::Command8_Click()
{
    m_form.hide();
    Q_EMIT m_form.showMainWindow();
}

void BankPanel::Command9_Click()
{
    m_form.Frame3->show();
}

void BankPanel::Command27_Click()
{
    m_form.Frame7->open();
}

void BankPanel::Command40_Click()
{
    importBatchFile(m_form);
}

void BankPanel::Command41_Click()
{
    if (Combo1->currentIndex() < 0) {
        reportError(m_form.prompt(), QStringLiteral("请先在“学科管理”中添加学科！"));
        return;
    }
    m_form.Frame9->open();
}

void BankPanel::Command42_Click()
{
    m_form.Frame8->open();
}

void BankPanel::Command59_Click()
{
    mergeBanks(m_form.prompt(), m_form.bankPath());
}

void BankPanel::Command60_Click()
{
    m_form.form4()->show();
    m_form.form4()->raise();
}

}  // namespace qm
