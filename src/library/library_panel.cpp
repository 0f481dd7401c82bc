#include "library/library_panel.h"

#include "bankstore/paper_library.h"
#include "core/prompt.h"
#include "library/form7.h"
#include "library/library_copy_in_panel.h"
#include "library/library_copy_out_panel.h"
#include "library/new_library_panel.h"
#include "library/paper_view.h"
#include "widgets/busycursor.h"
#include "widgets/controls.h"
#include "widgets/filelists.h"
#include "widgets/report_error.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace qm {

LibraryPanel::LibraryPanel(Form7& form) : QGroupBox(QStringLiteral("试卷库"), &form), m_form(form)
{
    setObjectName(QStringLiteral("FrameLibrary"));
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    File1 = new FileListBox(this);
    File1->setObjectName(QStringLiteral("File1"));
    File1->setPattern(QStringLiteral("*.Juk"));
    Command6 = makeButton(this, QStringLiteral("Command6"), QStringLiteral("新建卷库"));
    Command17 = makeButton(this, QStringLiteral("Command17"), QStringLiteral("删除卷库"));
    Command7 = makeButton(this, QStringLiteral("Command7"), QStringLiteral("拷入卷库"));
    Command8 = makeButton(this, QStringLiteral("Command8"), QStringLiteral("拷出卷库"));
    Command10 = makeButton(this, QStringLiteral("Command10"), QStringLiteral("合并卷库"));
    Command9 = makeButton(this, QStringLiteral("Command9"), QStringLiteral("导入试卷"));
    for (QPushButton* b : {Command8, Command9, Command10})
        b->setEnabled(false);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(500);

    auto* buttons = new QGridLayout;
    const QList<QList<QPushButton*>> rows{{Command6, Command17}, {Command7, Command8}, {Command10, Command9}};
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            buttons->addWidget(rows[r][c], r, c);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("学科名称"), this));
    layout->addWidget(Combo1);
    layout->addWidget(new QLabel(QStringLiteral("试卷库列表"), this));
    layout->addWidget(File1, 1);
    layout->addLayout(buttons);
    setMaximumWidth(260);

    connect(Combo1, &QComboBox::currentIndexChanged, this, &LibraryPanel::Combo1_Click);
    connect(File1, &FileListBox::clicked, this, &LibraryPanel::File1_Click);
    connect(Timer1, &QTimer::timeout, this, &LibraryPanel::Timer1_Timer);
    connect(Command6, &QPushButton::clicked, this, &LibraryPanel::Command6_Click);
    connect(Command17, &QPushButton::clicked, this, &LibraryPanel::Command17_Click);
    connect(Command7, &QPushButton::clicked, this, &LibraryPanel::Command7_Click);
    connect(Command8, &QPushButton::clicked, this, &LibraryPanel::Command8_Click);
    connect(Command10, &QPushButton::clicked, this, &LibraryPanel::Command10_Click);
    connect(Command9, &QPushButton::clicked, this, &LibraryPanel::Command9_Click);
}

void LibraryPanel::Combo1_Click()
{
    // Choosing another subject replaces the shown paper: its changes are offered for saving.
    m_form.Paper->offerToSave();
    File1->setPath(m_form.libraryDir());
    m_form.Paper->clearLibrary();
}

void LibraryPanel::File1_Click()
{
    m_form.Paper->openLibrary();
}

void LibraryPanel::Timer1_Timer()
{
    const bool chosen = !File1->FileName().isEmpty();
    for (QPushButton* b : {Command8, Command9, Command10, Command17})
        b->setEnabled(chosen);
}

void LibraryPanel::Command6_Click()
{
    m_form.Frame1->open();
}

void LibraryPanel::Command17_Click()
{
    const QString path = m_form.selectedLibrary();
    if (path.isEmpty())
        return;
    if (m_form.prompt().message(QStringLiteral("您真的要删除该试卷库吗？"), QStringLiteral("警告"), Icon::Question,
                                Buttons::YesNo, Answer::No)
        != Answer::Yes)
        return;
    if (!QFile::remove(path) && QFileInfo::exists(path)) {
        reportError(
            m_form.prompt(),
            QStringLiteral("无法删除试卷库文件“%1”，请检查它是否只读或正被使用。").arg(QDir::toNativeSeparators(path)));
        return;
    }
    File1->Refresh();
    m_form.Paper->clearLibrary();
}

void LibraryPanel::Command7_Click()
{
    if (Combo1->currentText().isEmpty()) {
        m_form.prompt().message(QStringLiteral("请先选择学科名！如果没有设置学科，可在题库录入功能中设置。"),
                                kTitleProgram, Icon::None, Buttons::Ok);
        return;
    }
    m_form.Frame2->open();
}

void LibraryPanel::Command8_Click()
{
    if (!File1->FileName().isEmpty())
        m_form.Frame3->open();
}

void LibraryPanel::Command10_Click()
{
    const QString target = m_form.selectedLibrary();
    if (target.isEmpty())
        return;
    const QString source =
        m_form.prompt().openFile(QStringLiteral("合并卷库"), QStringLiteral("试卷库文件*.Juk|*.juk"));
    // The open library merged into itself would only repeat its papers.
    if (source.isEmpty() || source.compare(target, Qt::CaseInsensitive) == 0)
        return;
    QString error;
    std::optional<int> added;
    {
        const BusyCursor busy;
        added = PaperLibrary(target).mergeFrom(source, &error);
    }
    if (!added) {
        reportError(m_form.prompt(), error);
        return;
    }
    m_form.Paper->openLibrary();
}

void LibraryPanel::Command9_Click()
{
    m_form.Paper->importPaper();
}

}  // namespace qm
