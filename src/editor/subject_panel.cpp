#include "editor/subject_panel.h"

#include "bankstore/places.h"
#include "core/paths.h"
#include "core/workspace.h"
#include "editor/form2.h"
#include "widgets/busycursor.h"
#include "widgets/controls.h"
#include "widgets/editstep.h"
#include "widgets/filelists.h"
#include "widgets/report_error.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace qm {

namespace {

const QString kSubjectExists = QStringLiteral("该学科名已经存在！");

}  // namespace

SubjectPanel::SubjectPanel(Form2& form) : QGroupBox(QStringLiteral("学科管理"), &form), m_form(form)
{
    setObjectName(QStringLiteral("Frame3"));
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    Text8 = makeLineEdit(this, QStringLiteral("Text8"));
    selectAllOnFocus(Text8);
    Command10 = makeButton(this, QStringLiteral("Command10"), QStringLiteral("添　加"));
    Command11 = makeButton(this, QStringLiteral("Command11"), QStringLiteral("删　除"));
    Command12 = makeButton(this, QStringLiteral("Command12"), QStringLiteral("修　改"));
    Command13 = makeButton(this, QStringLiteral("Command13"), QStringLiteral("取　消"));
    Command14 = makeButton(this, QStringLiteral("Command14"), QStringLiteral("关　闭"));
    Command13->setEnabled(false);
    Dir1 = new DirListBox(this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    Dir1->hide();
    File2 = new FileListBox(this);
    File2->setObjectName(QStringLiteral("File2"));
    File2->hide();

    auto* name = new QHBoxLayout;
    name->addWidget(new QLabel(QStringLiteral("学科名称"), this));
    name->addWidget(Text8);
    auto* buttons = new QGridLayout;
    buttons->addWidget(Command10, 0, 0);
    buttons->addWidget(Command11, 0, 1);
    buttons->addWidget(Command12, 0, 2);
    buttons->addWidget(Command13, 1, 0);
    buttons->addWidget(Command14, 1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(List1, 1);
    layout->addLayout(name);
    layout->addLayout(buttons);
    List1->setMinimumHeight(fontMetrics().height() * 3);

    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(500);
    m_step = new EditStep(form.keys(), Command13, this);
    m_step->setTimers({Timer2}, [this] { Timer2_Timer(); });

    // A subject chosen with the keyboard fills the name box as a click does.
    connect(List1, &QListWidget::currentRowChanged, this, &SubjectPanel::List1_Click);
    connect(List1, &QListWidget::itemClicked, this, &SubjectPanel::List1_Click);
    connect(Timer2, &QTimer::timeout, this, &SubjectPanel::Timer2_Timer);
    connect(Command10, &QPushButton::clicked, this, &SubjectPanel::Command10_Click);
    connect(Command11, &QPushButton::clicked, this, &SubjectPanel::Command11_Click);
    connect(Command12, &QPushButton::clicked, this, &SubjectPanel::Command12_Click);
    connect(Command13, &QPushButton::clicked, this, &SubjectPanel::Command13_Click);
    connect(Command14, &QPushButton::clicked, this, &SubjectPanel::Command14_Click);
    hide();
}

void SubjectPanel::Command14_Click()
{
    hide();
    Command13_Click();
}

void SubjectPanel::List1_Click()
{
    if (QListWidgetItem* it = List1->currentItem())
        Text8->setText(it->text());
}

void SubjectPanel::Timer2_Timer()
{
    const bool selected = List1->currentItem() && List1->currentItem()->isSelected();
    Command11->setEnabled(selected);
    Command12->setEnabled(selected);
}

void SubjectPanel::DisableXueKeCmd(QPushButton* pressed)
{
    m_step->begin(pressed, {Command10, Command11, Command12});
}

void SubjectPanel::Command10_Click()
{
    if (!m_step->confirming(Command10)) {
        DisableXueKeCmd(Command10);
        Text8->setFocus();
        return;
    }
    const QString name = Text8->text();
    if (name.trimmed().isEmpty()) {
        reportError(m_form.prompt(), QStringLiteral("学科名称不得为空！"));
        Text8->setFocus();
        return;
    }
    for (int i = 0; i < List1->count(); ++i) {
        if (sameFileName(List1->item(i)->text(), name)) {
            reportError(m_form.prompt(), kSubjectExists);
            return;
        }
    }
    if (!isValidFileName(name)) {
        reportError(m_form.prompt(), QStringLiteral("学科名称中不能有下列字符：\\ / : * ? \" < > |"));
        return;
    }
    QString error;
    if (!places::makeSubject(m_form.workspace().BankRoot(), name, &error)) {
        reportError(m_form.prompt(), QStringLiteral("学科目录无法建立：") + error);
        return;
    }
    m_form.RefreshXueKe();
    Command13_Click();
}

void SubjectPanel::Command11_Click()
{
    if (!m_step->confirming(Command11)) {
        DisableXueKeCmd(Command11);
        return;
    }
    if (QListWidgetItem* it = List1->currentItem()) {
        // A subject that another computer removed meanwhile simply leaves the list.
        QString error;
        switch (places::removeSubject(m_form.workspace().BankRoot(), it->text(), &error)) {
        case places::Removal::Removed: break;
        case places::Removal::NotEmpty:
            reportError(m_form.prompt(), QStringLiteral("该学科下已经有题库，只有删除题库后才能删除学科！"));
            break;
        case places::Removal::Failed: reportError(m_form.prompt(), error); break;
        }
    }
    m_form.RefreshXueKe();
    Command13_Click();
}

void SubjectPanel::Command12_Click()
{
    if (!m_step->confirming(Command12)) {
        // Renaming leaves the panel unlocked: another subject may still be chosen.
        m_step->begin(Command12, {});
        Text8->setFocus();
        return;
    }
    QListWidgetItem* selected = List1->currentItem();
    const QString name = Text8->text();
    if (!selected || name == selected->text()) {
        Command13_Click();
        return;
    }
    for (int i = 0; i < List1->count(); ++i) {
        if (List1->item(i) != selected && sameFileName(List1->item(i)->text(), name)) {
            reportError(m_form.prompt(), kSubjectExists);
            return;
        }
    }
    if (name.trimmed().isEmpty()) {
        reportError(m_form.prompt(), QStringLiteral("学科名称不得为空！"));
        return;
    }
    if (!isValidFileName(name)) {
        reportError(m_form.prompt(), QStringLiteral("学科名称中不能有下列字符：\\ / : * ? \" < > |"));
        return;
    }
    const QString root = m_form.workspace().BankRoot();
    QString error;
    bool moved = false;
    {
        BusyCursor busy;
        moved = places::renameSubject(root, selected->text(), name, &error);
    }
    if (!moved)
        reportError(m_form.prompt(), error);
    m_form.RefreshXueKe();
    Command13_Click();
}

void SubjectPanel::Command13_Click()
{
    m_step->end();
    Command10->setEnabled(true);
    Command13->setEnabled(false);
}

}  // namespace qm
