#include "editor/form2.h"
#include "editor/bank_window_actions.h"
#include "editor/form2_parts.h"

#include "bankstore/bank_file.h"
#include "core/fileops.h"
#include "core/paths.h"
#include "core/prompt.h"
#include "core/workspace.h"
#include "widgets/busycursor.h"
#include "widgets/dialogkeys.h"
#include "widgets/filelists.h"
#include "widgets/flexgrid.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFormLayout>
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

const QString kBadNameChars = QStringLiteral("\\ / : * ? \" < > |");

}  // namespace

Form2::Form2(Workspace& workspace, Prompt& prompt, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ws(workspace), m_prompt(prompt)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("题库录入"));
    m_keys = new DialogKeys(this);

    auto* left = new QVBoxLayout;
    left->addWidget(buildBankPanel());
    left->addWidget(buildCreatePanel());
    left->addWidget(buildSubjectPanel());
    left->addWidget(buildCopyOutPanel());
    left->addWidget(buildCopyInPanel());
    left->addStretch();

    auto* right = new QVBoxLayout;
    right->addWidget(buildEntryPane(), 1);
    right->addWidget(buildAttributePanels(), 1);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(right, 1);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(500);
    connect(Timer1, &QTimer::timeout, this, &Form2::Timer1_Timer);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(500);
    connect(Timer2, &QTimer::timeout, this, &Form2::Timer2_Timer);
    Timer3 = new QTimer(this);
    Timer3->setObjectName(QStringLiteral("Timer3"));
    Timer3->setInterval(500);
    connect(Timer3, &QTimer::timeout, this, &Form2::Timer3_Timer);
    Timer1->start();
    Timer2->start();
    Timer3->start();
    Timer1_Timer();
    Timer2_Timer();
    Timer3_Timer();
    m_actions = new BankWindowActions(*this, m_prompt);
    resize(1180, 760);
}

Form2::~Form2() = default;

QWidget* Form2::buildBankPanel()
{
    Frame1 = new QGroupBox(QStringLiteral("Bankwell"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Combo1 = new QComboBox(Frame1);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    File1 = new FileListBox(Frame1);
    File1->setObjectName(QStringLiteral("File1"));
    File1->setPattern(QStringLiteral("*.tik"));
    File1->setMinimumHeight(120);
    Text6 = makeLineEdit(Frame1, QStringLiteral("Text6"));
    Text1 = makeLineEdit(Frame1, QStringLiteral("Text1"));
    Text2 = makeLineEdit(Frame1, QStringLiteral("Text2"));
    Text3 = makeLineEdit(Frame1, QStringLiteral("Text3"));
    Text4 = makeLineEdit(Frame1, QStringLiteral("Text4"));
    Text5 = makeLineEdit(Frame1, QStringLiteral("Text5"));

    Command1 = makeButton(Frame1, QStringLiteral("Command1"), kAdd);
    Command2 = makeButton(Frame1, QStringLiteral("Command2"), kDelete);
    Command3 = makeButton(Frame1, QStringLiteral("Command3"), kModify);
    Command5 = makeButton(Frame1, QStringLiteral("Command5"), QStringLiteral("取　消"));
    Command9 = makeButton(Frame1, QStringLiteral("Command9"), QStringLiteral("学科管理"));
    Command41 = makeButton(Frame1, QStringLiteral("Command41"), QStringLiteral("拷入题库"));
    Command42 = makeButton(Frame1, QStringLiteral("Command42"), QStringLiteral("拷出题库"));
    Command8 = makeButton(Frame1, QStringLiteral("Command8"), QStringLiteral("退　出"));
    Command4 = makeButton(Frame1, QStringLiteral("Command4"), QStringLiteral("设　置"));
    Command27 = makeButton(Frame1, QStringLiteral("Command27"), QStringLiteral("题库录入"));
    Command40 = makeButton(Frame1, QStringLiteral("Command40"), QStringLiteral("导入题库"));
    Command60 = makeButton(Frame1, QStringLiteral("Command60"), QStringLiteral("导入说明"));
    Command59 = makeButton(Frame1, QStringLiteral("Command59"), QStringLiteral("合并题库"));
    Command5->setEnabled(false);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("学科名称"), Combo1);
    form->addRow(QStringLiteral("题库名称"), File1);
    auto* particulars = new QFormLayout;
    particulars->addRow(QStringLiteral("题库名称"), Text6);
    particulars->addRow(QStringLiteral("适用专业"), Text1);
    particulars->addRow(QStringLiteral("适用大纲"), Text2);
    particulars->addRow(QStringLiteral("建库人员"), Text3);
    particulars->addRow(QStringLiteral("审定人员"), Text4);
    particulars->addRow(QStringLiteral("启用时间"), Text5);
    auto* buttons = new QGridLayout;
    const QList<QList<QPushButton*>> rows{{Command1, Command2, Command3, Command5},
                                          {Command9, Command41, Command42, Command4},
                                          {Command27, Command40, Command60, Command59}};
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            buttons->addWidget(rows[r][c], r, c);
    buttons->addWidget(Command8, 3, 3);
    auto* layout = new QVBoxLayout(Frame1);
    layout->addLayout(form);
    layout->addLayout(particulars);
    layout->addLayout(buttons);
    Frame1->setFixedWidth(std::max(420, fontMetrics().horizontalAdvance(QStringLiteral("题库按章节排序")) * 3));

    connect(Combo1, &QComboBox::currentIndexChanged, this, &Form2::Combo1_Click);
    // Choosing the subject already chosen reads its banks again (another computer may
    // have added some).
    connect(Combo1, &QComboBox::activated, this, [this](int index) {
        if (index == Combo1->currentIndex())
            File1->Refresh();
    });
    connect(File1, &FileListBox::clicked, this, &Form2::File1_Click);
    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form2::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form2::Command3_Click);
    connect(Command5, &QPushButton::clicked, this, &Form2::Command5_Click);
    connect(Command8, &QPushButton::clicked, this, &Form2::Command8_Click);
    connect(Command9, &QPushButton::clicked, this, &Form2::Command9_Click);
    connect(Command41, &QPushButton::clicked, this, &Form2::Command41_Click);
    connect(Command42, &QPushButton::clicked, this, &Form2::Command42_Click);
    connect(Command4, &QPushButton::clicked, this, &Form2::Command4_Click);
    connect(Command27, &QPushButton::clicked, this, &Form2::Command27_Click);
    return Frame1;
}

QWidget* Form2::buildCreatePanel()
{
    Frame2 = new QGroupBox(QStringLiteral("创建题库"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Text7 = makeLineEdit(Frame2, QStringLiteral("Text7"));
    selectAllOnFocus(Text7);
    Command6 = makeButton(Frame2, QStringLiteral("Command6"), QStringLiteral("创　建"));
    Command7 = makeButton(Frame2, QStringLiteral("Command7"), QStringLiteral("取　消"));
    auto* layout = new QVBoxLayout(Frame2);
    layout->addWidget(new QLabel(QStringLiteral("请输入题库名称"), Frame2));
    layout->addWidget(Text7);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command6);
    buttons->addWidget(Command7);
    layout->addLayout(buttons);
    connect(Command6, &QPushButton::clicked, this, &Form2::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &Form2::Command7_Click);
    Frame2->hide();
    return Frame2;
}

QWidget* Form2::buildCopyOutPanel()
{
    Frame8 = new QGroupBox(QStringLiteral("拷出文件"), this);
    Frame8->setObjectName(QStringLiteral("Frame8"));
    Drive1 = new DriveListBox(Frame8);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Dir2 = new DirListBox(Frame8);
    Dir2->setObjectName(QStringLiteral("Dir2"));
    Text13 = makeLineEdit(Frame8, QStringLiteral("Text13"));
    Command43 = makeButton(Frame8, QStringLiteral("Command43"), QStringLiteral("拷　出"));
    Command44 = makeButton(Frame8, QStringLiteral("Command44"), QStringLiteral("取　消"));
    auto* layout = new QVBoxLayout(Frame8);
    layout->addWidget(Drive1);
    layout->addWidget(Dir2);
    layout->addWidget(new QLabel(QStringLiteral("拷出文件名称"), Frame8));
    layout->addWidget(Text13);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command43);
    buttons->addWidget(Command44);
    layout->addLayout(buttons);
    connect(Drive1, &DriveListBox::driveChanged, Dir2, &DirListBox::setPath);
    connect(Dir2, &DirListBox::pathChanged, this, &Form2::Dir2_Change);
    connect(Command43, &QPushButton::clicked, this, &Form2::Command43_Click);
    connect(Command44, &QPushButton::clicked, this, &Form2::Command44_Click);
    Frame8->hide();
    return Frame8;
}

QWidget* Form2::buildCopyInPanel()
{
    Frame9 = new QGroupBox(QStringLiteral("拷入文件"), this);
    Frame9->setObjectName(QStringLiteral("Frame9"));
    Drive2 = new DriveListBox(Frame9);
    Drive2->setObjectName(QStringLiteral("Drive2"));
    Dir3 = new DirListBox(Frame9);
    Dir3->setObjectName(QStringLiteral("Dir3"));
    File3 = new FileListBox(Frame9);
    File3->setObjectName(QStringLiteral("File3"));
    File3->setPattern(QStringLiteral("*.tik"));
    Text14 = makeLineEdit(Frame9, QStringLiteral("Text14"));
    Command46 = makeButton(Frame9, QStringLiteral("Command46"), QStringLiteral("拷　入"));
    Command45 = makeButton(Frame9, QStringLiteral("Command45"), QStringLiteral("取　消"));
    auto* lists = new QHBoxLayout;
    lists->addWidget(Dir3);
    lists->addWidget(File3);
    auto* layout = new QVBoxLayout(Frame9);
    layout->addWidget(Drive2);
    layout->addLayout(lists);
    layout->addWidget(new QLabel(QStringLiteral("拷入文件名称"), Frame9));
    layout->addWidget(Text14);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command46);
    buttons->addWidget(Command45);
    layout->addLayout(buttons);
    connect(Drive2, &DriveListBox::driveChanged, Dir3, &DirListBox::setPath);
    connect(Dir3, &DirListBox::pathChanged, File3, &FileListBox::setPath);
    connect(File3, &FileListBox::clicked, this, &Form2::File3_Click);
    connect(Command46, &QPushButton::clicked, this, &Form2::Command46_Click);
    connect(Command45, &QPushButton::clicked, this, &Form2::Command45_Click);
    Frame9->hide();
    return Frame9;
}

QString Form2::bankPath() const
{
    const QString name = File1->FileName();
    return name.isEmpty() ? QString() : m_ws.SubjectDir() + name;
}

bool Form2::eventFilter(QObject* watched, QEvent* event)
{
    // The entry pane covers the attribute panels while it is shown.
    if (watched == Frame7 && (event->type() == QEvent::Show || event->type() == QEvent::Hide))
        m_settingsArea->setVisible(Frame7->isHidden());
    // A number typed into the jump box and Enter jump, unless an add, change or delete waits.
    if (watched == Text12 && event->type() == QEvent::FocusIn && !Command37->isEnabled())
        m_keys->setDefaultButton(Command29);
    // The hint fills the area only while the panels are closed.
    if (watched == Frame4 && (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent))
        m_placeholder->setVisible(Frame4->isHidden());
    return QWidget::eventFilter(watched, event);
}

void Form2::reportError(const QString& text)
{
    m_prompt.message(text, kError, Icon::Warning, Buttons::Ok);
}

// ---------------------------------------------------------------------------------------
// Subjects and banks

void Form2::attachBankRoot()
{
    File1->setPath(m_ws.BankRoot());
    Dir1->setPath(m_ws.BankRoot());
    RefreshXueKe();
}

void Form2::RefreshXueKe()
{
    Dir1->setPath(m_ws.BankRoot());
    Dir1->Refresh();
    List1->clear();
    {
        const QSignalBlocker block(Combo1);
        Combo1->clear();
    }
    const QStringList dirs = Dir1->subdirectories();
    if (dirs.isEmpty())
        return;
    QStringList names;
    for (const QString& d : dirs)
        names << d.mid(m_ws.BankRoot().size());
    List1->addItems(names);
    {
        const QSignalBlocker block(Combo1);
        Combo1->addItems(names);
    }
    Combo1->setCurrentIndex(0);
    Combo1_Click();
    Q_EMIT subjectsRefreshed(names);
}

void Form2::Combo1_Click()
{
    const QString subject = Combo1->currentText();
    if (Combo1->currentIndex() < 0 || subject.isEmpty()) {
        m_ws.setSubjectDir(QString());
        File1->setPath(QString());
        entryBankChanged();
        return;
    }
    m_ws.setSubjectDir(m_ws.BankRoot() + subject);
    File1->setPath(m_ws.SubjectDir());
    entryBankChanged();
}

void Form2::File1_Click()
{
    CurrentQuestion = -1;
    showParticulars();
    closeSettings();
    entryBankChanged();
}

void Form2::showParticulars()
{
    QString error;
    const auto p = BankFile(bankPath()).particulars(&error);
    if (!p) {
        clearParticulars();
        reportError(error);
        return;
    }
    Text6->setText(p->name);
    Text1->setText(p->speciality);
    Text2->setText(p->syllabus);
    Text3->setText(p->author);
    Text4->setText(p->reviewer);
    Text5->setText(p->firstUse);
}

void Form2::clearParticulars()
{
    for (QLineEdit* e : {Text1, Text2, Text3, Text4, Text5, Text6})
        e->clear();
}

void Form2::Timer1_Timer()
{
    const bool chosen = !File1->FileName().isEmpty();
    for (QPushButton* b : {Command2, Command3, Command4, Command27, Command40, Command59, Command42})
        b->setEnabled(chosen);
    if (!chosen) {
        closeSettings();
        Frame7->hide();
        clearParticulars();
    }
}

void Form2::DisableCmd()
{
    for (QWidget* w : std::initializer_list<QWidget*>{Command1, Command2, Command3, Command4, Command27, Command40,
                                                      Command41, Command42, Command60, Command59, File1, Combo1,
                                                      Command9})
        w->setEnabled(false);
    Command5->setEnabled(true);
    Timer1->stop();
}

void Form2::Command1_Click()
{
    if (CreatingBank) {
        // The confirming press: the particulars of the new bank are written and it stays.
        Particulars p{Text6->text(), Text1->text(), Text2->text(), Text3->text(), Text4->text(), Text5->text()};
        QString error;
        if (!BankFile(m_newBankPath).setParticulars(p, &error)) {
            reportError(error);
            return;
        }
        const QString name = QFileInfo(m_newBankPath).fileName();
        CreatingBank = false;
        Command5_Click();
        File1->Refresh();
        if (File1->selectFile(name))
            File1_Click();
        return;
    }
    if (Combo1->currentIndex() < 0) {
        reportError(QStringLiteral("请先在“学科管理”中添加学科！"));
        return;
    }
    DisableCmd();
    Frame2->show();
    m_keys->setDefaultButton(Command6);
    m_keys->setCancelButton(Command7);
    Text7->setFocus();
    Text7->selectAll();
}

void Form2::Command6_Click()
{
    const QString name = Text7->text();
    if (name.isEmpty()) {
        Text7->setFocus();
        return;
    }
    const QString fileName = name + QStringLiteral(".tik");
    for (int i = 0; i < File1->ListCount(); ++i) {
        if (sameFileName(File1->List(i), fileName)) {
            reportError(QStringLiteral("题库名已存在，请另取名！"));
            return;
        }
    }
    if (!isValidFileName(fileName)) {
        reportError(QStringLiteral("题库名称中不能有下列字符：") + kBadNameChars);
        return;
    }
    QString error;
    const QString path = m_ws.SubjectDir() + fileName;
    if (!BankFile::createFromTemplate(resolveNoCase(m_ws.ProgramDir(), QStringLiteral("qm.qm")), path, &error)) {
        reportError(error);
        return;
    }
    File1->Refresh();
    Frame2->hide();
    m_newBankPath = path;
    const auto p = BankFile(path).particulars();
    clearParticulars();
    if (p) {
        Text1->setText(p->speciality);
        Text2->setText(p->syllabus);
        Text3->setText(p->author);
        Text4->setText(p->reviewer);
        Text5->setText(p->firstUse);
    }
    Text6->setText(name);
    CreatingBank = true;
    Command1->setText(kConfirm);
    Command1->setEnabled(true);
    m_keys->setDefaultButton(Command1);
    m_keys->setCancelButton(Command5);
    Text1->setFocus();
}

void Form2::Command7_Click()
{
    Frame2->hide();
    Command5_Click();
}

void Form2::Command5_Click()
{
    if (CreatingBank) {
        BankFile::removeFile(m_newBankPath);
        m_newBankPath.clear();
        File1->Refresh();
    }
    for (QWidget* w : std::initializer_list<QWidget*>{Command1, Command2, Command3, Command4, Command41, Command60,
                                                      File1, Combo1, Command9})
        w->setEnabled(true);
    Command5->setEnabled(false);
    Command1->setText(kAdd);
    Command2->setText(kDelete);
    Command3->setText(kModify);
    m_keys->setDefaultButton(nullptr);
    m_keys->setCancelButton(nullptr);
    CreatingBank = false;
    Timer1->start();
    Timer1_Timer();
}

void Form2::Command2_Click()
{
    if (Command2->text() != kConfirm) {
        DisableCmd();
        Command2->setText(kConfirm);
        Command2->setEnabled(true);
        m_keys->setDefaultButton(Command2);
        m_keys->setCancelButton(Command5);
        Command2->setFocus();
        return;
    }
    const QString name = File1->FileName();
    const Answer a = m_prompt.message(QStringLiteral("真的要删除题库“") + name + QStringLiteral("吗？"),
                                      QStringLiteral("警告"), Icon::Question, Buttons::YesNo, Answer::No);
    if (a == Answer::No)
        return;
    if (!name.isEmpty())
        BankFile::removeFile(m_ws.SubjectDir() + name);
    File1->Refresh();
    File1->setListIndex(-1);
    Command5_Click();
}

void Form2::Command3_Click()
{
    if (Command3->text() != kConfirm) {
        DisableCmd();
        Command3->setText(kConfirm);
        Command3->setEnabled(true);
        m_keys->setDefaultButton(Command3);
        m_keys->setCancelButton(Command5);
        Text6->setFocus();
        return;
    }
    const QString name = File1->FileName();
    const Answer a = m_prompt.message(QStringLiteral("真的要修改题库“") + name + QStringLiteral("吗？"),
                                      QStringLiteral("警告"), Icon::Question, Buttons::YesNo, Answer::No);
    if (a == Answer::No)
        return;
    Particulars p{Text6->text(), Text1->text(), Text2->text(), Text3->text(), Text4->text(), Text5->text()};
    QString error;
    if (!BankFile(bankPath()).setParticulars(p, &error)) {
        reportError(error);
        return;
    }
    showParticulars();
    Command5_Click();
}

void Form2::Command8_Click()
{
    hide();
    Q_EMIT showMainWindow();
}

// ---------------------------------------------------------------------------------------
// Copying banks out and in

void Form2::Command42_Click()
{
    Frame8->show();
    if (Dir2->Path().isEmpty()) {
        const int home = Drive1->findData(withTrailingSep(QDir::homePath()));
        Drive1->setCurrentIndex(std::max(home, 0));
        Dir2->setPath(Drive1->Drive());
    }
    Dir2_Change();
    m_keys->setDefaultButton(Command43);
    m_keys->setCancelButton(Command44);
    Text13->setFocus();
}

void Form2::Dir2_Change()
{
    Text13->setText(withTrailingSep(Dir2->Path()) + File1->FileName());
}

void Form2::Command43_Click()
{
    const QString target = Text13->text();
    if (target.isEmpty() || target.right(4).toUpper() != QLatin1String(".TIK")) {
        reportError(QStringLiteral("输出文件名不对，请重新选择路径"));
        return;
    }
    int result = kCopyFailed;
    {
        BusyCursor busy;
        result = CopyFileWithPrompt(m_prompt, bankPath(), target);
    }
    if (result == kCopyDone) {
        Command44_Click();
    } else if (result == kCopyFailed) {
        reportError(QStringLiteral("拷贝失败，请检查输出路径：") + QDir::toNativeSeparators(target));
    }
}

void Form2::Command44_Click()
{
    Frame8->hide();
    m_keys->setDefaultButton(nullptr);
    m_keys->setCancelButton(nullptr);
}

void Form2::Command41_Click()
{
    if (Combo1->currentIndex() < 0) {
        reportError(QStringLiteral("请先在“学科管理”中添加学科！"));
        return;
    }
    Frame9->show();
    if (Dir3->Path().isEmpty()) {
        const int home = Drive2->findData(withTrailingSep(QDir::homePath()));
        Drive2->setCurrentIndex(std::max(home, 0));
        Dir3->setPath(Drive2->Drive());
    }
    m_keys->setDefaultButton(Command46);
    m_keys->setCancelButton(Command45);
}

void Form2::File3_Click()
{
    Text14->setText(withTrailingSep(File3->Path()) + File3->FileName());
}

void Form2::Command46_Click()
{
    const QString source = Text14->text();
    if (source.isEmpty() || source.right(4).toUpper() != QLatin1String(".TIK")) {
        reportError(QStringLiteral("文件名错误，请重新输入！"));
        return;
    }
    // The copy keeps the name of the file being copied, whichever way it was chosen.
    const QString fileName = QFileInfo(source).fileName();
    QString error;
    if (QFileInfo(source).isFile() && !BankFile(source).check(&error)) {
        reportError(error);
        return;
    }
    int result = kCopyFailed;
    {
        BusyCursor busy;
        result = CopyFileWithPrompt(m_prompt, source, m_ws.SubjectDir() + fileName);
    }
    if (result != kCopyDone) {
        reportError(QStringLiteral("目标文件可能已打开，拷贝错误，请检查！"));
        return;
    }
    Command45_Click();
    File1->Refresh();
}

void Form2::Command45_Click()
{
    Frame9->hide();
    m_keys->setDefaultButton(nullptr);
    m_keys->setCancelButton(nullptr);
}

}  // namespace qm
