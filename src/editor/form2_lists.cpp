// The bank window's subject panel and the four attribute-list panels.

#include "bankstore/bank_file.h"
#include "core/fileops.h"
#include "core/paths.h"
#include "core/prompt.h"
#include "core/workspace.h"
#include "editor/form2.h"
#include "editor/form2_parts.h"
#include "widgets/busycursor.h"
#include "widgets/dialogkeys.h"
#include "widgets/filelists.h"
#include "widgets/flexgrid.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace qm {

using namespace form2;

namespace {

const QString kSubjectExists = QStringLiteral("该学科名已经存在！");

QString fieldName(AttributeList table)
{
    switch (table) {
    case AttributeList::Types: return QStringLiteral("题型");
    case AttributeList::Chapters: return QStringLiteral("章节");
    case AttributeList::Difficulties: return QStringLiteral("难度");
    case AttributeList::Units: return QStringLiteral("单元");
    }
    return {};
}

// Moves every entry of directory `from` into the new directory `to`. A plain rename does
// it in one step; otherwise each file is copied and the originals go only once every copy
// is made, so a failure never loses a file.
bool moveSubjectDirectory(const QString& from, const QString& to, QString* error)
{
    if (QDir().rename(from, to))
        return true;
    Md(to);
    const QStringList files = QDir(from).entryList(QDir::Files | QDir::Hidden | QDir::System);
    QStringList copied;
    for (const QString& f : files) {
        if (!filecopyZZ(from + QLatin1Char('/') + f, to + QLatin1Char('/') + f)) {
            for (const QString& c : copied)
                QFile::remove(to + QLatin1Char('/') + c);
            Rd(to);
            *error = QStringLiteral("文件无法移动，学科名称未修改：") + QDir::toNativeSeparators(from + QLatin1Char('/') + f);
            return false;
        }
        copied << f;
    }
    for (const QString& f : files)
        KillFile(from + QLatin1Char('/') + f);
    Rd(from);
    return true;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Subjects

QWidget* Form2::buildSubjectPanel()
{
    Frame3 = new QGroupBox(QStringLiteral("学科管理"), this);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    List1 = new QListWidget(Frame3);
    List1->setObjectName(QStringLiteral("List1"));
    Text8 = makeLineEdit(Frame3, QStringLiteral("Text8"));
    selectAllOnFocus(Text8);
    Command10 = makeButton(Frame3, QStringLiteral("Command10"), kAdd);
    Command11 = makeButton(Frame3, QStringLiteral("Command11"), kDelete);
    Command12 = makeButton(Frame3, QStringLiteral("Command12"), kModify);
    Command13 = makeButton(Frame3, QStringLiteral("Command13"), QStringLiteral("取　消"));
    Command14 = makeButton(Frame3, QStringLiteral("Command14"), QStringLiteral("关　闭"));
    Command13->setEnabled(false);
    Dir1 = new DirListBox(Frame3);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    Dir1->hide();
    File2 = new FileListBox(Frame3);
    File2->setObjectName(QStringLiteral("File2"));
    File2->hide();

    auto* name = new QHBoxLayout;
    name->addWidget(new QLabel(QStringLiteral("学科名称"), Frame3));
    name->addWidget(Text8);
    auto* buttons = new QGridLayout;
    buttons->addWidget(Command10, 0, 0);
    buttons->addWidget(Command11, 0, 1);
    buttons->addWidget(Command12, 0, 2);
    buttons->addWidget(Command13, 1, 0);
    buttons->addWidget(Command14, 1, 2);
    auto* layout = new QVBoxLayout(Frame3);
    layout->addWidget(List1);
    layout->addLayout(name);
    layout->addLayout(buttons);
    List1->setMaximumHeight(fontMetrics().height() * 8);

    connect(List1, &QListWidget::itemClicked, this, &Form2::List1_Click);
    connect(Command10, &QPushButton::clicked, this, &Form2::Command10_Click);
    connect(Command11, &QPushButton::clicked, this, &Form2::Command11_Click);
    connect(Command12, &QPushButton::clicked, this, &Form2::Command12_Click);
    connect(Command13, &QPushButton::clicked, this, &Form2::Command13_Click);
    connect(Command14, &QPushButton::clicked, this, &Form2::Command14_Click);
    Frame3->hide();
    return Frame3;
}

void Form2::Command9_Click()
{
    Frame3->show();
}

void Form2::Command14_Click()
{
    Frame3->hide();
    if (Command13->isEnabled())
        Command13_Click();
}

void Form2::List1_Click()
{
    if (QListWidgetItem* it = List1->currentItem())
        Text8->setText(it->text());
}

void Form2::Timer2_Timer()
{
    const bool selected = List1->currentItem() && List1->currentItem()->isSelected();
    Command11->setEnabled(selected);
    Command12->setEnabled(selected);
}

void Form2::DisableXueKeCmd()
{
    Command10->setEnabled(false);
    Command11->setEnabled(false);
    Command12->setEnabled(false);
    Command13->setEnabled(true);
    Timer2->stop();
}

void Form2::Command10_Click()
{
    if (Command10->text() != kConfirm) {
        DisableXueKeCmd();
        Command10->setText(kConfirm);
        Command10->setEnabled(true);
        m_keys->setDefaultButton(Command10);
        m_keys->setCancelButton(Command13);
        Text8->setFocus();
        return;
    }
    const QString name = Text8->text();
    if (name.trimmed().isEmpty()) {
        reportError(QStringLiteral("学科名称不得为空！"));
        Text8->setFocus();
        return;
    }
    for (int i = 0; i < List1->count(); ++i) {
        if (sameFileName(List1->item(i)->text(), name)) {
            reportError(kSubjectExists);
            return;
        }
    }
    if (!isValidFileName(name)) {
        reportError(QStringLiteral("学科名称中不能有下列字符：\\ / : * ? \" < > |"));
        return;
    }
    Md(m_ws.BankRoot() + name);
    if (!QFileInfo(m_ws.BankRoot() + name).isDir()) {
        reportError(QStringLiteral("学科目录无法建立：") + QDir::toNativeSeparators(m_ws.BankRoot() + name));
        return;
    }
    RefreshXueKe();
    Command13_Click();
}

void Form2::Command11_Click()
{
    if (Command11->text() != kConfirm) {
        DisableXueKeCmd();
        Command11->setText(kConfirm);
        Command11->setEnabled(true);
        m_keys->setDefaultButton(Command11);
        m_keys->setCancelButton(Command13);
        return;
    }
    if (QListWidgetItem* it = List1->currentItem()) {
        // A directory that another computer removed meanwhile simply leaves the list.
        const QString dir = m_ws.BankRoot() + it->text();
        if (QFileInfo(dir).isDir() && Rd(dir) > 0)
            reportError(QStringLiteral("该学科下已经有题库，只有删除题库后才能删除学科！"));
    }
    RefreshXueKe();
    Command13_Click();
}

void Form2::Command12_Click()
{
    if (Command12->text() != kConfirm) {
        Command12->setText(kConfirm);
        Command12->setEnabled(true);
        Text8->setFocus();
        m_keys->setDefaultButton(Command12);
        m_keys->setCancelButton(Command13);
        Command13->setEnabled(true);
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
            reportError(kSubjectExists);
            return;
        }
    }
    if (name.trimmed().isEmpty()) {
        reportError(QStringLiteral("学科名称不得为空！"));
        return;
    }
    if (!isValidFileName(name)) {
        reportError(QStringLiteral("学科名称中不能有下列字符：\\ / : * ? \" < > |"));
        return;
    }
    QString error;
    bool moved = false;
    {
        BusyCursor busy;
        File2->setPath(m_ws.BankRoot() + selected->text());
        moved = moveSubjectDirectory(m_ws.BankRoot() + selected->text(), m_ws.BankRoot() + name, &error);
        File2->setPath(QString());
    }
    if (!moved)
        reportError(error);
    RefreshXueKe();
    Command13_Click();
}

void Form2::Command13_Click()
{
    Command10->setText(kAdd);
    Command11->setText(kDelete);
    Command12->setText(kModify);
    Command10->setEnabled(true);
    Command11->setEnabled(true);
    Command12->setEnabled(true);
    Command13->setEnabled(false);
    m_keys->setDefaultButton(nullptr);
    m_keys->setCancelButton(nullptr);
    Timer2->start();
    Timer2_Timer();
}

// ---------------------------------------------------------------------------------------
// Attribute lists

AttributePanel Form2::makeAttributePanel(AttributeList table, const QString& frameName, const QString& caption,
                                         const QString& gridName, const QString& gridLabel,
                                         const QString& listName, const QString& textName,
                                         const QString& nameLabel, const QStringList& buttonNames)
{
    AttributePanel p;
    p.table = table;
    p.frame = new QGroupBox(caption, m_settingsArea);
    p.frame->setObjectName(frameName);
    p.grid = new FlexGrid(p.frame);
    p.grid->setObjectName(gridName);
    p.grid->setColWidth(0, 14);
    p.list = new QListWidget(p.frame);
    p.list->setObjectName(listName);
    p.name = makeLineEdit(p.frame, textName);
    p.add = makeButton(p.frame, buttonNames[0], kAdd);
    p.remove = makeButton(p.frame, buttonNames[1], kDelete);
    p.rename = makeButton(p.frame, buttonNames[2], kModify);
    p.cancel = makeButton(p.frame, buttonNames[3], QStringLiteral("取　消"));
    p.cancel->setEnabled(false);

    auto* gridBox = new QVBoxLayout;
    gridBox->addWidget(new QLabel(gridLabel, p.frame));
    gridBox->addWidget(p.grid);
    auto* lists = new QHBoxLayout;
    lists->addLayout(gridBox, 1);
    lists->addWidget(p.list, 1);
    auto* name = new QHBoxLayout;
    name->addWidget(new QLabel(nameLabel, p.frame));
    name->addWidget(p.name);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {p.add, p.remove, p.rename, p.cancel})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(p.frame);
    layout->addLayout(lists, 1);
    layout->addLayout(name);
    layout->addLayout(buttons);
    p.frame->hide();
    return p;
}

QWidget* Form2::buildAttributePanels()
{
    m_settingsArea = new QWidget(this);
    m_panels = {
        makeAttributePanel(AttributeList::Types, QStringLiteral("Frame4"), QStringLiteral("题型设置"),
                           QStringLiteral("MSFlexGrid2"), QStringLiteral("库内题型"), QStringLiteral("List2"),
                           QStringLiteral("Text9"), QStringLiteral("题型名称："),
                           {"Command15", "Command16", "Command17", "Command18"}),
        makeAttributePanel(AttributeList::Chapters, QStringLiteral("Frame5"), QStringLiteral("章节设置"),
                           QStringLiteral("MSFlexGrid3"), QStringLiteral("库内章节名称"), QStringLiteral("List3"),
                           QStringLiteral("Text10"), QStringLiteral("章节名称："),
                           {"Command22", "Command21", "Command20", "Command19"}),
        makeAttributePanel(AttributeList::Difficulties, QStringLiteral("Frame6"), QStringLiteral("难度设置"),
                           QStringLiteral("MSFlexGrid4"), QStringLiteral("库内难度等级"), QStringLiteral("List4"),
                           QStringLiteral("Text11"), QStringLiteral("难度名称："),
                           {"Command26", "Command25", "Command24", "Command23"}),
        makeAttributePanel(AttributeList::Units, QStringLiteral("Frame10"), QStringLiteral("单元设置"),
                           QStringLiteral("MSFlexGrid1"), QStringLiteral("库内单元名称"), QStringLiteral("List5"),
                           QStringLiteral("Text17"), QStringLiteral("单元名称："),
                           {"Command66", "Command67", "Command68", "Command69"}),
    };
    const AttributePanel& t = m_panels[0];
    Frame4 = t.frame; MSFlexGrid2 = t.grid; List2 = t.list; Text9 = t.name;
    Command15 = t.add; Command16 = t.remove; Command17 = t.rename; Command18 = t.cancel;
    const AttributePanel& c = m_panels[1];
    Frame5 = c.frame; MSFlexGrid3 = c.grid; List3 = c.list; Text10 = c.name;
    Command22 = c.add; Command21 = c.remove; Command20 = c.rename; Command19 = c.cancel;
    const AttributePanel& d = m_panels[2];
    Frame6 = d.frame; MSFlexGrid4 = d.grid; List4 = d.list; Text11 = d.name;
    Command26 = d.add; Command25 = d.remove; Command24 = d.rename; Command23 = d.cancel;
    const AttributePanel& u = m_panels[3];
    Frame10 = u.frame; MSFlexGrid1 = u.grid; List5 = u.list; Text17 = u.name;
    Command66 = u.add; Command67 = u.remove; Command68 = u.rename; Command69 = u.cancel;
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
    connect(Command70, &QPushButton::clicked, this, &Form2::Command70_Click);
    connect(Command71, &QPushButton::clicked, this, &Form2::Command71_Click);

    for (int i = 0; i < m_panels.size(); ++i)
        connectAttributePanel(i);

    // What the empty area says before a pane is opened.
    m_placeholder = new QLabel(QStringLiteral("选择学科和题库后，按“题库录入”录入题目，按“设　置”设置题型、章节、难度和单元。"),
                               m_settingsArea);
    m_placeholder->setObjectName(QStringLiteral("lblPlaceholder"));
    m_placeholder->setAlignment(Qt::AlignCenter);
    m_placeholder->setWordWrap(true);
    m_placeholder->setStyleSheet(QStringLiteral("color: #5a6b8c;"));
    Frame4->installEventFilter(this);

    auto* grid = new QGridLayout(m_settingsArea);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(m_placeholder, 0, 0, 2, 2);
    grid->addWidget(Frame4, 0, 0);
    grid->addWidget(Frame5, 0, 1);
    grid->addWidget(Frame6, 1, 0);
    grid->addWidget(Frame10, 1, 1);
    // The entry pane lies over the panels: while it is shown they are out of sight.
    Frame7->installEventFilter(this);
    return m_settingsArea;
}

void Form2::connectAttributePanel(int index)
{
    const AttributePanel& p = m_panels[index];
    connect(p.add, &QPushButton::clicked, this, [this, index] { attributeAdd(index); });
    connect(p.remove, &QPushButton::clicked, this, [this, index] { attributeRemove(index); });
    connect(p.rename, &QPushButton::clicked, this, [this, index] { attributeRename(index); });
    connect(p.cancel, &QPushButton::clicked, this, [this, index] { attributeCancel(index); });
    connect(p.list, &QListWidget::itemClicked, this, [this, index] { attributeListClick(index); });
}

void Form2::Command4_Click()
{
    if (Command4->text() != QStringLiteral("设　置")) {
        closeSettings();
        return;
    }
    Frame7->hide();
    Timer1->stop();
    for (const AttributePanel& p : m_panels)
        p.frame->show();
    Command4->setText(QStringLiteral("关　闭"));
    DataReFresh();
    for (QPushButton* b : {Command1, Command2, Command3, Command5, Command8, Command27})
        b->setEnabled(false);

    // Chapters the questions use but the list lacks go to the end of the chapter order.
    const auto used = BankFile(bankPath()).distinctValues(Attribute::Chapter);
    if (!used)
        return;
    QStringList known;
    for (int i = 0; i < List3->count(); ++i)
        known << List3->item(i)->text();
    bool added = false;
    for (const QString& chapter : *used) {
        if (chapter.isEmpty() || known.contains(chapter))
            continue;
        if (BankFile(bankPath()).appendToList(AttributeList::Chapters, chapter)) {
            known << chapter;
            added = true;
        }
    }
    if (added)
        DataReFresh();
}

void Form2::closeSettings()
{
    for (int i = 0; i < m_panels.size(); ++i)
        if (m_panels[i].cancel->isEnabled())
            attributeCancel(i);
    if (Command4->text() == QStringLiteral("设　置"))
        return;
    for (const AttributePanel& p : m_panels)
        p.frame->hide();
    Command4->setText(QStringLiteral("设　置"));
    Timer1->start();
    Command8->setEnabled(true);
    Command1->setEnabled(true);
}

void Form2::DataReFresh()
{
    const BankFile bank(bankPath());
    for (const AttributePanel& p : m_panels) {
        const QStringList names = bankPath().isEmpty() ? QStringList() : bank.list(p.table).value_or(QStringList());
        QList<QStringList> rows;
        for (const QString& n : names)
            rows.append({n});
        const int row = p.grid->Row();
        p.grid->setTable({fieldName(p.table)}, rows);
        p.grid->setColWidth(0, 14);
        p.grid->setRow(std::min(row, p.grid->Rows() - 1));
        p.list->clear();
        for (int r = 1; r < p.grid->Rows(); ++r)
            p.list->addItem(p.grid->TextMatrix(r, 1));
    }
}

void Form2::Timer3_Timer()
{
    for (const AttributePanel& p : m_panels) {
        const int i = p.list->currentRow();
        const bool selected = i >= 0 && p.list->item(i)->isSelected();
        p.remove->setEnabled(selected);
        p.rename->setEnabled(selected);
        if (!selected)
            p.name->clear();
    }
    const int i = List3->currentRow();
    const bool selected = i >= 0 && List3->item(i)->isSelected();
    Command70->setEnabled(selected && i > 0);
    Command71->setEnabled(selected && i < List3->count() - 1);
}

void Form2::attributeListClick(int index)
{
    const AttributePanel& p = m_panels[index];
    const int row = p.list->currentRow();
    if (row < 0)
        return;
    p.name->setText(p.list->item(row)->text());
    if (p.table != AttributeList::Types)
        p.grid->setRow(row + 1);
}

void Form2::openAttributeStep(int index, QPushButton* pressed)
{
    const AttributePanel& p = m_panels[index];
    p.cancel->setEnabled(true);
    pressed->setText(kConfirm);
    p.list->setEnabled(false);
    Timer3->stop();
    m_keys->setDefaultButton(pressed);
    m_keys->setCancelButton(p.cancel);
}

void Form2::attributeAdd(int index)
{
    const AttributePanel& p = m_panels[index];
    if (p.add->text() != kConfirm) {
        openAttributeStep(index, p.add);
        p.rename->setEnabled(false);
        p.remove->setEnabled(false);
        p.name->setFocus();
        return;
    }
    if (p.name->text().isEmpty())
        return;
    QString error;
    if (!BankFile(bankPath()).appendToList(p.table, p.name->text(), &error)) {
        reportError(error);
        return;
    }
    DataReFresh();
    attributeCancel(index);
}

void Form2::attributeRename(int index)
{
    const AttributePanel& p = m_panels[index];
    if (p.rename->text() != kConfirm) {
        openAttributeStep(index, p.rename);
        p.name->setFocus();
        return;
    }
    if (p.name->text().isEmpty())
        return;
    const int row = p.list->currentRow();
    if (row >= 0) {
        QString error;
        if (!BankFile(bankPath()).renameInList(p.table, row, p.name->text(), &error)) {
            reportError(error);
            return;
        }
    }
    DataReFresh();
    attributeCancel(index);
}

void Form2::attributeRemove(int index)
{
    const AttributePanel& p = m_panels[index];
    if (p.remove->text() != kConfirm) {
        openAttributeStep(index, p.remove);
        p.rename->setEnabled(false);
        p.add->setEnabled(false);
        return;
    }
    const int row = p.list->currentRow();
    if (row >= 0) {
        QString error;
        if (!BankFile(bankPath()).removeFromList(p.table, row, &error)) {
            reportError(error);
            return;
        }
    }
    DataReFresh();
    attributeCancel(index);
}

void Form2::attributeCancel(int index)
{
    const AttributePanel& p = m_panels[index];
    p.cancel->setEnabled(false);
    for (QPushButton* b : {p.add, p.remove, p.rename})
        b->setEnabled(true);
    p.add->setText(kAdd);
    p.remove->setText(kDelete);
    p.rename->setText(kModify);
    p.list->setEnabled(true);
    if (m_keys->cancelButton() == p.cancel) {
        m_keys->setDefaultButton(nullptr);
        m_keys->setCancelButton(nullptr);
    }
    Timer3->start();
    Timer3_Timer();
}

void Form2::moveChapter(int delta)
{
    const int i = List3->currentRow();
    const int j = i + delta;
    if (i < 0 || j < 0 || j >= List3->count())
        return;
    List3->insertItem(j, List3->takeItem(i));
    List3->setCurrentRow(j);
    QStringList names;
    for (int k = 0; k < List3->count(); ++k)
        names << List3->item(k)->text();
    QString error;
    if (!BankFile(bankPath()).rewriteList(AttributeList::Chapters, names, &error))
        reportError(error);
    DataReFresh();
    List3->setCurrentRow(j);
    MSFlexGrid3->setRow(j + 1);
    Timer3_Timer();
}

void Form2::Command70_Click()
{
    moveChapter(-1);
}

void Form2::Command71_Click()
{
    moveChapter(+1);
}

}  // namespace qm
