#include "editor/settings_panel.h"

#include "bankstore/bank_file.h"
#include "editor/attribute_panel.h"
#include "editor/bank_maintenance.h"
#include "editor/bank_panel.h"
#include "editor/entry_pane.h"
#include "editor/form2.h"
#include "widgets/controls.h"
#include "widgets/editstep.h"
#include "widgets/flexgrid.h"
#include "widgets/report_error.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace qm {

SettingsPanel::SettingsPanel(Form2& form) : QWidget(&form), m_form(form)
{
    setObjectName(QStringLiteral("Settings"));
    auto makePanel = [&](AttributeList table, const AttributePanelNames& names) {
        return new AttributePanel(form, this, table, names);
    };
    Frame4 = makePanel(AttributeList::Types, {"Frame4", "题型设置", "MSFlexGrid2", "库内题型", "List2", "Text9",
                                              "题型名称：", "Command15", "Command16", "Command17", "Command18"});
    Frame5 = makePanel(AttributeList::Chapters, {"Frame5", "章节设置", "MSFlexGrid3", "库内章节名称", "List3", "Text10",
                                                 "章节名称：", "Command22", "Command21", "Command20", "Command19"});
    Frame6 =
        makePanel(AttributeList::Difficulties, {"Frame6", "难度设置", "MSFlexGrid4", "库内难度等级", "List4", "Text11",
                                                "难度名称：", "Command26", "Command25", "Command24", "Command23"});
    Frame10 = makePanel(AttributeList::Units, {"Frame10", "单元设置", "MSFlexGrid1", "库内单元名称", "List5", "Text17",
                                               "单元名称：", "Command66", "Command67", "Command68", "Command69"});
    MSFlexGrid2 = Frame4->grid;
    List2 = Frame4->list;
    Text9 = Frame4->name;
    Command15 = Frame4->add;
    Command16 = Frame4->remove;
    Command17 = Frame4->rename;
    Command18 = Frame4->cancel;
    MSFlexGrid3 = Frame5->grid;
    List3 = Frame5->list;
    Text10 = Frame5->name;
    Command22 = Frame5->add;
    Command21 = Frame5->remove;
    Command20 = Frame5->rename;
    Command19 = Frame5->cancel;
    MSFlexGrid4 = Frame6->grid;
    List4 = Frame6->list;
    Text11 = Frame6->name;
    Command26 = Frame6->add;
    Command25 = Frame6->remove;
    Command24 = Frame6->rename;
    Command23 = Frame6->cancel;
    MSFlexGrid1 = Frame10->grid;
    List5 = Frame10->list;
    Text17 = Frame10->name;
    Command66 = Frame10->add;
    Command67 = Frame10->remove;
    Command68 = Frame10->rename;
    Command69 = Frame10->cancel;
    selectAllOnFocus(Text9);

    // The chapter panel can also reorder the chapters and sort the bank by them.
    Command70 = makeButton(Frame5, QStringLiteral("Command70"), QStringLiteral("上"));
    Command71 = makeButton(Frame5, QStringLiteral("Command71"), QStringLiteral("下"));
    Command72 = makeButton(Frame5, QStringLiteral("Command72"), QStringLiteral("题库按章节排序"));
    auto* order = new QHBoxLayout;
    order->addWidget(Command70);
    order->addWidget(Command71);
    order->addStretch();
    order->addWidget(Command72);
    static_cast<QVBoxLayout*>(Frame5->layout())->addLayout(order);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(Frame4, 0, 0);
    grid->addWidget(Frame5, 0, 1);
    grid->addWidget(Frame6, 1, 0);
    grid->addWidget(Frame10, 1, 1);

    Timer3 = new QTimer(this);
    Timer3->setObjectName(QStringLiteral("Timer3"));
    Timer3->setInterval(500);
    for (AttributePanel* p : panels())
        p->step()->setTimers({Timer3}, [this] { Timer3_Timer(); });
    connect(Timer3, &QTimer::timeout, this, &SettingsPanel::Timer3_Timer);

    const QList<std::pair<QPushButton*, void (SettingsPanel::*)()>> handlers{
        {Command15, &SettingsPanel::Command15_Click}, {Command16, &SettingsPanel::Command16_Click},
        {Command17, &SettingsPanel::Command17_Click}, {Command18, &SettingsPanel::Command18_Click},
        {Command19, &SettingsPanel::Command19_Click}, {Command20, &SettingsPanel::Command20_Click},
        {Command21, &SettingsPanel::Command21_Click}, {Command22, &SettingsPanel::Command22_Click},
        {Command23, &SettingsPanel::Command23_Click}, {Command24, &SettingsPanel::Command24_Click},
        {Command25, &SettingsPanel::Command25_Click}, {Command26, &SettingsPanel::Command26_Click},
        {Command66, &SettingsPanel::Command66_Click}, {Command67, &SettingsPanel::Command67_Click},
        {Command68, &SettingsPanel::Command68_Click}, {Command69, &SettingsPanel::Command69_Click},
        {Command70, &SettingsPanel::Command70_Click}, {Command71, &SettingsPanel::Command71_Click},
        {Command72, &SettingsPanel::Command72_Click},
    };
    for (const auto& [button, handler] : handlers)
        connect(button, &QPushButton::clicked, this, handler);
    Timer3->start();
    Timer3_Timer();
}

bool SettingsPanel::isOpen() const
{
    return m_form.Frame1->Command4->text() != QStringLiteral("设　置");
}

void SettingsPanel::showPanels()
{
    for (AttributePanel* p : panels())
        p->show();
    m_form.Frame1->Command4->setText(QStringLiteral("关　闭"));
    DataReFresh();
}

void SettingsPanel::openSettings()
{
    BankPanel* bank = m_form.Frame1;
    m_form.Frame7->hide();
    bank->Timer1->stop();
    showPanels();
    for (QPushButton* b :
         {bank->Command1, bank->Command2, bank->Command3, bank->Command5, bank->Command8, bank->Command27})
        b->setEnabled(false);

    // Chapters the questions use but the list lacks go to the end of the chapter order.
    const auto used = BankFile(m_form.bankPath()).distinctValues(Attribute::Chapter);
    if (!used)
        return;
    QStringList known;
    for (int i = 0; i < List3->count(); ++i)
        known << List3->item(i)->text();
    bool added = false;
    for (const QString& chapter : *used) {
        if (chapter.isEmpty() || known.contains(chapter))
            continue;
        if (BankFile(m_form.bankPath()).appendToList(AttributeList::Chapters, chapter)) {
            known << chapter;
            added = true;
        }
    }
    if (added)
        DataReFresh();
}

void SettingsPanel::closeSettings()
{
    for (AttributePanel* p : panels())
        if (p->step()->pending())
            p->cancelClick();
    if (!isOpen())
        return;
    for (AttributePanel* p : panels())
        p->hide();
    BankPanel* bank = m_form.Frame1;
    bank->Command4->setText(QStringLiteral("设　置"));
    bank->Timer1->start();
    bank->Command8->setEnabled(true);
    bank->Command1->setEnabled(true);
}

void SettingsPanel::DataReFresh()
{
    const QString path = m_form.bankPath();
    const BankFile bank(path);
    for (AttributePanel* p : panels())
        p->fill(path.isEmpty() ? QStringList() : bank.list(p->table()).value_or(QStringList()));
}

void SettingsPanel::Timer3_Timer()
{
    for (AttributePanel* p : panels())
        p->followSelection();
    const int i = List3->currentRow();
    const bool selected = i >= 0 && List3->item(i)->isSelected() && List3->isEnabled();
    Command70->setEnabled(selected && i > 0);
    Command71->setEnabled(selected && i < List3->count() - 1);
}

void SettingsPanel::Command15_Click()
{
    Frame4->addClick();
}
void SettingsPanel::Command16_Click()
{
    Frame4->removeClick();
}
void SettingsPanel::Command17_Click()
{
    Frame4->renameClick();
}
void SettingsPanel::Command18_Click()
{
    Frame4->cancelClick();
}
void SettingsPanel::Command22_Click()
{
    Frame5->addClick();
}
void SettingsPanel::Command21_Click()
{
    Frame5->removeClick();
}
void SettingsPanel::Command20_Click()
{
    Frame5->renameClick();
}
void SettingsPanel::Command19_Click()
{
    Frame5->cancelClick();
}
void SettingsPanel::Command26_Click()
{
    Frame6->addClick();
}
void SettingsPanel::Command25_Click()
{
    Frame6->removeClick();
}
void SettingsPanel::Command24_Click()
{
    Frame6->renameClick();
}
void SettingsPanel::Command23_Click()
{
    Frame6->cancelClick();
}
void SettingsPanel::Command66_Click()
{
    Frame10->addClick();
}
void SettingsPanel::Command67_Click()
{
    Frame10->removeClick();
}
void SettingsPanel::Command68_Click()
{
    Frame10->renameClick();
}
void SettingsPanel::Command69_Click()
{
    Frame10->cancelClick();
}

void SettingsPanel::moveChapter(int delta)
{
    const int i = List3->currentRow();
    const int j = i + delta;
    if (i < 0 || j < 0 || j >= List3->count())
        return;
    QStringList names;
    for (int k = 0; k < List3->count(); ++k)
        names << List3->item(k)->text();
    names.move(i, j);
    QString error;
    if (!BankFile(m_form.bankPath()).rewriteList(AttributeList::Chapters, names, &error))
        reportError(m_form.prompt(), error);
    DataReFresh();
    List3->setCurrentRow(j);
    MSFlexGrid3->setRow(j + 1);
    Timer3_Timer();
}

void SettingsPanel::Command70_Click()
{
    moveChapter(-1);
}

void SettingsPanel::Command71_Click()
{
    moveChapter(+1);
}

void SettingsPanel::Command72_Click()
{
    QStringList chapters;
    for (int i = 0; i < List3->count(); ++i)
        chapters << List3->item(i)->text();
    sortBankByChapter(m_form.prompt(), m_form.bankPath(), chapters);
}

}  // namespace qm
