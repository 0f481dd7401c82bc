#include "composer/browse_panel.h"

#include "composer/form5.h"
#include "composer/manual_bank_panel.h"
#include "core/numbers.h"
#include "widgets/busycursor.h"
#include "widgets/controls.h"
#include "widgets/richtextbox.h"
#include "widgets/search_panel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

namespace qm {

BrowsePanel::BrowsePanel(Form5& form) : QWidget(&form), m_form(form)
{
    setObjectName(QStringLiteral("FrameBrowse"));
    Command1 = makeButton(this, QStringLiteral("Command1"), QStringLiteral("预览题目"));
    Command2 = makeButton(this, QStringLiteral("Command2"), QStringLiteral("上一题"));
    Command3 = makeButton(this, QStringLiteral("Command3"), QStringLiteral("下一题"));
    Command4 = makeButton(this, QStringLiteral("Command4"), QStringLiteral("跳到"));
    Command5 = makeButton(this, QStringLiteral("Command5"), QStringLiteral("选　中"));
    Text3 = makeLineEdit(this, QStringLiteral("Text3"));
    Text3->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 12);
    Label9 = new QLabel(QStringLiteral("0"), this);
    Label9->setObjectName(QStringLiteral("Label9"));
    Label22 = new QLabel(QStringLiteral("0"), this);
    Label22->setObjectName(QStringLiteral("Label22"));
    LabelUsage = new QLabel(this);
    LabelUsage->setObjectName(QStringLiteral("LabelUsage"));
    RichTextBox5 = new RichTextBox(this);
    RichTextBox5->setObjectName(QStringLiteral("RichTextBox5"));
    RichTextBox6 = new RichTextBox(this);
    RichTextBox6->setObjectName(QStringLiteral("RichTextBox6"));
    for (RichTextBox* box : {RichTextBox5, RichTextBox6})
        box->setReadOnly(true);
    Search = new SearchPanel(this);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(500);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command1);
    buttons->addSpacing(12);
    buttons->addWidget(new QLabel(QStringLiteral("共"), this));
    buttons->addWidget(Label9);
    buttons->addWidget(new QLabel(QStringLiteral("题"), this));
    buttons->addSpacing(8);
    buttons->addWidget(new QLabel(QStringLiteral("第"), this));
    buttons->addWidget(Label22);
    buttons->addWidget(new QLabel(QStringLiteral("题"), this));
    buttons->addSpacing(12);
    for (QWidget* w : {static_cast<QWidget*>(Command2), static_cast<QWidget*>(Command3), static_cast<QWidget*>(Text3),
                       static_cast<QWidget*>(Command4)})
        buttons->addWidget(w);
    buttons->addStretch();
    buttons->addWidget(Command5);
    auto* questionHead = new QHBoxLayout;
    questionHead->addWidget(new QLabel(QStringLiteral("题目："), this));
    questionHead->addStretch();
    questionHead->addWidget(LabelUsage);
    auto* boxes = new QGridLayout;
    boxes->addLayout(questionHead, 0, 0);
    boxes->addWidget(new QLabel(QStringLiteral("参考答案："), this), 0, 1);
    boxes->addWidget(RichTextBox5, 1, 0);
    boxes->addWidget(RichTextBox6, 1, 1);
    boxes->setRowStretch(1, 1);
    boxes->setColumnStretch(0, 3);
    boxes->setColumnStretch(1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(buttons);
    layout->addLayout(boxes, 1);
    layout->addWidget(Search);

    connect(Command1, &QPushButton::clicked, this, &BrowsePanel::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &BrowsePanel::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &BrowsePanel::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &BrowsePanel::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &BrowsePanel::Command5_Click);
    connect(Text3, &QLineEdit::returnPressed, this, &BrowsePanel::Command4_Click);
    connect(Timer1, &QTimer::timeout, this, &BrowsePanel::Timer1_Timer);
    connect(Search, &SearchPanel::searchRequested, this, &BrowsePanel::findQuestions);
    connect(Search, &SearchPanel::questionChosen, this, &BrowsePanel::showQuestionById);
    Timer1->start();
    Timer1_Timer();
}

void BrowsePanel::query()
{
    const BusyCursor busy;
    m_ids.clear();
    const QString path = m_form.Bank->bankPath();
    const std::optional<QuestionFilter> filter = m_form.Bank->filter();
    if (!path.isEmpty() && filter) {
        QString error;
        if (auto ids = BankFile(path).idsMatching(*filter, &error))
            m_ids = std::move(*ids);
        else
            m_form.reportError(error);
    }
    Label9->setText(QString::number(count()));
    setPosition(m_ids.isEmpty() ? 0 : 1);
}

void BrowsePanel::findQuestions(const QString& query)
{
    if (m_form.refuseWithoutBank())
        return;
    // The list shows this many; all that were found are browsed.
    constexpr int kListed = 500;
    QString error;
    std::optional<SearchResult> found;
    {
        const BusyCursor busy;
        found = searchBank(m_form.Bank->bankPath(), query, kListed, &error);
    }
    if (!found) {
        m_form.reportError(error);
        return;
    }
    Search->showResults(found->rows, int(found->ids.size()));
    m_ids = found->ids;
    Label9->setText(QString::number(count()));
    setPosition(m_ids.isEmpty() ? 0 : 1);
}

void BrowsePanel::showQuestionById(qint64 id)
{
    const int index = int(m_ids.indexOf(id));
    if (index >= 0)
        setPosition(index + 1);
}

void BrowsePanel::setPosition(int position)
{
    m_position = position;
    Label22->setText(QString::number(position));
    ShowTimu();
}

void BrowsePanel::ShowTimu()
{
    m_shown.reset();
    RichTextBox5->clear();
    RichTextBox6->clear();
    LabelUsage->clear();
    if (m_position >= 1 && m_position <= count()) {
        // A question deleted since the query shows nothing and cannot be picked; a bank
        // that cannot be read is reported.
        const qint64 id = m_ids[m_position - 1];
        const BankFile bank(m_form.Bank->bankPath());
        QString error;
        if (const auto found = bank.readByIds({id}, &error)) {
            if (found->contains(id)) {
                m_shown = found->value(id);
                RichTextBox5->setTextRTF(m_shown->text);
                RichTextBox6->setTextRTF(m_shown->answer);
                // Read right after the question: a failure shows nothing rather than a
                // second message.
                if (const std::optional<UsageSummary> usage = bank.usageOf(id))
                    LabelUsage->setText(usageText(*usage));
            }
        } else {
            m_form.reportError(error);
        }
    }
    Timer1_Timer();
}

void BrowsePanel::Command1_Click()
{
    if (m_form.refuseWithoutBank())
        return;
    query();
}

void BrowsePanel::Command2_Click()
{
    if (m_position > 1)
        setPosition(m_position - 1);
}

void BrowsePanel::Command3_Click()
{
    if (count() > m_position)
        setPosition(m_position + 1);
}

void BrowsePanel::Command4_Click()
{
    bool ok = false;
    const double wanted = Text3->text().trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(wanted)) {
        Text3->setFocus();
        return;
    }
    if (count() == 0)
        return;
    const int position = wanted < 1 ? 1 : wanted > count() ? count() : int(roundHalfEven(wanted));
    Text3->setText(QString::number(position));
    setPosition(position);
}

void BrowsePanel::Command5_Click()
{
    m_form.pickShown();
}

void BrowsePanel::Timer1_Timer()
{
    const bool any = count() > 0;
    Command2->setEnabled(any && m_position > 1);
    Command3->setEnabled(any && m_position < count());
    Command4->setEnabled(any);
    Command5->setEnabled(any);
}

}  // namespace qm
