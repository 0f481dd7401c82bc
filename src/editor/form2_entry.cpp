// The bank window's entry pane: one question at a time with its answer and attributes,
// navigation, adding, changing and deleting questions, the formatting bar and the
// hand-offs to the word processor.

#include "bankstore/bank_file.h"
#include "core/numbers.h"
#include "core/paths.h"
#include "core/prompt.h"
#include "editor/bank_document.h"
#include "editor/form2.h"
#include "editor/form2_parts.h"
#include "widgets/busycursor.h"
#include "widgets/dialogkeys.h"
#include "widgets/filelists.h"
#include "widgets/formattingbar.h"
#include "widgets/richtextbox.h"
#include "widgets/word_handoff.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>

namespace qm {

using namespace form2;

namespace {

const QString kHandOffFile = QStringLiteral("~temp.rtf");

QComboBox* makeCombo(QWidget* parent, const QString& name, bool editable)
{
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->setEditable(editable);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setMinimumContentsLength(6);
    c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return c;
}

int findExact(const QComboBox* box, const QString& text)
{
    for (int i = 0; i < box->count(); ++i)
        if (box->itemText(i) == text)
            return i;
    return -1;
}

void fillFromList(QComboBox* box, const QListWidget* list)
{
    box->clear();
    for (int i = 0; i < list->count(); ++i)
        box->addItem(list->item(i)->text());
    if (box->count() > 0)
        box->setCurrentIndex(0);
}

// While the whole-bank document is built: the user's clicks and keys are held off, except
// Esc, which asks to stop after the question under way.
class BrowseInputGuard : public QObject {
public:
    explicit BrowseInputGuard(bool& cancelled) : m_cancelled(cancelled) { qApp->installEventFilter(this); }
    ~BrowseInputGuard() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
                m_cancelled = true;
            return true;
        case QEvent::KeyRelease:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
            return true;
        default:
            return false;
        }
    }

private:
    bool& m_cancelled;
};

}  // namespace

QWidget* Form2::buildEntryPane()
{
    Frame7 = new QGroupBox(QStringLiteral("题库录入"), this);
    Frame7->setObjectName(QStringLiteral("Frame7"));

    RichTextBox1 = new RichTextBox(Frame7);
    RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    RichTextBox2 = new RichTextBox(Frame7);
    RichTextBox2->setObjectName(QStringLiteral("RichTextBox2"));
    FormatBar = new FormattingBar(RichTextBox1, RichTextBox2, FormattingBarOptions::bankWindow(), Frame7);
    Command38 = makeButton(Frame7, QStringLiteral("Command38"), QStringLiteral("WORD编辑"));
    Command39 = makeButton(Frame7, QStringLiteral("Command39"), QStringLiteral("WORD编辑"));

    Combo2 = makeCombo(Frame7, QStringLiteral("Combo2"), false);
    Combo3 = makeCombo(Frame7, QStringLiteral("Combo3"), false);
    Combo4 = makeCombo(Frame7, QStringLiteral("Combo4"), true);
    Combo5 = makeCombo(Frame7, QStringLiteral("Combo5"), true);
    Combo5->setMinimumContentsLength(3);
    Combo7 = makeCombo(Frame7, QStringLiteral("Combo7"), false);

    Command30 = makeButton(Frame7, QStringLiteral("Command30"), QStringLiteral("第一题"));
    Command31 = makeButton(Frame7, QStringLiteral("Command31"), QStringLiteral("上一题"));
    Command32 = makeButton(Frame7, QStringLiteral("Command32"), QStringLiteral("下一题"));
    Command33 = makeButton(Frame7, QStringLiteral("Command33"), QStringLiteral("最末题"));
    Command29 = makeButton(Frame7, QStringLiteral("Command29"), QStringLiteral("跳至第"));
    Text12 = makeLineEdit(Frame7, QStringLiteral("Text12"));
    Text12->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 12);
    selectAllOnFocus(Text12);
    Text12->installEventFilter(this);
    Command34 = makeButton(Frame7, QStringLiteral("Command34"), kAdd);
    Command35 = makeButton(Frame7, QStringLiteral("Command35"), kDelete);
    Command36 = makeButton(Frame7, QStringLiteral("Command36"), kModify);
    Command37 = makeButton(Frame7, QStringLiteral("Command37"), QStringLiteral("取　消"));
    Command37->setEnabled(false);
    Command28 = makeButton(Frame7, QStringLiteral("Command28"), QStringLiteral("关　闭"));
    Command47 = makeButton(Frame7, QStringLiteral("Command47"), QStringLiteral("WORD浏览所有题目"));
    m_browseProgress = new QProgressBar(Frame7);
    m_browseProgress->setObjectName(QStringLiteral("BrowseProgress"));
    m_browseProgress->setMaximumWidth(200);
    QSizePolicy keepPlace = m_browseProgress->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    m_browseProgress->setSizePolicy(keepPlace);
    m_browseProgress->hide();

    auto labelled = [this](const QString& label, QWidget* w) {
        auto* row = new QHBoxLayout;
        row->setSpacing(4);
        row->addWidget(new QLabel(label, Frame7));
        row->addWidget(w, 1);
        return row;
    };
    auto* questionHead = new QHBoxLayout;
    questionHead->addWidget(new QLabel(QStringLiteral("题目"), Frame7));
    questionHead->addStretch();
    questionHead->addWidget(Command38);
    auto* answerHead = new QHBoxLayout;
    answerHead->addWidget(new QLabel(QStringLiteral("参考答案"), Frame7));
    answerHead->addStretch();
    answerHead->addWidget(Command39);

    auto* attributes = new QHBoxLayout;
    attributes->addLayout(labelled(QStringLiteral("章节"), Combo2), 4);
    attributes->addLayout(labelled(QStringLiteral("单元"), Combo7), 4);
    attributes->addLayout(labelled(QStringLiteral("题型"), Combo3), 2);
    attributes->addLayout(labelled(QStringLiteral("难度"), Combo4), 2);
    attributes->addLayout(labelled(QStringLiteral("分值"), Combo5), 1);

    auto* navigation = new QHBoxLayout;
    for (QPushButton* b : {Command30, Command31, Command32, Command33})
        navigation->addWidget(b);
    navigation->addSpacing(16);
    navigation->addWidget(Command29);
    navigation->addWidget(Text12);
    navigation->addWidget(new QLabel(QStringLiteral("题"), Frame7));
    navigation->addStretch();
    navigation->addWidget(m_browseProgress);
    navigation->addWidget(Command47);

    auto* actions = new QHBoxLayout;
    for (QPushButton* b : {Command34, Command35, Command36, Command37})
        actions->addWidget(b);
    actions->addStretch();
    actions->addWidget(Command28);

    auto* layout = new QVBoxLayout(Frame7);
    layout->addWidget(FormatBar);
    layout->addLayout(questionHead);
    layout->addWidget(RichTextBox1, 3);
    layout->addLayout(answerHead);
    layout->addWidget(RichTextBox2, 2);
    layout->addLayout(attributes);
    layout->addLayout(navigation);
    layout->addLayout(actions);

    Timer4 = new QTimer(this);
    Timer4->setObjectName(QStringLiteral("Timer4"));
    Timer4->setInterval(300);
    connect(Timer4, &QTimer::timeout, this, &Form2::Timer4_Timer);

    connect(Command28, &QPushButton::clicked, this, &Form2::Command28_Click);
    connect(Command29, &QPushButton::clicked, this, &Form2::Command29_Click);
    connect(Command30, &QPushButton::clicked, this, &Form2::Command30_Click);
    connect(Command31, &QPushButton::clicked, this, &Form2::Command31_Click);
    connect(Command32, &QPushButton::clicked, this, &Form2::Command32_Click);
    connect(Command33, &QPushButton::clicked, this, &Form2::Command33_Click);
    connect(Command34, &QPushButton::clicked, this, &Form2::Command34_Click);
    connect(Command35, &QPushButton::clicked, this, &Form2::Command35_Click);
    connect(Command36, &QPushButton::clicked, this, &Form2::Command36_Click);
    connect(Command37, &QPushButton::clicked, this, &Form2::Command37_Click);
    connect(Command38, &QPushButton::clicked, this, &Form2::Command38_Click);
    connect(Command39, &QPushButton::clicked, this, &Form2::Command39_Click);
    connect(Command47, &QPushButton::clicked, this, &Form2::Command47_Click);
    Frame7->hide();
    return Frame7;
}

int Form2::ActiveBox() const
{
    return FormatBar->ActiveBox();
}

// ---------------------------------------------------------------------------------------
// Opening and closing the pane

void Form2::Command27_Click()
{
    Frame7->show();
    Timer1->stop();
    for (QPushButton* b : {Command1, Command2, Command3, Command4, Command5, Command8, Command27})
        b->setEnabled(false);
    // The setting panels open behind the pane.
    for (const AttributePanel& p : m_panels)
        p.frame->show();
    Command4->setText(QStringLiteral("关　闭"));
    DataReFresh();
    fillAttributeBoxes();
    ShowQuestion(CurrentQuestion);
    Timer4->start();
    Timer4_Timer();
}

void Form2::fillAttributeBoxes()
{
    fillFromList(Combo2, List3);
    fillFromList(Combo3, List2);
    fillFromList(Combo4, List4);
    Combo5->clear();
    for (int score = 1; score <= 20; ++score)
        Combo5->addItem(QString::number(score));
    Combo5->setCurrentIndex(0);
    fillFromList(Combo7, List5);
}

void Form2::Command28_Click()
{
    closeSettings();
    Frame7->hide();
    Timer4->stop();
    Command1->setEnabled(true);
    Command8->setEnabled(true);
    Timer1->start();
    Timer1_Timer();
}

void Form2::entryBankChanged()
{
    if (Frame7->isHidden())
        return;
    if (bankPath().isEmpty())
        Command28_Click();
    else
        Command27_Click();  // the pane follows the newly chosen bank
}

// ---------------------------------------------------------------------------------------
// Reading, saving and deleting questions

void Form2::showCounter()
{
    QString caption = QStringLiteral("题库录入  共有题目%1道").arg(QuestionCount);
    if (QuestionCount > 0)
        caption += QStringLiteral("　现在显示第%1道").arg(CurrentQuestion + 1);
    Frame7->setTitle(caption);
}

void Form2::ShowQuestion(int n)
{
    const BankFile bank(bankPath());
    QString error;
    auto at = bank.read(n, &error);
    // The bank may have lost questions meanwhile (another computer): show the last one.
    if (!at && n >= 0)
        at = bank.read(-1, &error);
    if (!at) {
        reportError(error);
        return;
    }
    CurrentQuestion = at->position;
    QuestionCount = at->count;
    showCounter();
    RichTextBox1->clear();
    RichTextBox2->clear();
    if (QuestionCount == 0)
        return;
    const Question& q = at->question;
    RichTextBox1->setTextRTF(q.text);
    RichTextBox2->setTextRTF(q.answer);
    setAttributeBox(Combo3, q.type, AttributeList::Types);
    setAttributeBox(Combo2, q.chapter, AttributeList::Chapters);
    setAttributeBox(Combo7, q.unit, AttributeList::Units);
    setAttributeBox(Combo4, q.difficulty, AttributeList::Difficulties);
    setAttributeBox(Combo5, numText(q.score), std::nullopt);
}

void Form2::setAttributeBox(QComboBox* box, const QString& value, std::optional<AttributeList> table)
{
    int i = findExact(box, value);
    if (i < 0) {
        box->addItem(value);
        i = box->count() - 1;
        // A value the list lacks joins the bank's list (a failure is passed over).
        if (!value.isEmpty() && table && BankFile(bankPath()).appendToList(*table, value))
            DataReFresh();
    }
    box->setCurrentIndex(i);
}

bool Form2::SaveQuestion(int n)
{
    BankFile bank(bankPath());
    QString error;
    Question q;
    if (n >= 0) {
        // 备注 and 使用 are shown nowhere: they keep what the question had.
        if (const auto old = bank.read(n, &error)) {
            q.remark = old->question.remark;
            q.use = old->question.use;
        } else {
            reportError(error);
            return false;
        }
    }
    q.text = RichTextBox1->TextRTF();
    q.answer = RichTextBox2->TextRTF();
    q.type = Combo3->currentText();
    q.chapter = Combo2->currentText();
    q.unit = Combo7->currentText();
    q.difficulty = Combo4->currentText();
    q.score = Val(Combo5->currentText());
    if (n < 0) {
        const auto position = bank.add(q, &error);
        if (!position) {
            reportError(error);
            return false;
        }
        CurrentQuestion = *position;
        QuestionCount = *position + 1;
    } else {
        if (!bank.overwrite(n, q, &error)) {
            reportError(error);
            return false;
        }
        CurrentQuestion = n;
    }
    showCounter();
    return true;
}

bool Form2::DelText(const QString& bank, int n)
{
    QString error;
    const auto left = BankFile(bank).remove(n, &error);
    if (!left) {
        reportError(error);
        return false;
    }
    QuestionCount = *left;
    ShowQuestion(QuestionCount < 1 || n >= QuestionCount ? -1 : n);
    return true;
}

// ---------------------------------------------------------------------------------------
// Navigation

void Form2::Command30_Click()
{
    CurrentQuestion = 0;
    ShowQuestion(CurrentQuestion);
}

void Form2::Command31_Click()
{
    if (CurrentQuestion >= 1) {
        --CurrentQuestion;
        ShowQuestion(CurrentQuestion);
    }
}

void Form2::Command32_Click()
{
    if (CurrentQuestion < QuestionCount - 1) {
        ++CurrentQuestion;
        ShowQuestion(CurrentQuestion);
    }
}

void Form2::Command33_Click()
{
    CurrentQuestion = -1;
    ShowQuestion(CurrentQuestion);
}

void Form2::Command29_Click()
{
    const double v = Val(Text12->text());
    if (v > 0 && v <= QuestionCount) {
        CurrentQuestion = int(roundHalfEven(v - 1));
        ShowQuestion(CurrentQuestion);
    }
}

void Form2::Timer4_Timer()
{
    const bool back = CurrentQuestion >= 1;
    const bool forward = CurrentQuestion < QuestionCount - 1;
    Command30->setEnabled(back);
    Command31->setEnabled(back);
    Command32->setEnabled(forward);
    Command33->setEnabled(forward);
}

// ---------------------------------------------------------------------------------------
// Add, delete, change, cancel

void Form2::startEntryStep(QPushButton* pressed)
{
    pressed->setText(kConfirm);
    for (QPushButton* b : {Command28, Command29, Command30, Command31, Command32, Command33, Command34, Command35,
                           Command36, Command47})
        if (b != pressed)
            b->setEnabled(false);
    Command37->setEnabled(true);
    Timer4->stop();
    m_keys->setDefaultButton(pressed);
    m_keys->setCancelButton(Command37);
    // The bank stays chosen while the pane waits: another choice would drop the edits.
    File1->setEnabled(false);
    Combo1->setEnabled(false);
}

bool Form2::entryChecksPass()
{
    for (QComboBox* box : {Combo2, Combo3, Combo4, Combo5}) {
        if (box->currentText().isEmpty()) {
            reportError(QStringLiteral("该项不得为空！"));
            box->setFocus();
            return false;
        }
    }
    if (Combo7->currentText().isEmpty()) {
        reportError(QStringLiteral("单元项不得为空！"));
        Combo7->setFocus();
        return false;
    }
    if (RichTextBox1->Text().isEmpty()) {
        RichTextBox1->setFocus();
        return false;
    }
    return true;
}

void Form2::Command34_Click()
{
    for (QComboBox* box : {Combo2, Combo3, Combo4, Combo5}) {
        if (box->currentText().isEmpty()) {
            reportError(QStringLiteral("章节、题型、难度、分值等项不得为空！请退出录入，进行设置！"));
            return;
        }
    }
    if (Command34->text() != kConfirm) {
        startEntryStep(Command34);
        // The question shown is the starting point of the new one; typing replaces it.
        RichTextBox1->setFocus();
        RichTextBox1->selectAll();
        return;
    }
    if (entryChecksPass() && SaveQuestion(-1))
        Command37_Click();
}

void Form2::Command36_Click()
{
    if (Command36->text() != kConfirm) {
        startEntryStep(Command36);
        RichTextBox1->setFocus();
        return;
    }
    if (entryChecksPass() && SaveQuestion(CurrentQuestion))
        Command37_Click();
}

void Form2::Command35_Click()
{
    if (Command35->text() != kConfirm) {
        startEntryStep(Command35);
        return;
    }
    if (DelText(bankPath(), CurrentQuestion))
        Command37_Click();
}

void Form2::Command37_Click()
{
    // The boxes are not reloaded: unsaved edits stay visible until another question is shown.
    Command34->setText(kAdd);
    Command35->setText(kDelete);
    Command36->setText(kModify);
    for (QPushButton* b : {Command28, Command29, Command30, Command31, Command32, Command33, Command34, Command35,
                           Command36, Command47})
        b->setEnabled(true);
    Command37->setEnabled(false);
    m_keys->setDefaultButton(nullptr);
    m_keys->setCancelButton(nullptr);
    File1->setEnabled(true);
    Combo1->setEnabled(true);
    Timer4->start();
    Timer4_Timer();
}

// ---------------------------------------------------------------------------------------
// The word processor

void Form2::Command38_Click()
{
    EditInWord(m_ws, m_prompt, RichTextBox1, kHandOffFile);
}

void Form2::Command39_Click()
{
    EditInWord(m_ws, m_prompt, RichTextBox2, kHandOffFile);
}

void Form2::Command47_Click()
{
    BrowseCancelled = false;
    RichTextBox1->clear();
    RichTextBox2->clear();
    QTextDocument doc;
    doc.setDefaultFont(RichTextBox1->document()->defaultFont());
    QString error;
    std::optional<int> appended;
    {
        BusyCursor busy;
        const BrowseInputGuard guard(BrowseCancelled);
        QElapsedTimer sinceEvents;
        sinceEvents.start();
        m_browseProgress->setValue(0);
        m_browseProgress->show();
        appended = appendBankToDocument(
            bankPath(), &doc,
            [&](int i, int count) {
                Frame7->setTitle(QStringLiteral("题目显示  共%1题　第%2题").arg(count).arg(i + 1));
                m_browseProgress->setRange(0, count);
                m_browseProgress->setValue(i);
                // Painting and the Esc key now and then; painting for every question would
                // cost more than the questions themselves.
                if (i == 0 || sinceEvents.elapsed() >= 50) {
                    QCoreApplication::processEvents();
                    sinceEvents.restart();
                }
                return !BrowseCancelled;
            },
            &error);
        m_browseProgress->hide();
    }
    if (appended)
        ShowWord(m_ws, m_prompt, doc);
    else
        reportError(error);
    ShowQuestion(CurrentQuestion);
}

}  // namespace qm
