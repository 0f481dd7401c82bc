#include "editor/entry_pane.h"

#include "bankstore/bank_file.h"
#include "core/numbers.h"
#include "core/paths.h"
#include "editor/bank_document.h"
#include "editor/bank_panel.h"
#include "editor/form2.h"
#include "editor/settings_panel.h"
#include "widgets/busycursor.h"
#include "widgets/controls.h"
#include "widgets/dialogkeys.h"
#include "widgets/editstep.h"
#include "widgets/filelists.h"
#include "widgets/formattingbar.h"
#include "widgets/report_error.h"
#include "widgets/richtextbox.h"
#include "widgets/search_panel.h"
#include "widgets/word_handoff.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGridLayout>
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
        case QEvent::ContextMenu: return true;
        default: return false;
        }
    }

private:
    bool& m_cancelled;
};

}  // namespace

EntryPane::EntryPane(Form2& form) : QGroupBox(QStringLiteral("题库录入"), &form), m_form(form)
{
    setObjectName(QStringLiteral("Frame7"));

    RichTextBox1 = new RichTextBox(this);
    RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    RichTextBox2 = new RichTextBox(this);
    RichTextBox2->setObjectName(QStringLiteral("RichTextBox2"));
    FormatBar = new FormattingBar(RichTextBox1, RichTextBox2, FormattingBarOptions::bankWindow(), this);
    Command38 = makeButton(this, QStringLiteral("Command38"), QStringLiteral("WORD编辑"));
    Command39 = makeButton(this, QStringLiteral("Command39"), QStringLiteral("WORD编辑"));

    Combo2 = makeCombo(this, QStringLiteral("Combo2"), false);
    Combo3 = makeCombo(this, QStringLiteral("Combo3"), false);
    Combo4 = makeCombo(this, QStringLiteral("Combo4"), true);
    Combo5 = makeCombo(this, QStringLiteral("Combo5"), true);
    Combo5->setMinimumContentsLength(3);
    Combo7 = makeCombo(this, QStringLiteral("Combo7"), false);
    LabelUsage = new QLabel(this);
    LabelUsage->setObjectName(QStringLiteral("LabelUsage"));
    LabelUsage->setTextInteractionFlags(Qt::TextSelectableByMouse);

    Command30 = makeButton(this, QStringLiteral("Command30"), QStringLiteral("第一题"));
    Command31 = makeButton(this, QStringLiteral("Command31"), QStringLiteral("上一题"));
    Command32 = makeButton(this, QStringLiteral("Command32"), QStringLiteral("下一题"));
    Command33 = makeButton(this, QStringLiteral("Command33"), QStringLiteral("最末题"));
    Command29 = makeButton(this, QStringLiteral("Command29"), QStringLiteral("跳至第"));
    Text12 = makeLineEdit(this, QStringLiteral("Text12"));
    Text12->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 12);
    selectAllOnFocus(Text12);
    Text12->installEventFilter(this);
    Command34 = makeButton(this, QStringLiteral("Command34"), QStringLiteral("添　加"));
    Command35 = makeButton(this, QStringLiteral("Command35"), QStringLiteral("删　除"));
    Command36 = makeButton(this, QStringLiteral("Command36"), QStringLiteral("修　改"));
    Command37 = makeButton(this, QStringLiteral("Command37"), QStringLiteral("取　消"));
    Command37->setEnabled(false);
    Command28 = makeButton(this, QStringLiteral("Command28"), QStringLiteral("关　闭"));
    Command47 = makeButton(this, QStringLiteral("Command47"), QStringLiteral("WORD浏览所有题目"));
    Command65 = makeButton(this, QStringLiteral("Command65"), QStringLiteral("查找重复题"));
    Search = new SearchPanel(this);
    m_browseProgress = new QProgressBar(this);
    m_browseProgress->setObjectName(QStringLiteral("BrowseProgress"));
    m_browseProgress->setMaximumWidth(200);
    m_browseProgress->hide();

    auto labelled = [this](const QString& label, QWidget* w) {
        auto* row = new QHBoxLayout;
        row->setSpacing(4);
        row->addWidget(new QLabel(label, this));
        row->addWidget(w, 1);
        return row;
    };
    auto* questionHead = new QHBoxLayout;
    questionHead->addWidget(new QLabel(QStringLiteral("题目"), this));
    questionHead->addStretch();
    questionHead->addWidget(Command38);
    auto* answerHead = new QHBoxLayout;
    answerHead->addWidget(new QLabel(QStringLiteral("参考答案"), this));
    answerHead->addStretch();
    answerHead->addWidget(Command39);

    auto* attributes = new QGridLayout;
    attributes->addLayout(labelled(QStringLiteral("章节"), Combo2), 0, 0, 1, 3);
    attributes->addLayout(labelled(QStringLiteral("单元"), Combo7), 0, 3, 1, 3);
    attributes->addLayout(labelled(QStringLiteral("题型"), Combo3), 1, 0, 1, 2);
    attributes->addLayout(labelled(QStringLiteral("难度"), Combo4), 1, 2, 1, 2);
    attributes->addLayout(labelled(QStringLiteral("分值"), Combo5), 1, 4, 1, 2);
    attributes->addLayout(labelled(QStringLiteral("使用"), LabelUsage), 2, 0, 1, 6);

    auto* navigation = new QHBoxLayout;
    for (QPushButton* b : {Command30, Command31, Command32, Command33})
        navigation->addWidget(b);
    navigation->addSpacing(16);
    navigation->addWidget(Command29);
    navigation->addWidget(Text12);
    navigation->addWidget(new QLabel(QStringLiteral("题"), this));
    navigation->addStretch();
    navigation->addWidget(m_browseProgress, 1);

    auto* actions = new QHBoxLayout;
    for (QPushButton* b : {Command34, Command35, Command36, Command37})
        actions->addWidget(b);
    actions->addStretch();
    actions->addWidget(Command65);
    actions->addWidget(Command47);
    actions->addWidget(Command28);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FormatBar);
    layout->addLayout(questionHead);
    layout->addWidget(RichTextBox1, 3);
    layout->addLayout(answerHead);
    layout->addWidget(RichTextBox2, 2);
    layout->addLayout(attributes);
    layout->addLayout(navigation);
    layout->addLayout(actions);
    layout->addWidget(Search);

    Timer4 = new QTimer(this);
    Timer4->setObjectName(QStringLiteral("Timer4"));
    Timer4->setInterval(300);
    connect(Timer4, &QTimer::timeout, this, &EntryPane::Timer4_Timer);
    m_step = new EditStep(form.keys(), Command37, this);
    m_step->setTimers({Timer4}, [this] { Timer4_Timer(); });

    connect(Command28, &QPushButton::clicked, this, &EntryPane::Command28_Click);
    connect(Command29, &QPushButton::clicked, this, &EntryPane::Command29_Click);
    connect(Command30, &QPushButton::clicked, this, &EntryPane::Command30_Click);
    connect(Command31, &QPushButton::clicked, this, &EntryPane::Command31_Click);
    connect(Command32, &QPushButton::clicked, this, &EntryPane::Command32_Click);
    connect(Command33, &QPushButton::clicked, this, &EntryPane::Command33_Click);
    connect(Command34, &QPushButton::clicked, this, &EntryPane::Command34_Click);
    connect(Command35, &QPushButton::clicked, this, &EntryPane::Command35_Click);
    connect(Command36, &QPushButton::clicked, this, &EntryPane::Command36_Click);
    connect(Command37, &QPushButton::clicked, this, &EntryPane::Command37_Click);
    connect(Command38, &QPushButton::clicked, this, &EntryPane::Command38_Click);
    connect(Command39, &QPushButton::clicked, this, &EntryPane::Command39_Click);
    connect(Command47, &QPushButton::clicked, this, &EntryPane::Command47_Click);
    connect(Command65, &QPushButton::clicked, this, &EntryPane::Command65_Click);
    connect(Search, &SearchPanel::searchRequested, this, &EntryPane::findQuestions);
    connect(Search, &SearchPanel::questionChosen, this, &EntryPane::showQuestionById);
    hide();
}

bool EntryPane::eventFilter(QObject* watched, QEvent* event)
{
    // A number typed into the jump box and Enter jump, unless an add, change or delete waits.
    if (watched == Text12 && event->type() == QEvent::FocusIn && !m_step->pending())
        m_form.keys()->setDefaultButton(Command29);
    return QGroupBox::eventFilter(watched, event);
}

int EntryPane::ActiveBox() const
{
    return FormatBar->ActiveBox();
}

// ---------------------------------------------------------------------------------------
// Opening and closing the pane

void EntryPane::open()
{
    BankPanel* bank = m_form.Frame1;
    show();
    bank->Timer1->stop();
    for (QPushButton* b : {bank->Command1, bank->Command2, bank->Command3, bank->Command4, bank->Command5,
                           bank->Command8, bank->Command27})
        b->setEnabled(false);
    // The setting panels open behind the pane.
    m_form.Settings->showPanels();
    fillAttributeBoxes();
    ShowQuestion(CurrentQuestion);
    Timer4->start();
    Timer4_Timer();
}

void EntryPane::fillAttributeBoxes()
{
    const SettingsPanel* lists = m_form.Settings;
    fillFromList(Combo2, lists->List3);
    fillFromList(Combo3, lists->List2);
    fillFromList(Combo4, lists->List4);
    Combo5->clear();
    for (int score = 1; score <= 20; ++score)
        Combo5->addItem(QString::number(score));
    Combo5->setCurrentIndex(0);
    fillFromList(Combo7, lists->List5);
}

void EntryPane::Command28_Click()
{
    m_step->end();
    BankPanel* bank = m_form.Frame1;
    m_form.Settings->closeSettings();
    hide();
    Timer4->stop();
    bank->Command1->setEnabled(true);
    bank->Command8->setEnabled(true);
    bank->Timer1->start();
    bank->Timer1_Timer();
}

void EntryPane::bankChanged()
{
    Search->clearResults();
    if (isHidden())
        return;
    m_step->end();
    if (m_form.bankPath().isEmpty())
        Command28_Click();
    else
        open();  // the pane follows the newly chosen bank
}

// ---------------------------------------------------------------------------------------
// Reading, saving and deleting questions

void EntryPane::showCounter()
{
    QString caption = QStringLiteral("题库录入  共有题目%1道").arg(QuestionCount);
    if (QuestionCount > 0)
        caption += QStringLiteral("　现在显示第%1道").arg(CurrentQuestion + 1);
    setTitle(caption);
}

void EntryPane::ShowQuestion(int n)
{
    const BankFile bank(m_form.bankPath());
    QString error;
    auto at = bank.read(n, &error);
    // The bank may have lost questions meanwhile (another computer): show the last one.
    if (!at && n >= 0)
        at = bank.read(-1, &error);
    if (!at) {
        reportError(m_form.prompt(), error);
        return;
    }
    CurrentQuestion = at->position;
    QuestionCount = at->count;
    const Question& q = at->question;
    m_shownId = q.id;
    m_shownRemark = q.remark;
    showCounter();
    RichTextBox1->clear();
    RichTextBox2->clear();
    LabelUsage->clear();
    if (QuestionCount == 0)
        return;
    showUsage();
    RichTextBox1->setTextRTF(q.text);
    RichTextBox2->setTextRTF(q.answer);
    setAttributeBox(Combo3, q.type, AttributeList::Types);
    setAttributeBox(Combo2, q.chapter, AttributeList::Chapters);
    setAttributeBox(Combo7, q.unit, AttributeList::Units);
    setAttributeBox(Combo4, q.difficulty, AttributeList::Difficulties);
    setAttributeBox(Combo5, numText(q.score), std::nullopt);
}

void EntryPane::setAttributeBox(QComboBox* box, const QString& value, std::optional<AttributeList> table)
{
    int i = findExact(box, value);
    if (i < 0) {
        box->addItem(value);
        i = box->count() - 1;
        // A value the list lacks joins the bank's list (a failure is passed over).
        if (!value.isEmpty() && table && BankFile(m_form.bankPath()).appendToList(*table, value))
            m_form.Settings->DataReFresh();
    }
    box->setCurrentIndex(i);
}

void EntryPane::showUsage()
{
    // The uses are read with the question; a failure here, right after the question was
    // read, shows nothing rather than a second message.
    const std::optional<UsageSummary> usage = BankFile(m_form.bankPath()).usageOf(m_shownId);
    LabelUsage->setText(usage ? usageText(*usage) : QString());
}

bool EntryPane::SaveQuestion(int n)
{
    BankFile bank(m_form.bankPath());
    QString error;
    Question q;
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
            reportError(m_form.prompt(), error);
            return false;
        }
        CurrentQuestion = *position;
        QuestionCount = *position + 1;
        showCounter();
        // The new question is the one shown from now on.
        if (const auto added = bank.read(*position))
            m_shownId = added->question.id;
        m_shownRemark.clear();
        showUsage();
        return true;
    }
    // 备注 is shown nowhere: it keeps what the question had.
    q.remark = m_shownRemark;
    bool found = false;
    if (!bank.overwriteById(m_shownId, q, &found, &error)) {
        reportError(m_form.prompt(), error);
        return false;
    }
    if (!found) {
        questionVanished();
        return true;
    }
    showCounter();
    return true;
}

bool EntryPane::DelText(const QString& bank, int n)
{
    QString error;
    bool found = false;
    const auto left = BankFile(bank).removeById(m_shownId, &found, &error);
    if (!left) {
        reportError(m_form.prompt(), error);
        return false;
    }
    if (!found) {
        questionVanished();
        return true;
    }
    QuestionCount = *left;
    ShowQuestion(QuestionCount < 1 || n >= QuestionCount ? -1 : n);
    return true;
}

void EntryPane::questionVanished()
{
    reportError(m_form.prompt(), QStringLiteral("该题已被删除！"));
    ShowQuestion(CurrentQuestion);
}

// ---------------------------------------------------------------------------------------
// Navigation

void EntryPane::Command30_Click()
{
    CurrentQuestion = 0;
    ShowQuestion(CurrentQuestion);
}

void EntryPane::Command31_Click()
{
    if (CurrentQuestion >= 1) {
        --CurrentQuestion;
        ShowQuestion(CurrentQuestion);
    }
}

void EntryPane::Command32_Click()
{
    if (CurrentQuestion < QuestionCount - 1) {
        ++CurrentQuestion;
        ShowQuestion(CurrentQuestion);
    }
}

void EntryPane::Command33_Click()
{
    CurrentQuestion = -1;
    ShowQuestion(CurrentQuestion);
}

void EntryPane::Command29_Click()
{
    const double v = Val(Text12->text());
    if (v > 0 && v <= QuestionCount) {
        CurrentQuestion = int(roundHalfEven(v - 1));
        ShowQuestion(CurrentQuestion);
    }
}

void EntryPane::Timer4_Timer()
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

void EntryPane::startEntryStep(QPushButton* pressed)
{
    // The bank stays chosen and unchanged while the pane waits: another choice, an import,
    // a merge, a sort or a copy would drop the edits or change the question under them.
    QList<QWidget*> lock{Command28, Command29, Command30, Command31, Command32,
                         Command33, Command34, Command35, Command36, Command47};
    lock += m_form.Frame1->choiceControls();
    lock << Search << Command65;
    m_step->begin(pressed, lock);
}

bool EntryPane::entryChecksPass()
{
    for (QComboBox* box : {Combo2, Combo3, Combo4, Combo5}) {
        if (box->currentText().isEmpty()) {
            reportError(m_form.prompt(), QStringLiteral("该项不得为空！"));
            box->setFocus();
            return false;
        }
    }
    if (Combo7->currentText().isEmpty()) {
        reportError(m_form.prompt(), QStringLiteral("单元项不得为空！"));
        Combo7->setFocus();
        return false;
    }
    if (RichTextBox1->Text().isEmpty()) {
        RichTextBox1->setFocus();
        return false;
    }
    return true;
}

void EntryPane::Command34_Click()
{
    for (QComboBox* box : {Combo2, Combo3, Combo4, Combo5}) {
        if (box->currentText().isEmpty()) {
            reportError(m_form.prompt(), QStringLiteral("章节、题型、难度、分值等项不得为空！请退出录入，进行设置！"));
            return;
        }
    }
    if (!m_step->confirming(Command34)) {
        startEntryStep(Command34);
        // The question shown is the starting point of the new one; typing replaces it.
        RichTextBox1->setFocus();
        RichTextBox1->selectAll();
        return;
    }
    if (entryChecksPass() && SaveQuestion(-1))
        Command37_Click();
}

void EntryPane::Command36_Click()
{
    if (!m_step->confirming(Command36)) {
        startEntryStep(Command36);
        RichTextBox1->setFocus();
        return;
    }
    if (entryChecksPass() && SaveQuestion(CurrentQuestion))
        Command37_Click();
}

void EntryPane::Command35_Click()
{
    if (!m_step->confirming(Command35)) {
        startEntryStep(Command35);
        return;
    }
    if (DelText(m_form.bankPath(), CurrentQuestion))
        Command37_Click();
}

void EntryPane::Command37_Click()
{
    // The boxes are not reloaded: unsaved edits stay visible until another question is shown.
    m_step->end();
    Command37->setEnabled(false);
}

// ---------------------------------------------------------------------------------------
// The word processor

void EntryPane::Command38_Click()
{
    EditInWord(m_form.workspace(), m_form.prompt(), RichTextBox1, kHandOffFile);
}

void EntryPane::Command39_Click()
{
    EditInWord(m_form.workspace(), m_form.prompt(), RichTextBox2, kHandOffFile);
}

void EntryPane::Command47_Click()
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
            m_form.bankPath(), &doc,
            [&](int i, int count) {
                setTitle(QStringLiteral("题目显示  共%1题　第%2题").arg(count).arg(i + 1));
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
        ShowWord(m_form.workspace(), m_form.prompt(), doc);
    else
        reportError(m_form.prompt(), error);
    ShowQuestion(CurrentQuestion);
}

// ---------------------------------------------------------------------------------------
// Search and duplicates

void EntryPane::findQuestions(const QString& query)
{
    // The list shows this many; the count says how many there are in all.
    constexpr int kListed = 500;
    QString error;
    std::optional<SearchResult> found;
    {
        BusyCursor busy;
        found = searchBank(m_form.bankPath(), query, kListed, &error);
    }
    if (!found) {
        reportError(m_form.prompt(), error);
        return;
    }
    Search->showResults(found->rows, int(found->ids.size()));
}

void EntryPane::showQuestionById(qint64 id)
{
    if (m_step->pending())
        return;
    QString error;
    const std::optional<int> position = BankFile(m_form.bankPath()).positionOf(id, &error);
    if (!error.isEmpty()) {
        reportError(m_form.prompt(), error);
        return;
    }
    if (!position) {
        reportError(m_form.prompt(), QStringLiteral("该题已被删除！"));
        return;
    }
    ShowQuestion(*position);
}

void EntryPane::Command65_Click()
{
    m_form.openDuplicates();
}

}  // namespace qm
