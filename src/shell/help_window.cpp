#include "shell/help_window.h"

#include "core/guide.h"
#include "core/prompt.h"
#include "shell/artwork.h"
#include "widgets/controls.h"
#include "widgets/report_error.h"

#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace qm {

namespace {

constexpr int kAnchorRole = Qt::UserRole;

}  // namespace

HelpWindow::HelpWindow(const QString& guideFile, Prompt& prompt, QWidget* parent)
    : QWidget(parent, Qt::Window), m_prompt(prompt), m_guideFile(guideFile)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("使用说明"));
    setWindowIcon(programIcon());

    Contents = new QTreeWidget(this);
    Contents->setObjectName(QStringLiteral("Contents"));
    Contents->setHeaderLabel(QStringLiteral("目录"));
    Contents->header()->setStretchLastSection(true);
    Browser = new QTextBrowser(this);
    Browser->setObjectName(QStringLiteral("Browser"));
    Browser->setOpenExternalLinks(true);
    Text1 = makeLineEdit(this, QStringLiteral("Text1"));
    Text1->setPlaceholderText(QStringLiteral("要查找的字词"));
    Text1->setClearButtonEnabled(true);
    Command1 = makeButton(this, QStringLiteral("Command1"), QStringLiteral("查　找"));
    Command2 = makeButton(this, QStringLiteral("Command2"), QStringLiteral("目　录"));
    Command3 = makeButton(this, QStringLiteral("Command3"), QStringLiteral("关　闭"));
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));

    auto* search = new QHBoxLayout;
    search->addWidget(new QLabel(QStringLiteral("查找"), this));
    search->addWidget(Text1, 1);
    search->addWidget(Command1);
    search->addWidget(Label1, 1);
    search->addWidget(Command2);
    search->addWidget(Command3);
    auto* split = new QSplitter(this);
    split->addWidget(Contents);
    split->addWidget(Browser);
    split->setStretchFactor(1, 1);
    split->setSizes({260, 740});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(search);
    layout->addWidget(split, 1);

    connect(Command1, &QPushButton::clicked, this, &HelpWindow::Command1_Click);
    connect(Text1, &QLineEdit::returnPressed, this, &HelpWindow::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &HelpWindow::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &HelpWindow::Command3_Click);
    connect(Contents, &QTreeWidget::itemClicked, this, &HelpWindow::Contents_Click);
    sizeToScreen(this, QSize(1000, 720));
}

void HelpWindow::load()
{
    if (m_loaded)
        return;
    QFile file(m_guideFile);
    if (m_guideFile.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        reportError(m_prompt, QStringLiteral("找不到使用说明的文件（guide/index.html），请重新安装本程序。"));
        return;
    }
    m_loaded = true;
    const QString html = QString::fromUtf8(file.readAll());
    Browser->setSource(QUrl::fromLocalFile(m_guideFile), QTextDocument::HtmlResource);
    QTreeWidgetItem* chapter = nullptr;
    for (const GuideHeading& h : guideHeadings(html)) {
        auto* item = h.level == 1 || !chapter ? new QTreeWidgetItem(Contents) : new QTreeWidgetItem(chapter);
        item->setText(0, h.title);
        item->setData(0, kAnchorRole, h.anchor);
        if (h.level == 1)
            chapter = item;
    }
}

void HelpWindow::showSection(const QString& anchor)
{
    load();
    show();
    raise();
    activateWindow();
    if (!m_loaded)
        return;
    if (anchor.isEmpty()) {
        Command2_Click();
        return;
    }
    Browser->scrollToAnchor(anchor);
    for (QTreeWidgetItemIterator it(Contents); *it; ++it) {
        if ((*it)->data(0, kAnchorRole).toString() == anchor) {
            Contents->setCurrentItem(*it);
            break;
        }
    }
}

void HelpWindow::Command1_Click()
{
    const QString words = Text1->text().trimmed();
    if (words.isEmpty() || !m_loaded)
        return;
    // From the cursor on, then once more from the start.
    bool found = Browser->find(words);
    bool wrapped = false;
    if (!found) {
        QTextCursor start(Browser->document());
        Browser->setTextCursor(start);
        found = Browser->find(words);
        wrapped = found;
    }
    if (!found)
        Label1->setText(QStringLiteral("找不到“%1”。").arg(words));
    else
        Label1->setText(wrapped ? QStringLiteral("已从头查起。") : QString());
}

void HelpWindow::Command2_Click()
{
    Browser->setTextCursor(QTextCursor(Browser->document()));
    Browser->ensureCursorVisible();
    Contents->setCurrentItem(Contents->topLevelItem(0));
}

void HelpWindow::Command3_Click()
{
    hide();
}

void HelpWindow::Contents_Click(QTreeWidgetItem* item)
{
    if (item)
        Browser->scrollToAnchor(item->data(0, kAnchorRole).toString());
}

}  // namespace qm
