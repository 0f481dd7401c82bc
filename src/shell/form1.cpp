#include "shell/form1.h"

#include "bankstore/server_store.h"
#include "bankstore/user_store.h"
#include "core/fileops.h"
#include "core/paths.h"
#include "core/prompt.h"
#include "core/version.h"
#include "core/workspace.h"
#include "shell/artwork.h"
#include "shell/form8.h"
#include "shell/workpath.h"
#include "widgets/controls.h"
#include "widgets/dialogkeys.h"
#include "widgets/editstep.h"
#include "widgets/flexgrid.h"
#include "widgets/report_error.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFormLayout>
#include <QGraphicsDropShadowEffect>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace qm {

namespace {

const QString kAdministrator = QStringLiteral("SYSTEM");

}  // namespace

QString localDataNotice(const QString& bankRoot)
{
    return QStringLiteral("题库保存在本计算机的 %1 中。需要几台计算机共用题库时，请以SYSTEM登录，"
                          "在“系统”菜单的“工作路径设置”中设置共享的工作路径。")
        .arg(QDir::toNativeSeparators(bankRoot));
}

Form1::Form1(Workspace& workspace, Prompt& prompt, QWidget* parent)
    : QMainWindow(parent), m_ws(workspace), m_prompt(prompt)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Quellmark") + QString::fromUtf16(kVersion));
    setWindowIcon(programIcon());
    m_keys = new DialogKeys(this);

    auto* backdrop = new Backdrop(this);
    setCentralWidget(backdrop);
    // The panels stand out from the picture behind them.
    backdrop->setStyleSheet(
        QStringLiteral("QGroupBox { background: rgba(255, 255, 255, 225); border: 1px solid #9db4dc;"
                       " border-radius: 6px; margin-top: 1.5em; padding: 6px; }"
                       "QGroupBox::title { subcontrol-origin: margin; left: 10px; padding: 0 4px;"
                       " color: #1d3f8f; font-weight: bold; }"));
    auto* outer = new QVBoxLayout(backdrop);
    outer->setContentsMargins(32, 24, 32, 24);

    // The shadowed title, the spaced product name, the version and the date.
    auto* title = new QLabel(QStringLiteral("Quellmark"), backdrop);
    title->setObjectName(QStringLiteral("lblTitle"));
    QFont tf = title->font();
    tf.setPointSizeF(tf.pointSizeF() * 3);
    tf.setBold(true);
    tf.setItalic(true);
    title->setFont(tf);
    title->setStyleSheet(QStringLiteral("color: #1d3f8f;"));
    auto* shadow = new QGraphicsDropShadowEffect(title);
    shadow->setOffset(3, 3);
    shadow->setBlurRadius(4);
    shadow->setColor(QColor(0, 0, 0, 110));
    title->setGraphicsEffect(shadow);
    auto* spaced = new QLabel(QStringLiteral("Q u e l l m a r k"), backdrop);
    QFont sf = spaced->font();
    sf.setPointSizeF(sf.pointSizeF() * 1.4);
    spaced->setFont(sf);
    spaced->setStyleSheet(QStringLiteral("color: #33507f;"));
    auto* version = new QLabel(QStringLiteral("版本") + QString::fromUtf16(kVersion), backdrop);
    version->setObjectName(QStringLiteral("lblVersion"));
    auto* date = new QLabel(QString::fromUtf16(kReleaseDate), backdrop);
    date->setObjectName(QStringLiteral("lblDate"));
    auto* heading = new QVBoxLayout;
    heading->addWidget(title, 0, Qt::AlignHCenter);
    heading->addWidget(spaced, 0, Qt::AlignHCenter);
    auto* versionRow = new QHBoxLayout;
    versionRow->addStretch();
    versionRow->addWidget(version);
    versionRow->addSpacing(24);
    versionRow->addWidget(date);
    versionRow->addStretch();
    heading->addLayout(versionRow);
    outer->addLayout(heading);
    outer->addStretch(1);

    auto* panels = new QHBoxLayout;
    panels->addStretch();
    panels->addWidget(buildLoginPanel());
    panels->addWidget(buildUserPanel());
    panels->addWidget(buildWorkPathPanel());
    panels->addStretch();
    outer->addLayout(panels);
    // Where the banks are kept when no work path was ever set.
    lblLocalData = new QLabel(backdrop);
    lblLocalData->setObjectName(QStringLiteral("lblLocalData"));
    lblLocalData->setWordWrap(true);
    lblLocalData->setAlignment(Qt::AlignCenter);
    lblLocalData->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblLocalData->setStyleSheet(
        QStringLiteral("QLabel { background: rgba(255, 255, 255, 225); border: 1px solid #9db4dc;"
                       " border-radius: 6px; padding: 6px; color: #1d3f8f; }"));
    lblLocalData->hide();
    outer->addSpacing(12);
    outer->addWidget(lblLocalData);
    outer->addStretch(2);

    // The navigation buttons are never shown; the menu entries press them.
    Command1 = makeButton(backdrop, QStringLiteral("Command1"), QStringLiteral("题库录入"));
    Command2 = makeButton(backdrop, QStringLiteral("Command2"), QStringLiteral("智能组卷"));
    Command3 = makeButton(backdrop, QStringLiteral("Command3"), QStringLiteral("试卷管理"));
    Command4 = makeButton(backdrop, QStringLiteral("Command4"), QStringLiteral("关　　于"));
    Command5 = makeButton(backdrop, QStringLiteral("Command5"), QStringLiteral("退　　出"));
    Command6 = makeButton(backdrop, QStringLiteral("Command6"), QStringLiteral("手工组卷"));
    for (QPushButton* b : {Command1, Command2, Command3, Command4, Command5, Command6})
        b->hide();
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &Form1::Command6_Click);

    buildMenus();
    sizeToScreen(this, QSize(860, 600));
}

void Form1::buildMenus()
{
    mnuSystem = menuBar()->addMenu(QStringLiteral("&S 系统"));
    mnuPassword = mnuSystem->addAction(QStringLiteral("&P 口令设置"), this, &Form1::showUserPanel);
    mnuWorkPath = mnuSystem->addAction(QStringLiteral("&W 工作路径设置"), this, &Form1::showWorkPathPanel);
    mnuAbout = mnuSystem->addAction(QStringLiteral("&A 关　于"), Command4, &QPushButton::click);
    mnuExit = mnuSystem->addAction(QStringLiteral("&Q 退出系统"), Command5, &QPushButton::click);
    mnuPassword->setEnabled(false);
    mnuWorkPath->setEnabled(false);

    mnuLibrary = menuBar()->addMenu(QStringLiteral("&L 库管理"));
    mnuBanks = mnuLibrary->addAction(QStringLiteral("&T 题库录入"), Command1, &QPushButton::click);
    mnuPapers = mnuLibrary->addAction(QStringLiteral("&J 试卷管理"), Command3, &QPushButton::click);
    mnuLibrary->setEnabled(false);
    mnuLibrary->menuAction()->setEnabled(false);

    mnuCompose = menuBar()->addMenu(QStringLiteral("&P 组卷"));
    mnuManual = mnuCompose->addAction(QStringLiteral("&M 手工组卷"), Command6, &QPushButton::click);
    mnuAuto = mnuCompose->addAction(QStringLiteral("&A 智能组卷"), Command2, &QPushButton::click);
    mnuCompose->setEnabled(false);
    mnuCompose->menuAction()->setEnabled(false);

    // The help menu has no entries: choosing it opens the user guide.
    mnuHelp = menuBar()->addAction(QStringLiteral("&H 帮助"), this, &Form1::mnuHelp_Click);
}

QWidget* Form1::buildLoginPanel()
{
    Frame1 = new QGroupBox(QStringLiteral("口令核对"), centralWidget());
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Text1 = makeLineEdit(Frame1, QStringLiteral("Text1"));
    Text2 = makeLineEdit(Frame1, QStringLiteral("Text2"));
    makePasswordBox(Text2);
    Command8 = makeButton(Frame1, QStringLiteral("Command8"), QStringLiteral("确　定"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("用户名称"), Text1);
    form->addRow(QStringLiteral("工作口令"), Text2);
    auto* layout = new QVBoxLayout(Frame1);
    layout->addLayout(form);
    layout->addWidget(Command8, 0, Qt::AlignHCenter);
    Text1->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('M')) * 18);
    connect(Command8, &QPushButton::clicked, this, &Form1::Command8_Click);
    m_keys->setDefaultButton(Command8);
    setTabOrder(Text1, Text2);
    setTabOrder(Text2, Command8);
    return Frame1;
}

QWidget* Form1::buildUserPanel()
{
    Frame2 = new QGroupBox(QStringLiteral("口令设置"), centralWidget());
    Frame2->setObjectName(QStringLiteral("Frame2"));
    MSFlexGrid1 = new FlexGrid(Frame2);
    MSFlexGrid1->setObjectName(QStringLiteral("MSFlexGrid1"));
    MSFlexGrid1->setTable({QStringLiteral("用户名"), QStringLiteral("口令")}, {});
    MSFlexGrid1->setColWidth(0, 0);
    MSFlexGrid1->setMinimumSize(300, 220);
    MSFlexGrid1->setColWidth(1, 140);
    MSFlexGrid1->setColWidth(2, 140);
    Text3 = makeLineEdit(Frame2, QStringLiteral("Text3"));
    Text4 = makeLineEdit(Frame2, QStringLiteral("Text4"));
    Command9 = makeButton(Frame2, QStringLiteral("Command9"), QStringLiteral("增　加"));
    Command10 = makeButton(Frame2, QStringLiteral("Command10"), QStringLiteral("修　改"));
    Command11 = makeButton(Frame2, QStringLiteral("Command11"), QStringLiteral("删　除"));
    Command12 = makeButton(Frame2, QStringLiteral("Command12"), QStringLiteral("取　消"));
    m_userStep = new EditStep(m_keys, Command12, this);
    Command13 = makeButton(Frame2, QStringLiteral("Command13"), QStringLiteral("关　闭"));
    Command10->setEnabled(false);
    Command11->setEnabled(false);
    Command12->setEnabled(false);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("用户名"), Text3);
    form->addRow(QStringLiteral("口　令"), Text4);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {Command9, Command10, Command11, Command12, Command13})
        buttons->addWidget(b);
    buttons->addStretch();
    auto* right = new QVBoxLayout;
    right->addLayout(form);
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(Frame2);
    layout->addWidget(MSFlexGrid1, 1);
    layout->addLayout(right);

    connect(MSFlexGrid1, &FlexGrid::clicked, this, &Form1::MSFlexGrid1_Click);
    connect(Command9, &QPushButton::clicked, this, &Form1::Command9_Click);
    connect(Command10, &QPushButton::clicked, this, &Form1::Command10_Click);
    connect(Command11, &QPushButton::clicked, this, &Form1::Command11_Click);
    connect(Command12, &QPushButton::clicked, this, &Form1::Command12_Click);
    connect(Command13, &QPushButton::clicked, this, &Form1::Command13_Click);
    // The button states follow the pointer over the panel and the list.
    Frame2->setMouseTracking(true);
    MSFlexGrid1->viewport()->setMouseTracking(true);
    Frame2->installEventFilter(this);
    MSFlexGrid1->viewport()->installEventFilter(this);
    Frame2->hide();
    return Frame2;
}

QWidget* Form1::buildWorkPathPanel()
{
    Frame3 = new QGroupBox(QStringLiteral("工作路径设置"), centralWidget());
    Frame3->setObjectName(QStringLiteral("Frame3"));
    Text5 = makeLineEdit(Frame3, QStringLiteral("Text5"));
    Text5->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('M')) * 28);
    Command14 = makeButton(Frame3, QStringLiteral("Command14"), QStringLiteral("确　定"));
    Command15 = makeButton(Frame3, QStringLiteral("Command15"), QStringLiteral("取　消"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command14);
    buttons->addWidget(Command15);
    auto* layout = new QVBoxLayout(Frame3);
    layout->addWidget(Text5);
    layout->addLayout(buttons);
    connect(Command14, &QPushButton::clicked, this, &Form1::Command14_Click);
    connect(Command15, &QPushButton::clicked, this, &Form1::Command15_Click);
    Frame3->hide();
    return Frame3;
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove && (watched == Frame2 || watched == MSFlexGrid1->viewport()))
        Mov();
    return QMainWindow::eventFilter(watched, event);
}

void Form1::closeEvent(QCloseEvent* event)
{
    QMainWindow::closeEvent(event);
    Q_EMIT exitRequested();
}

Form8* Form1::about()
{
    if (!m_about)
        m_about = new Form8(this);
    return m_about;
}

// ---------------------------------------------------------------------------------------
// Start-up

void Form1::Form_Load()
{
    if (m_ws.ProgramDir().isEmpty())
        m_ws.setProgramDir(Workspace::programDirForExecutable(QApplication::applicationDirPath()));
    const QString programDir = m_ws.ProgramDir();
    const QString bankDir = QString::fromUtf16(kBankDirName);
    const QString sampleSubject = QString::fromUtf16(kSampleSubject);
    const bool workPathUsable = GetWorkPath();
    const QString workPath = Text5->text();
    if (workPathUsable && isServerPath(workPath)) {
        // Banks and users are on the database server: nothing to make or copy here.
        m_ws.setBankRoot(bankRootOf(workPath));
    } else if (workPathUsable) {
        Md(resolveNoCase(workPath, bankDir));
        Md(resolveNoCase(workPath, bankDir) + QLatin1Char('/') + sampleSubject);
        const QString root = bankRootOf(workPath);
        copySamples(root);
        m_ws.setBankRoot(root);
        Fcopy();
    } else {
        Md(resolveNoCase(programDir, bankDir));
        Md(resolveNoCase(programDir, bankDir) + QLatin1Char('/') + sampleSubject);
        const QString root = withTrailingSep(resolveNoCase(programDir, bankDir));
        copySamples(root);
        m_ws.setBankRoot(root);
        Text5->setText(programDir);
        if (savedWorkPath(programDir).isEmpty()) {
            // Nothing is wrong: no work path was ever set, so the banks are kept here.
            lblLocalData->setText(localDataNotice(root));
            lblLocalData->show();
        } else {
            reportError(m_prompt, QStringLiteral("路径设置错误或服务器未开,只能访问本地数据！"));
        }
    }
    Q_EMIT bankRootReady();
    loadUsers();
    Frame1->show();
    Text1->setFocus();
}

void Form1::copySamples(const QString& bankRoot)
{
    const QString subjectDir = bankRoot + QString::fromUtf16(kSampleSubject) + QLatin1Char('/');
    filecopyZZ(m_ws.ProgramDir() + QString::fromUtf16(kSampleSource), subjectDir + QString::fromUtf16(kSampleBank));
    // The sample plan beside it, for the first paper (the user guide's first chapter).
    const QString plan = resolveNoCase(m_ws.ProgramDir(), QString::fromUtf16(kSamplePlan));
    if (QFileInfo(plan).isFile())
        filecopyZZ(plan, subjectDir + QString::fromUtf16(kSamplePlan));
}

bool Form1::CheckDir(const QString& path)
{
    if (!hasUserFile(path))
        return false;
    Text5->setText(path);
    return true;
}

bool Form1::GetWorkPath()
{
    return CheckDir(readWorkPath(m_ws.ProgramDir()));
}

void Form1::SaveWorkPath()
{
    QString error;
    if (!writeWorkPath(m_ws.ProgramDir(), Text5->text(), &error))
        reportError(m_prompt, error);
}

void Form1::Fcopy()
{
    filecopyZZ(resolveNoCase(Text5->text(), QString::fromUtf16(kUserFile)), userFilePath());
}

QString Form1::userFilePath() const
{
    // The users of a work path on a database server are kept there (the URI before '#').
    if (m_ws.banksOnServer())
        return m_ws.BankRoot().chopped(1);
    return resolveNoCase(m_ws.ProgramDir(), QString::fromUtf16(kUserFile));
}

void Form1::showWorkPathPanel()
{
    Frame3->show();
    m_keys->setDefaultButton(Command14);
    m_keys->setCancelButton(Command15);
    Text5->setFocus();
}

void Form1::Command14_Click()
{
    Text5->setText(workPathForm(Text5->text()));
    if (!hasUserFile(Text5->text())) {
        m_prompt.message(QStringLiteral("路径设置错误或该计算机未打开！"), QStringLiteral("提示"), Icon::Warning,
                         Buttons::Ok);
        return;
    }
    QString error;
    if (!writeWorkPath(m_ws.ProgramDir(), Text5->text(), &error)) {
        // Restarting would only bring back the old path: say why and stay.
        reportError(m_prompt, error);
        return;
    }
    m_prompt.message(QStringLiteral("路径设置成功，系统将重新运行！"), QStringLiteral("提示"), Icon::Warning,
                     Buttons::Ok);
    Frame3->hide();
    Q_EMIT restartRequested();
}

void Form1::Command15_Click()
{
    Frame3->hide();
}

// ---------------------------------------------------------------------------------------
// Login and users

void Form1::loadUsers()
{
    QList<QStringList> rows;
    QString error;
    if (const auto users = UserStore(userFilePath()).users(&error)) {
        for (const UserRecord& u : *users)
            rows.append({u.name, u.password});
    } else {
        reportError(m_prompt, QStringLiteral("无法打开用户文件，不能登录：\n") + error);
    }
    const int row = MSFlexGrid1->Row();
    MSFlexGrid1->setTable({QStringLiteral("用户名"), QStringLiteral("口令")}, rows);
    MSFlexGrid1->setColWidth(0, 0);
    MSFlexGrid1->setRow(std::clamp(row, 1, std::max(1, MSFlexGrid1->Rows() - 1)));
}

bool Form1::CheckPass()
{
    // The store checks the password: a database server keeps only its hash.
    const std::optional<LoginCheck> check = UserStore(userFilePath()).checkLogin(Text1->text(), Text2->text());
    if (!check || !check->known)
        return false;
    m_currentUser = check->name.toUpper();
    return check->passwordRight;
}

void Form1::Command8_Click()
{
    if (!CheckPass())
        return;
    mnuLibrary->setEnabled(true);
    mnuLibrary->menuAction()->setEnabled(true);
    mnuCompose->setEnabled(true);
    mnuCompose->menuAction()->setEnabled(true);
    if (m_currentUser == kAdministrator) {
        mnuPassword->setEnabled(true);
        mnuWorkPath->setEnabled(true);
    }
    Frame1->hide();
    m_keys->setDefaultButton(nullptr);
}

void Form1::showUserPanel()
{
    Frame2->show();
}

void Form1::MSFlexGrid1_Click()
{
    const int r = MSFlexGrid1->Row();
    if (r >= 1) {
        Text3->setText(MSFlexGrid1->TextMatrix(r, 1));
        Text4->setText(MSFlexGrid1->TextMatrix(r, 2));
    }
    Mov();
}

void Form1::Mov()
{
    if (m_userStep->pending())
        return;
    const int r = MSFlexGrid1->Rows() > 1 ? MSFlexGrid1->Row() : 0;
    Command10->setEnabled(r >= 1);
    Command11->setEnabled(r >= 2);
}

void Form1::reportStoreError(const QString& error)
{
    reportError(m_prompt, QStringLiteral("用户文件保存失败：\n") + error);
}

void Form1::Command9_Click()
{
    if (!m_userStep->confirming(Command9)) {
        Text3->clear();
        Text4->clear();
        m_userStep->begin(Command9, {Command10, Command11});
        Text3->setFocus();
        return;
    }
    if (Text3->text().isEmpty()) {
        Text3->setFocus();
        return;
    }
    for (int row = 1; row < MSFlexGrid1->Rows(); ++row) {
        if (sameFileName(MSFlexGrid1->TextMatrix(row, 1), Text3->text())) {
            reportError(m_prompt, QStringLiteral("用户名重复，请重新输入！"));
            Text3->setFocus();
            return;
        }
    }
    QString error;
    if (!UserStore(userFilePath()).add({Text3->text(), Text4->text()}, &error)) {
        reportStoreError(error);
        return;
    }
    loadUsers();
    Command12_Click();
}

void Form1::Command10_Click()
{
    if (!m_userStep->confirming(Command10)) {
        m_userStep->begin(Command10, {Command9, Command11});
        return;
    }
    // A modified user must keep a name and have a password.
    if (Text3->text().isEmpty())
        Text3->setFocus();
    if (Text4->text().isEmpty())
        Text4->setFocus();
    if (Text3->text().isEmpty() || Text4->text().isEmpty())
        return;
    const int r = MSFlexGrid1->Row();
    for (int row = 1; row < MSFlexGrid1->Rows(); ++row) {
        if (row != r && sameFileName(MSFlexGrid1->TextMatrix(row, 1), Text3->text())) {
            reportError(m_prompt, QStringLiteral("用户名重复，请重新输入！"));
            Text3->setFocus();
            return;
        }
    }
    if (r >= 1 && r < MSFlexGrid1->Rows()) {
        QString error;
        if (!UserStore(userFilePath()).update(r - 1, {Text3->text(), Text4->text()}, &error)) {
            reportStoreError(error);
            return;
        }
    }
    Command12_Click();
    loadUsers();
}

void Form1::Command11_Click()
{
    if (!m_userStep->confirming(Command11)) {
        m_userStep->begin(Command11, {Command9, Command10});
        return;
    }
    const int r = MSFlexGrid1->Row();
    if (r >= 2 && r < MSFlexGrid1->Rows()) {
        QString error;
        if (!UserStore(userFilePath()).remove(r - 1, &error)) {
            reportStoreError(error);
            return;
        }
    }
    Command12_Click();
    loadUsers();
    Mov();
}

void Form1::Command12_Click()
{
    m_userStep->end();
    Command9->setEnabled(true);
    Command12->setEnabled(false);
    // Enter and Esc go back to the work-path panel when it is open.
    const bool pathPanel = Frame3->isVisibleTo(this);
    m_keys->setDefaultButton(pathPanel ? Command14 : nullptr);
    m_keys->setCancelButton(pathPanel ? Command15 : nullptr);
    Mov();
}

void Form1::Command13_Click()
{
    Frame2->hide();
}

// ---------------------------------------------------------------------------------------
// Navigation

void Form1::Command1_Click()
{
    Q_EMIT showBanks();
}
void Form1::Command2_Click()
{
    Q_EMIT showAutoCompose();
}
void Form1::Command3_Click()
{
    Q_EMIT showLibrary();
}
void Form1::Command6_Click()
{
    Q_EMIT showManualCompose();
}
void Form1::Command5_Click()
{
    Q_EMIT exitRequested();
}

void Form1::Command4_Click()
{
    about()->show();
    about()->raise();
    about()->activateWindow();
}

void Form1::mnuHelp_Click()
{
    Q_EMIT showHelp();
}

}  // namespace qm
