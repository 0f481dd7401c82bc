#include "library/paper_view.h"

#include "bankstore/library_cursor.h"
#include "bankstore/paper_library.h"
#include "core/numbers.h"
#include "core/prompt.h"
#include "core/workspace.h"
#include "library/form7.h"
#include "paper/pdf.h"
#include "widgets/busycursor.h"
#include "widgets/controls.h"
#include "widgets/filelists.h"
#include "widgets/richtextbox.h"
#include "widgets/word_handoff.h"

#include <QDate>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>
#include <algorithm>

namespace qm {

namespace {

QLabel* makeCounter(QWidget* parent, const QString& name)
{
    auto* label = new QLabel(QStringLiteral("0"), parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("0000")));
    label->setStyleSheet(QStringLiteral("color: #1f3f8c; font-weight: bold;"));
    return label;
}

}  // namespace

PaperView::PaperView(Form7& form) : QGroupBox(&form), m_form(form)
{
    setObjectName(QStringLiteral("FramePaper"));
    TabStrip1 = new QTabBar(this);
    TabStrip1->setObjectName(QStringLiteral("TabStrip1"));
    TabStrip1->addTab(QStringLiteral("试卷"));
    TabStrip1->addTab(QStringLiteral("答卷"));
    TabStrip1->setExpanding(false);
    RichTextBox1 = new RichTextBox(this);
    RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    RichTextBox2 = new RichTextBox(this);
    RichTextBox2->setObjectName(QStringLiteral("RichTextBox2"));
    // Papers and answer sheets: their RTF states the page they are printed on.
    for (RichTextBox* box : {RichTextBox1, RichTextBox2})
        box->setPageSetup(paper::paperPage());
    m_boxes = new QStackedWidget(this);
    m_boxes->addWidget(RichTextBox1);
    m_boxes->addWidget(RichTextBox2);
    Text5 = makeLineEdit(this, QStringLiteral("Text5"));
    Text6 = makeLineEdit(this, QStringLiteral("Text6"));
    Text7 = makeLineEdit(this, QStringLiteral("Text7"));
    Text8 = makeLineEdit(this, QStringLiteral("Text8"));
    Text9 = makeLineEdit(this, QStringLiteral("Text9"));
    Label4 = makeCounter(this, QStringLiteral("Label4"));
    Label7 = makeCounter(this, QStringLiteral("Label7"));
    Command1 = makeButton(this, QStringLiteral("Command1"), QStringLiteral("上一份"));
    Command2 = makeButton(this, QStringLiteral("Command2"), QStringLiteral("下一份"));
    Command19 = makeButton(this, QStringLiteral("Command19"), QStringLiteral("跳到"));
    Text4 = makeLineEdit(this, QStringLiteral("Text4"));
    Text4->setMaximumWidth(Text4->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 12);
    selectAllOnFocus(Text4);
    Command3 = makeButton(this, QStringLiteral("Command3"), QStringLiteral("保存试卷"));
    Command4 = makeButton(this, QStringLiteral("Command4"), QStringLiteral("WORD处理"));
    Command18 = makeButton(this, QStringLiteral("Command18"), QStringLiteral("删除试卷"));
    Command5 = makeButton(this, QStringLiteral("Command5"), QStringLiteral("关　闭"));
    LabelCompanion = new QLabel(this);
    LabelCompanion->setObjectName(QStringLiteral("LabelCompanion"));
    LabelCompanion->hide();
    for (QPushButton* b : {Command1, Command2, Command3, Command4, Command18})
        b->setEnabled(false);

    auto* particulars = new QGridLayout;
    const auto label = [this](const char* text) { return new QLabel(QString::fromUtf8(text), this); };
    particulars->addWidget(label("卷名"), 0, 0);
    particulars->addWidget(Text5, 0, 1, 1, 3);
    particulars->addWidget(label("时间"), 0, 4);
    particulars->addWidget(Text9, 0, 5);
    particulars->addWidget(label("出卷人"), 1, 0);
    particulars->addWidget(Text6, 1, 1);
    particulars->addWidget(label("教研组"), 1, 2);
    particulars->addWidget(Text7, 1, 3);
    particulars->addWidget(label("科室"), 1, 4);
    particulars->addWidget(Text8, 1, 5);
    for (int c : {1, 3, 5})
        particulars->setColumnStretch(c, 1);
    auto* actions = new QGridLayout;
    actions->addWidget(Command3, 0, 0);
    actions->addWidget(Command4, 0, 1);
    actions->addWidget(Command18, 1, 0);
    actions->addWidget(Command5, 1, 1);
    auto* lower = new QHBoxLayout;
    lower->addLayout(particulars, 1);
    lower->addSpacing(12);
    lower->addLayout(actions);

    auto* paging = new QHBoxLayout;
    paging->addWidget(label("共"));
    paging->addWidget(Label4);
    paging->addWidget(label("份"));
    paging->addSpacing(8);
    paging->addWidget(label("第"));
    paging->addWidget(Label7);
    paging->addWidget(label("份"));
    paging->addSpacing(16);
    paging->addWidget(Command1);
    paging->addWidget(Command2);
    paging->addSpacing(16);
    paging->addWidget(Command19);
    paging->addWidget(Text4);
    paging->addWidget(label("份"));
    paging->addSpacing(16);
    paging->addWidget(LabelCompanion, 1);
    paging->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TabStrip1);
    layout->addWidget(m_boxes, 1);
    layout->addLayout(lower);
    layout->addLayout(paging);

    connect(TabStrip1, &QTabBar::currentChanged, this, &PaperView::TabStrip1_Click);
    connect(RichTextBox1, &RichTextBox::Change, this, [this] { edited(LibraryCursor::PaperBox); });
    connect(RichTextBox2, &RichTextBox::Change, this, [this] { edited(LibraryCursor::AnswerBox); });
    for (QLineEdit* edit : {Text5, Text6, Text7, Text8, Text9})
        connect(edit, &QLineEdit::textChanged, this, [this] { edited(LibraryCursor::Particulars); });
    connect(Command1, &QPushButton::clicked, this, &PaperView::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &PaperView::Command2_Click);
    connect(Command19, &QPushButton::clicked, this, &PaperView::Command19_Click);
    connect(Text4, &QLineEdit::returnPressed, this, &PaperView::Command19_Click);
    connect(Command3, &QPushButton::clicked, this, &PaperView::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &PaperView::Command4_Click);
    connect(Command18, &QPushButton::clicked, this, &PaperView::Command18_Click);
    connect(Command5, &QPushButton::clicked, this, &PaperView::Command5_Click);
}

RichTextBox* PaperView::shownBox() const
{
    return TabStrip1->currentIndex() == 1 ? RichTextBox2 : RichTextBox1;
}

LibraryCursor& PaperView::cursor() const
{
    return m_form.cursor;
}

void PaperView::edited(LibraryCursor::Box box)
{
    if (m_showing)
        return;
    cursor().edited(box);
    showSaveState();
}

void PaperView::showRtf(RichTextBox* box, const QByteArray& rtf)
{
    box->setTextRTF(rtf);
    box->setPageSetup(paper::SheetGeometry(paper::layoutOfRtf(rtf), box == RichTextBox1).pageSetup());
}

void PaperView::showSaveState()
{
    // "保存试卷" stands for unsaved changes: a waiting paper, or edits of an open library's.
    Command3->setEnabled(cursor().waiting() || (cursor().isOpen() && cursor().changed()));
}

PaperParticulars PaperView::particulars() const
{
    return {Text5->text(), Text6->text(), Text7->text(), Text8->text(), Text9->text()};
}

void PaperView::setParticulars(const PaperParticulars& p)
{
    m_showing = true;
    Text5->setText(p.name);
    Text6->setText(p.setter);
    Text7->setText(p.group);
    Text8->setText(p.department);
    Text9->setText(p.date);
    m_showing = false;
}

int PaperView::paperCount()
{
    if (!cursor().isOpen())
        return 0;
    QString error;
    const std::optional<int> n = PaperLibrary(cursor().library()).count(&error);
    if (!n) {
        m_form.reportError(error);
        return 0;
    }
    return *n;
}

void PaperView::emptyBoxes()
{
    m_showing = true;
    RichTextBox1->clear();
    RichTextBox2->clear();
    for (RichTextBox* box : {RichTextBox1, RichTextBox2})
        box->setPageSetup(paper::paperPage());
    m_showing = false;
}

void PaperView::showPosition(int count)
{
    Label4->setText(QString::number(count));
    Label7->setText(QString::number(cursor().position()));
}

// ---------------------------------------------------------------------------------------
// Opening and showing

void PaperView::openLibrary()
{
    if (m_form.libraryDir().isEmpty())
        return;
    const bool waiting = cursor().waiting();
    if (!waiting) {
        offerToSave();
        Command4->setEnabled(false);
        Command18->setEnabled(false);
    }
    const QString path = m_form.selectedLibrary();
    if (path.isEmpty())
        return;
    QString error;
    const std::optional<int> n = PaperLibrary(path).count(&error);
    if (!n) {
        // Not a library of ours, or unreadable: it is not opened, and nothing is written.
        m_form.reportError(error);
        m_form.File1->setListIndex(-1);
        clearLibrary();
        return;
    }
    cursor().open(path, *n);
    showPosition(*n);
    if (*n == 0) {
        Command1->setEnabled(false);
        Command2->setEnabled(false);
        if (!waiting)
            emptyBoxes();
    } else if (!waiting) {
        ShowJk();
        setNavigation(*n);
    } else {
        Command1->setEnabled(false);
        Command2->setEnabled(false);
    }
    showSaveState();
}

void PaperView::refresh()
{
    if (!cursor().isOpen() || cursor().waiting() || cursor().changed())
        return;
    const int n = paperCount();
    cursor().moveTo(cursor().position(), n);
    if (n == 0) {
        showPosition(0);
        emptyBoxes();
        return;
    }
    ShowJk();
    setNavigation(n);
}

void PaperView::ShowJk()
{
    QString error;
    std::optional<Paper> paper;
    int count = 0;
    {
        const PaperLibrary library(cursor().library());
        paper = library.read(cursor().position() - 1, &error);
        if (paper)
            count = library.count(&error).value_or(0);
    }
    if (!paper) {
        m_form.reportError(error);
        return;
    }
    m_showing = true;
    for (auto [box, rtf] : {std::pair{RichTextBox1, &paper->paper}, std::pair{RichTextBox2, &paper->answers}}) {
        if (rtf->isEmpty())
            box->clear();
        else
            showRtf(box, *rtf);
    }
    m_showing = false;
    setParticulars(paper->particulars);
    cursor().shown();
    showPosition(count);
    showSaveState();
    Command4->setEnabled(true);
    Command18->setEnabled(true);
}

void PaperView::clearLibrary()
{
    cursor().close();
    Command1->setEnabled(false);
    Command2->setEnabled(false);
    if (!cursor().waiting())
        emptyBoxes();
    showSaveState();
    Command4->setEnabled(false);
    Command18->setEnabled(false);
}

bool PaperView::offerToSave()
{
    // Edits of a shown paper, or what was typed into an empty library.
    if (cursor().waiting() || !cursor().isOpen() || !cursor().changed())
        return true;
    const Answer answer = m_form.prompt().message(QStringLiteral("打开的题库可能被修改，是否先保存？"),
                                                  QStringLiteral("警告"), Icon::Question, Buttons::YesNo, Answer::Yes);
    bool saved = true;
    if (answer == Answer::Yes)
        saved = cursor().position() == 0 ? fileAsNewPaper(cursor().library()) : SaveJk();
    cursor().shown();
    showSaveState();
    return saved;
}

void PaperView::TabStrip1_Click()
{
    m_boxes->setCurrentWidget(shownBox());
}

// ---------------------------------------------------------------------------------------
// Paging

void PaperView::setNavigation(int count)
{
    Command1->setEnabled(cursor().position() > 1);
    Command2->setEnabled(cursor().position() < count);
}

void PaperView::Command1_Click()
{
    step(-1);
}

void PaperView::Command2_Click()
{
    step(1);
}

void PaperView::step(int delta)
{
    offerToSave();
    const int n = paperCount();
    if (n < 1) {
        Command1->setEnabled(false);
        Command2->setEnabled(false);
        return;
    }
    // A paper deleted meanwhile elsewhere: the position stays within the library.
    cursor().step(delta, n);
    if (!cursor().waiting())
        ShowJk();
    setNavigation(n);
}

void PaperView::Command19_Click()
{
    if (Text4->text().isEmpty())
        return;
    if (Val(Text4->text()) < 1) {
        Text4->setFocus();
        return;
    }
    // The jump replaces the shown paper too: its changes are offered for saving first.
    offerToSave();
    const int n = paperCount();
    if (n < 1) {
        Command1->setEnabled(false);
        Command2->setEnabled(false);
        return;
    }
    if (Val(Text4->text()) > n)
        Text4->setText(QString::number(n));
    cursor().moveTo(int(roundHalfEven(Val(Text4->text()))), n);
    if (!cursor().waiting())
        ShowJk();
    setNavigation(n);
}

// ---------------------------------------------------------------------------------------
// Saving and filing

bool PaperView::fileAsNewPaper(const QString& library)
{
    QList<PaperToFile> papers{
        {{RichTextBox1->TextRTF(), RichTextBox2->TextRTF(), particulars(), {}}, cursor().waitingQuestions()}};
    // A paper filed with it takes its own name and the rest of the particulars typed here.
    for (const ComposedPaper& companion : cursor().companions()) {
        PaperParticulars p = particulars();
        p.name = companion.name;
        papers.append({{companion.paper, companion.answers, p, {}}, companion.questions});
    }
    QString error;
    std::optional<FilingResult> filed;
    {
        const BusyCursor busy;
        filed = fileInLibrary(library, papers, QDate::currentDate(), &error);
    }
    if (!filed) {
        m_form.reportError(error);
        return false;
    }
    cursor().filed();
    showSaveState();
    showCompanions();
    if (const QString problems = usageProblemsMessage(*filed); !problems.isEmpty())
        m_form.reportError(problems);
    return true;
}

void PaperView::showCompanions()
{
    QStringList names;
    for (const ComposedPaper& companion : cursor().companions())
        names << QStringLiteral("“%1”").arg(companion.name);
    LabelCompanion->setText(names.isEmpty()
                                ? QString()
                                : QStringLiteral("另有%1将与本卷一同存入试卷库").arg(names.join(QStringLiteral("、"))));
    LabelCompanion->setVisible(!names.isEmpty());
}

bool PaperView::SaveJk()
{
    // Every box the teacher changed is saved, whichever tab is shown.
    PaperEdit edit;
    edit.particulars = particulars();
    if (cursor().changed(LibraryCursor::PaperBox))
        edit.paper = RichTextBox1->TextRTF();
    if (cursor().changed(LibraryCursor::AnswerBox))
        edit.answers = RichTextBox2->TextRTF();
    QString error;
    bool saved = false;
    {
        const BusyCursor busy;
        saved = PaperLibrary(cursor().library()).update(cursor().position() - 1, edit, &error);
    }
    if (!saved)
        m_form.reportError(error);
    return saved;
}

void PaperView::Command3_Click()
{
    const QString selected = m_form.selectedLibrary();
    if (selected.isEmpty()) {
        m_form.reportError(QStringLiteral("请选择试卷库名！"));
        return;
    }
    if (cursor().waiting() || !cursor().isOpen() || cursor().position() == 0) {
        // AddJk: the waiting paper, or what was typed into an empty library, becomes the
        // last paper of the chosen library and is shown from there.
        if (fileAsNewPaper(selected))
            openLibrary();
        return;
    }
    if (SaveJk())
        ShowJk();
}

void PaperView::Command18_Click()
{
    if (cursor().waiting() || cursor().position() < 1)
        return;
    if (m_form.prompt().message(QStringLiteral("您真的要删除当前打开的试卷及答卷吗？"), QStringLiteral("警告"),
                                Icon::Question, Buttons::YesNo, Answer::No)
        != Answer::Yes)
        return;
    QString error;
    std::optional<int> left;
    {
        const BusyCursor busy;
        left = PaperLibrary(cursor().library()).remove(cursor().position() - 1, &error);
    }
    if (!left) {
        m_form.reportError(error);
        return;
    }
    const int n = *left;
    // The paper that followed the deleted one takes its place; after the last, the new last.
    cursor().moveTo(cursor().position(), n);
    if (n == 0) {
        emptyBoxes();
        cursor().shown();
        showPosition(0);
        for (QPushButton* b : {Command1, Command2, Command3, Command4, Command18})
            b->setEnabled(false);
        return;
    }
    ShowJk();
    setNavigation(n);
}

// ---------------------------------------------------------------------------------------
// Arrivals, import, word processor, closing

bool PaperView::receivePaper(const QByteArray& paperRtf, const QByteArray& answersRtf, PaperOrigin origin,
                             const QString& name)
{
    return receivePapers({{paperRtf, answersRtf, name, {}}}, origin);
}

bool PaperView::receivePapers(const QList<ComposedPaper>& papers, PaperOrigin origin)
{
    if (papers.isEmpty())
        return false;
    // The shown paper is replaced by the arriving one: its changes are offered for saving.
    if (!offerToSave())
        return false;
    // So is a paper still waiting to be filed.
    if (cursor().waiting()) {
        const Answer answer =
            m_form.prompt().message(QStringLiteral("还有一份试卷没有存入试卷库，是否先存入？"), QStringLiteral("警告"),
                                    Icon::Question, Buttons::YesNo, Answer::Yes);
        if (answer == Answer::Yes) {
            const QString selected = m_form.selectedLibrary();
            if (selected.isEmpty()) {
                m_form.reportError(QStringLiteral("请选择试卷库名！"));
                return false;
            }
            if (!fileAsNewPaper(selected))
                return false;
            openLibrary();
        }
    }
    const ComposedPaper& first = papers.first();
    m_showing = true;
    showRtf(RichTextBox1, first.paper);
    showRtf(RichTextBox2, first.answers);
    m_showing = false;
    // A new paper's particulars start from its header, not from the paper shown before.
    setParticulars({first.name, QString(), QString(), QString(), QDate::currentDate().toString(Qt::ISODate)});
    cursor().receive(origin, first.questions, papers.mid(1));
    showSaveState();
    showCompanions();
    // The boxes hold the waiting paper, not the library's: nothing there to page or delete.
    for (QPushButton* b : {Command1, Command2, Command18})
        b->setEnabled(false);
    return true;
}

void PaperView::importPaper()
{
    Prompt& prompt = m_form.prompt();
    if (prompt.message(QStringLiteral("　　只能导入RTF格式文件，可以由WORD将DOC文件转存为RTF格式文件！继续导入文件？"),
                       QStringLiteral("提示"), Icon::Question, Buttons::YesNo, Answer::Yes)
        != Answer::Yes)
        return;
    offerToSave();
    // Both files are read before either box changes: a file that cannot be filed leaves
    // the window as it was.
    std::optional<QByteArray> documents[2];
    const QString asks[2] = {QStringLiteral("请先指定将导入的“试卷”文件！"),
                             QStringLiteral("请再指定将导入的“答卷”文件！")};
    const QString titles[2] = {QStringLiteral("导入试卷"), QStringLiteral("导入答卷")};
    for (int i = 0; i < 2; ++i) {
        prompt.message(asks[i], QStringLiteral("提示"), Icon::Warning);
        const QString path = prompt.openFile(titles[i], QStringLiteral("RTF格式文件|*.rtf"));
        if (path.isEmpty())
            continue;
        QString error;
        documents[i] = readPaperDocument(path, &error);
        if (!documents[i]) {
            m_form.reportError(error);
            return;
        }
    }
    // A dialog that was cancelled leaves its box as it was, and that is filed.
    m_showing = true;
    if (documents[0])
        showRtf(RichTextBox1, *documents[0]);
    if (documents[1])
        showRtf(RichTextBox2, *documents[1]);
    m_showing = false;
    cursor().receive(PaperOrigin::Imported);
    showCompanions();
    Command3_Click();
}

void PaperView::Command4_Click()
{
    EditInWord(m_form.workspace(), m_form.prompt(), shownBox(), QStringLiteral("~SjA.rtf"));
}

void PaperView::Command5_Click()
{
    offerToSave();
    Command1->setEnabled(false);
    Command2->setEnabled(false);
    // The library is not held open between operations: there is nothing to close.
    m_form.hide();
    Command4->setEnabled(false);
    Command18->setEnabled(false);
}

}  // namespace qm
