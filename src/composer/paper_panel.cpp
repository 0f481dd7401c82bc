#include "composer/paper_panel.h"

#include "core/output_file.h"
#include "core/prompt.h"
#include "core/workspace.h"
#include "paper/pdf.h"
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
    FormatBar = new FormattingBar(RichTextBox3, RichTextBox4, barOptions, this);
    Command11 = makeButton(this, QStringLiteral("Command11"), QStringLiteral("关　闭"));
    Command12 = makeButton(this, QStringLiteral("Command12"), QStringLiteral("WORD编辑样卷"));
    Command13 = makeButton(this, QStringLiteral("Command13"), QStringLiteral("WORD编辑答卷"));
    Command14 = makeButton(this, QStringLiteral("Command14"), QStringLiteral("试卷存储管理"));
    CommandPdf = makeButton(this, QStringLiteral("CommandPdf"), QStringLiteral("导出PDF"));

    auto* docs = new QGridLayout;
    docs->addWidget(new QLabel(QStringLiteral("样卷："), this), 0, 0);
    docs->addWidget(new QLabel(QStringLiteral("答卷："), this), 0, 1);
    docs->addWidget(RichTextBox3, 1, 0);
    docs->addWidget(RichTextBox4, 1, 1);
    docs->setRowStretch(1, 1);
    auto* buttons = new QHBoxLayout;
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
}

void PaperPanel::setDocuments(const QTextDocument& paper, const QTextDocument& answers, paper::PaperLayout layout)
{
    m_layout = layout;
    RichTextBox3->setPageSetup(paper::SheetGeometry(layout).pageSetup());
    RichTextBox4->setPageSetup(paper::SheetGeometry(layout, false).pageSetup());
    RichTextBox3->clear();
    RichTextBox4->clear();
    RichTextBox3->insertDocument(paper);
    RichTextBox4->insertDocument(answers);
    for (RichTextBox* box : {RichTextBox3, RichTextBox4})
        box->moveCursor(QTextCursor::Start);
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
