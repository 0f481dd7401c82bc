#include "editor/duplicates_window.h"

#include "bankstore/bank_file.h"
#include "core/prompt.h"
#include "widgets/busycursor.h"
#include "widgets/controls.h"
#include "widgets/report_error.h"
#include "widgets/richtextbox.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace qm {

namespace {

const QString kTitle = QStringLiteral("查找重复题");

QString similarityText(double s)
{
    return s >= 1 ? QStringLiteral("相同") : QStringLiteral("%1%").arg(QString::number(s * 100, 'f', 1));
}

}  // namespace

DuplicatesWindow::DuplicatesWindow(Prompt& prompt, QWidget* parent) : QWidget(parent, Qt::Window), m_prompt(prompt)
{
    setObjectName(QStringLiteral("FormDuplicates"));
    setWindowTitle(kTitle);
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    for (const auto& [caption, value] : std::initializer_list<std::pair<const char*, double>>{
             {"只找相同的", 1}, {"95%", 0.95}, {"90%", 0.9}, {"85%", 0.85}, {"80%", 0.8}})
        Combo1->addItem(QString::fromUtf8(caption), value);
    Combo1->setCurrentIndex(2);
    Command1 = makeButton(this, QStringLiteral("Command1"), QStringLiteral("查　找"));
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    List1 = new QTreeWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setHeaderLabels({QStringLiteral("编号"), QStringLiteral("编号"), QStringLiteral("相似度")});
    List1->setRootIsDecorated(false);
    List1->setUniformRowHeights(true);
    List1->setAllColumnsShowFocus(true);
    List1->header()->setStretchLastSection(true);
    // Wide enough for two 编号 and a similarity, without a scroll bar.
    const int number = fontMetrics().horizontalAdvance(QStringLiteral("0000000"));
    List1->setColumnWidth(0, number);
    List1->setColumnWidth(1, number);
    List1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    List1->setFixedWidth(2 * number + fontMetrics().horizontalAdvance(QStringLiteral("相似度相似")) + 24);
    RichTextBox1 = new RichTextBox(this);
    RichTextBox2 = new RichTextBox(this);
    RichTextBox3 = new RichTextBox(this);
    RichTextBox4 = new RichTextBox(this);
    int n = 1;
    for (RichTextBox* box : {RichTextBox1, RichTextBox2, RichTextBox3, RichTextBox4}) {
        box->setObjectName(QStringLiteral("RichTextBox%1").arg(n++));
        box->setReadOnly(true);
    }
    m_choice = new QButtonGroup(this);
    Option1 = makeOption(this, m_choice, QStringLiteral("Option1"), QString(), 0);
    Option2 = makeOption(this, m_choice, QStringLiteral("Option2"), QString(), 1);
    Command2 = makeButton(this, QStringLiteral("Command2"), QStringLiteral("删除其中一道"));
    Command3 = makeButton(this, QStringLiteral("Command3"), QStringLiteral("关　闭"));

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("相似度不低于"), this));
    top->addWidget(Combo1);
    top->addWidget(Command1);
    top->addWidget(Label1, 1);
    auto* pair = new QGridLayout;
    pair->addWidget(Option1, 0, 0);
    pair->addWidget(Option2, 0, 1);
    pair->addWidget(RichTextBox1, 1, 0);
    pair->addWidget(RichTextBox3, 1, 1);
    pair->addWidget(new QLabel(QStringLiteral("参考答案"), this), 2, 0);
    pair->addWidget(new QLabel(QStringLiteral("参考答案"), this), 2, 1);
    pair->addWidget(RichTextBox2, 3, 0);
    pair->addWidget(RichTextBox4, 3, 1);
    pair->setRowStretch(1, 3);
    pair->setRowStretch(3, 1);
    auto* middle = new QHBoxLayout;
    middle->addWidget(List1);
    middle->addLayout(pair, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(Command2);
    bottom->addWidget(Command3);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(middle, 1);
    layout->addLayout(bottom);

    connect(Command1, &QPushButton::clicked, this, &DuplicatesWindow::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &DuplicatesWindow::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &DuplicatesWindow::Command3_Click);
    connect(List1, &QTreeWidget::currentItemChanged, this, &DuplicatesWindow::showPair);
    sizeToScreen(this, QSize(1000, 680));
}

void DuplicatesWindow::open(const QString& bankPath)
{
    m_bank = bankPath;
    show();
    raise();
    activateWindow();
    Command1_Click();
}

void DuplicatesWindow::Command1_Click()
{
    List1->clear();
    showPair();
    QString error;
    std::optional<QList<DuplicatePair>> pairs;
    {
        BusyCursor busy;
        Label1->setText(QStringLiteral("正在查找……"));
        pairs = BankFile(m_bank).duplicates(Combo1->currentData().toDouble(), &error);
    }
    if (!pairs) {
        Label1->clear();
        reportError(m_prompt, error);
        return;
    }
    Label1->setText(pairs->isEmpty() ? QStringLiteral("没有找到重复的题")
                                     : QStringLiteral("找到 %1 对").arg(pairs->size()));
    QList<QTreeWidgetItem*> items;
    for (const DuplicatePair& p : *pairs) {
        auto* item =
            new QTreeWidgetItem({QString::number(p.first), QString::number(p.second), similarityText(p.similarity)});
        item->setData(0, Qt::UserRole, p.first);
        item->setData(1, Qt::UserRole, p.second);
        items.append(item);
    }
    List1->addTopLevelItems(items);
    if (!items.isEmpty())
        List1->setCurrentItem(items.first());
}

void DuplicatesWindow::showPair()
{
    for (RichTextBox* box : {RichTextBox1, RichTextBox2, RichTextBox3, RichTextBox4})
        box->clear();
    const QTreeWidgetItem* item = List1->currentItem();
    Option1->setText(QStringLiteral("编号 %1").arg(item ? item->text(0) : QString()));
    Option2->setText(QStringLiteral("编号 %1").arg(item ? item->text(1) : QString()));
    for (QWidget* w : {static_cast<QWidget*>(Option1), static_cast<QWidget*>(Option2), static_cast<QWidget*>(Command2)})
        w->setEnabled(item != nullptr);
    if (!item)
        return;
    const qint64 first = item->data(0, Qt::UserRole).toLongLong();
    const qint64 second = item->data(1, Qt::UserRole).toLongLong();
    QString error;
    const auto questions = BankFile(m_bank).readByIds({first, second}, &error);
    if (!questions) {
        reportError(m_prompt, error);
        return;
    }
    // A question deleted meanwhile (by another computer) shows empty.
    if (const auto q = questions->constFind(first); q != questions->constEnd()) {
        RichTextBox1->setTextRTF(q->text);
        RichTextBox2->setTextRTF(q->answer);
    }
    if (const auto q = questions->constFind(second); q != questions->constEnd()) {
        RichTextBox3->setTextRTF(q->text);
        RichTextBox4->setTextRTF(q->answer);
    }
    // The later one is offered for deleting.
    Option2->setChecked(true);
}

void DuplicatesWindow::Command2_Click()
{
    const QTreeWidgetItem* item = List1->currentItem();
    if (!item)
        return;
    const qint64 id = item->data(Option1->isChecked() ? 0 : 1, Qt::UserRole).toLongLong();
    if (m_prompt.message(QStringLiteral("确实要删除编号为 %1 的题目吗？").arg(id), kTitle, Icon::Question,
                         Buttons::YesNo, Answer::No)
        != Answer::Yes)
        return;
    QString error;
    bool found = false;
    if (!BankFile(m_bank).removeById(id, &found, &error)) {
        reportError(m_prompt, error);
        return;
    }
    if (!found)
        reportError(m_prompt, QStringLiteral("该题已被删除！"));
    // Every pair with the deleted question goes from the list.
    for (int i = List1->topLevelItemCount() - 1; i >= 0; --i) {
        const QTreeWidgetItem* row = List1->topLevelItem(i);
        if (row->data(0, Qt::UserRole).toLongLong() == id || row->data(1, Qt::UserRole).toLongLong() == id)
            delete List1->takeTopLevelItem(i);
    }
    Label1->setText(QStringLiteral("还有 %1 对").arg(List1->topLevelItemCount()));
    showPair();
    Q_EMIT questionDeleted();
}

void DuplicatesWindow::Command3_Click()
{
    close();
}

}  // namespace qm
