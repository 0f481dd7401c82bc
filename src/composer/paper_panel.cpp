#include "composer/paper_panel.h"

#include "core/output_file.h"
#include "core/prompt.h"
#include "core/workspace.h"
#include "paper/pdf.h"
#include "rtf/rich_text.h"
#include "widgets/busycursor.h"
#include "widgets/controls.h"
#include "widgets/formattingbar.h"
#include "widgets/report_error.h"
#include "widgets/richtextbox.h"
#include "widgets/word_handoff.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

namespace qm {

PaperPanel::PaperPanel(Workspace& workspace, Prompt& prompt, QWidget* parent, const FormattingBarOptions& barOptions)
    : QGroupBox(QStringLiteral("样卷显示"), parent), m_ws(workspace), m_prompt(prompt)
{
    setObjectName(QStringLiteral("FramePaper"));
    RichTextBox3 = new RichTextBox(this);
    RichTextBox3->setObjectName(QStringLiteral("RichTextBox3"));
    RichTextBox4 = new RichTextBox(this);
    RichTextBox4->setObjectName(QStringLiteral("RichTextBox4"));
    // Both are papers: their RTF (the word processor's, the library's) states the sheets.
    setSheets(paper::PaperLayout::A4);
    FormatBar = new FormattingBar(RichTextBox3, RichTextBox4, barOptions, this);
    Command11 = makeButton(this, QStringLiteral("Command11"), QStringLiteral("关　闭"));
    Command12 = makeButton(this, QStringLiteral("Command12"), QStringLiteral("WORD编辑样卷"));
    Command13 = makeButton(this, QStringLiteral("Command13"), QStringLiteral("WORD编辑答卷"));
    Command14 = makeButton(this, QStringLiteral("Command14"), QStringLiteral("试卷存储管理"));
    CommandPdf = makeButton(this, QStringLiteral("CommandPdf"), QStringLiteral("导出PDF"));
    OptionA = new QRadioButton(QStringLiteral("A卷"), this);
    OptionA->setObjectName(QStringLiteral("OptionA"));
    OptionB = new QRadioButton(QStringLiteral("B卷"), this);
    OptionB->setObjectName(QStringLiteral("OptionB"));
    OptionA->setChecked(true);
    for (QRadioButton* o : {OptionA, OptionB})
        o->hide();

    auto* docs = new QGridLayout;
    docs->addWidget(new QLabel(QStringLiteral("样卷："), this), 0, 0);
    docs->addWidget(new QLabel(QStringLiteral("答卷："), this), 0, 1);
    docs->addWidget(RichTextBox3, 1, 0);
    docs->addWidget(RichTextBox4, 1, 1);
    docs->setRowStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(OptionA);
    buttons->addWidget(OptionB);
    for (QPushButton* b : {Command12, Command13, CommandPdf, Command14})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(Command11);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FormatBar);
    layout->addLayout(docs, 1);
    layout->addLayout(buttons);

    connect(Command11, &QPushButton::clicked, this, &PaperPanel::Command11_Click);
    connect(Command12, &QPushButton::clicked, this, &PaperPanel::Command12_Click);
    connect(Command13, &QPushButton::clicked, this, &PaperPanel::Command13_Click);
    connect(Command14, &QPushButton::clicked, this, &PaperPanel::Command14_Click);
    connect(CommandPdf, &QPushButton::clicked, this, &PaperPanel::CommandPdf_Click);
    connect(OptionA, &QRadioButton::clicked, this, &PaperPanel::OptionA_Click);
    connect(OptionB, &QRadioButton::clicked, this, &PaperPanel::OptionB_Click);
}

PaperPanel::~PaperPanel() = default;

namespace {

// Puts the whole of `doc` into `box` in place of what it holds.
void fill(RichTextBox* box, const QTextDocument& doc)
{
    box->clear();
    box->insertDocument(doc);
    box->moveCursor(QTextCursor::Start);
}

// A copy of the whole of `doc`, pictures included.
std::unique_ptr<QTextDocument> copyOf(const QTextDocument& doc)
{
    auto copy = std::make_unique<QTextDocument>();
    QTextCursor cursor(copy.get());
    insertDocument(cursor, doc);
    return copy;
}

}  // namespace

void PaperPanel::setDocuments(const QTextDocument& paper, const QTextDocument& answers, paper::PaperLayout layout)
{
    setSheets(layout);
    m_otherPaper.reset();
    m_otherAnswers.reset();
    m_shown = 0;
    OptionA->setChecked(true);
    for (QRadioButton* o : {OptionA, OptionB})
        o->hide();
    fill(RichTextBox3, paper);
    fill(RichTextBox4, answers);
}

void PaperPanel::setParallelDocuments(const QTextDocument& paperA, const QTextDocument& answersA,
                                      const QTextDocument& paperB, const QTextDocument& answersB,
                                      paper::PaperLayout layout)
{
    setDocuments(paperA, answersA, layout);
    m_otherPaper = copyOf(paperB);
    m_otherAnswers = copyOf(answersB);
    for (QRadioButton* o : {OptionA, OptionB})
        o->show();
}

QTextDocument* PaperPanel::paperOf(int which) const
{
    return which == m_shown || !m_otherPaper ? RichTextBox3->document() : m_otherPaper.get();
}

QTextDocument* PaperPanel::answersOf(int which) const
{
    return which == m_shown || !m_otherAnswers ? RichTextBox4->document() : m_otherAnswers.get();
}

void PaperPanel::showPaper(int which)
{
    if (!parallel() || which == m_shown)
        return;
    std::unique_ptr<QTextDocument> paper = copyOf(*RichTextBox3->document());
    std::unique_ptr<QTextDocument> answers = copyOf(*RichTextBox4->document());
    fill(RichTextBox3, *m_otherPaper);
    fill(RichTextBox4, *m_otherAnswers);
    m_otherPaper = std::move(paper);
    m_otherAnswers = std::move(answers);
    m_shown = which;
}

void PaperPanel::OptionA_Click()
{
    OptionA->setChecked(true);
    showPaper(0);
}

void PaperPanel::OptionB_Click()
{
    OptionB->setChecked(true);
    showPaper(1);
}

void PaperPanel::setSheets(paper::PaperLayout layout)
{
    m_layout = layout;
    RichTextBox3->setPageSetup(paper::SheetGeometry(layout).pageSetup());
    RichTextBox4->setPageSetup(paper::SheetGeometry(layout, false).pageSetup());
}

void PaperPanel::Command11_Click()
{
    Q_EMIT closed();
}

void PaperPanel::Command12_Click()
{
    EditInWord(m_ws, m_prompt, RichTextBox3, QStringLiteral("~SjA.rtf"));
}

void PaperPanel::Command13_Click()
{
    EditInWord(m_ws, m_prompt, RichTextBox4, QStringLiteral("~SjB.rtf"));
}

void PaperPanel::Command14_Click()
{
    Q_EMIT archiveRequested();
}

void PaperPanel::CommandPdf_Click()
{
    const QString path =
        m_prompt.saveFile(QStringLiteral("导出PDF"), QStringLiteral("PDF文件(*.pdf)|*.pdf"), QStringLiteral("pdf"));
    if (path.isEmpty())
        return;
    const QFileInfo info(path);
    const QString answers = info.dir().filePath(info.completeBaseName() + QStringLiteral("答卷.pdf"));
    if (const std::optional<QString> refused = refuseOutputs({{path, FileKind::Pdf}, {answers, FileKind::Pdf}},
                                                             m_filesInUse ? m_filesInUse() : QStringList())) {
        reportError(m_prompt, *refused);
        return;
    }
    QString error;
    bool written = false;
    {
        const BusyCursor busy;
        OutputFiles files;
        const auto add = [&](const QString& target, const RichTextBox* box) {
            const std::optional<QByteArray> bytes =
                paper::pdfBytes(*box->document(), QFileInfo(target).completeBaseName(), &error,
                                paper::SheetGeometry(m_layout, box == RichTextBox3));
            return bytes && files.write(target, *bytes, &error, QStringLiteral("PDF文件"));
        };
        written = add(path, RichTextBox3) && add(answers, RichTextBox4) && files.commit(&error);
    }
    if (!written) {
        reportError(m_prompt, error);
        return;
    }
    m_prompt.message(QStringLiteral("试卷和答卷已导出为PDF文件：\n%1\n%2")
                         .arg(QDir::toNativeSeparators(path), QDir::toNativeSeparators(answers)),
                     kTitleProgram, Icon::Information);
}

}  // namespace qm
