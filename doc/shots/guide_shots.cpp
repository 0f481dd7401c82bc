// guide_shots: the pictures of the user guide, taken from the real program.
//
//   guide_shots OUTDIR     every picture as OUTDIR/NAME.png
//   guide_shots --list     the names of the pictures, one a line
//
// The program runs in a temporary program directory made from the shipped files beside
// this program, as on a teacher's first day: it logs in as SYSTEM, goes through the windows
// the guide describes and takes each window as it is drawn (without the desktop's frame).
// "make guide-shots" runs it under Xvfb on a 1024×768 screen into doc/guide/shots.

#include "app/app.h"
#include "bankstore/bank_file.h"
#include "bankstore/paper_library.h"
#include "composer/browse_panel.h"
#include "composer/candidate_panel.h"
#include "composer/contents_panel.h"
#include "composer/criteria_panel.h"
#include "composer/form3.h"
#include "composer/form5.h"
#include "composer/manual_bank_panel.h"
#include "composer/paper_panel.h"
#include "composer/plan_panel.h"
#include "core/prompt.h"
#include "core/workspace.h"
#include "editor/bank_panel.h"
#include "editor/duplicates_window.h"
#include "editor/entry_pane.h"
#include "editor/form2.h"
#include "editor/form4.h"
#include "editor/subject_panel.h"
#include "library/form7.h"
#include "rtf/fonts.h"
#include "rtf/rich_text.h"
#include "rtf/rtf_text.h"
#include "shell/form1.h"
#include "shell/form6.h"
#include "shell/form8.h"
#include "shell/help_window.h"
#include "widgets/filelists.h"
#include "widgets/search_panel.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTextStream>
#include <QThread>
#include <QTreeWidget>
#include <cstdio>
#include <functional>

using namespace qm;

namespace {

// Answers every question as its default button would and every dialog with the file set
// for it; says on stderr what was asked, so that a picture never hides a message.
class ShotPrompt : public Prompt {
public:
    QString nextFile;
    QStringList said;
    Answer message(const QString& text, const QString&, Icon, Buttons buttons, std::optional<Answer> def) override
    {
        said << text;
        if (def)
            return *def;
        return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::Yes : Answer::Ok;
    }
    std::optional<QString> input(const QString& text, const QString&, const QString& defaultText) override
    {
        said << text;
        return defaultText;
    }
    QString openFile(const QString&, const QString&) override { return nextFile; }
    QString saveFile(const QString&, const QString&, const QString&) override { return nextFile; }
    QString chooseDirectory(const QString&, const QString& start) override { return start; }
};

void settle()
{
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
        QThread::msleep(20);
    }
}

// The window as it is drawn; with `menu`, the menu dropped down over it.
QImage picture(QWidget* window, QMenu* menu = nullptr)
{
    window->show();
    window->raise();
    settle();
    QImage image = window->grab().toImage();
    if (menu) {
        QMenuBar* bar = static_cast<QMainWindow*>(window)->menuBar();
        const QPoint at = bar->mapTo(window, bar->actionGeometry(menu->menuAction()).bottomLeft());
        menu->popup(window->mapToGlobal(at));
        settle();
        QPainter painter(&image);
        painter.drawPixmap(at, menu->grab());
        menu->hide();
    }
    return image;
}

struct Shot {
    QString name;
    std::function<QImage()> take;
};

void choose(CandidatePanel* panel, QPushButton* open)
{
    open->click();
    panel->chooseAll->click();
    panel->close->click();
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    setUpFonts();
    const QStringList args = QApplication::arguments().mid(1);
    if (args.size() != 1) {
        std::fputs("usage: guide_shots OUTDIR | --list\n", stderr);
        return 2;
    }

    // A first day: the shipped files beside this program, no work path yet.
    QTemporaryDir dir;
    const QString programDir = dir.path() + QLatin1Char('/');
    const QString shipped = QApplication::applicationDirPath() + QLatin1Char('/');
    for (const QString& name : Workspace::shippedFiles())
        QFile::copy(shipped + name, programDir + name);
    QFile::link(shipped + QStringLiteral("guide"), programDir + QStringLiteral("guide"));
    Workspace workspace(programDir);
    ShotPrompt prompt;
    App app(workspace, prompt);
    app.setQuit([](bool) {});
    Form1& main = *app.mainWindow();
    Form2& banks = *app.bankWindow();
    Form3& compose = *app.autoComposeWindow();
    Form5& manual = *app.manualComposeWindow();
    Form7& library = *app.libraryWindow();
    const QString subjectDir = programDir + QStringLiteral("tiku/样板学科/");
    const auto hideAll = [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            w->hide();
    };

    const QList<Shot> shots = {
        {QStringLiteral("login"),
         [&] {
             app.start();
             main.Text1->setText(QStringLiteral("SYSTEM"));
             return picture(&main);
         }},
        {QStringLiteral("main-menu"),
         [&] {
             main.Command8->click();
             return picture(&main, main.mnuLibrary);
         }},
        {QStringLiteral("users"),
         [&] {
             main.showUserPanel();
             return picture(&main);
         }},
        {QStringLiteral("workpath"),
         [&] {
             main.Command13->click();
             main.showWorkPathPanel();
             return picture(&main);
         }},
        {QStringLiteral("about"),
         [&] {
             main.Command15->click();
             return picture(main.about());
         }},
        {QStringLiteral("banks"),
         [&] {
             hideAll();
             main.mnuBanks->trigger();
             banks.File1->clickItem(0);
             return picture(&banks);
         }},
        {QStringLiteral("subjects"),
         [&] {
             banks.Frame1->Command9->click();
             return picture(&banks);
         }},
        {QStringLiteral("lists"),
         [&] {
             banks.Frame3->Command14_Click();  // 学科管理 closed
             banks.Frame1->Command4_Click();
             return picture(&banks);
         }},
        {QStringLiteral("entry"),
         [&] {
             banks.Frame1->Command4_Click();  // the lists closed
             banks.Frame1->Command27_Click();
             banks.Frame7->Command30_Click();  // the first question
             return picture(&banks);
         }},
        {QStringLiteral("search"),
         [&] {
             banks.Frame7->Search->Text90->setText(QStringLiteral("光合作用"));
             banks.Frame7->Search->Command90->click();
             QTreeWidget* found = banks.Frame7->Search->List90;
             found->setCurrentItem(found->topLevelItem(0));
             return picture(&banks);
         }},
        {QStringLiteral("duplicates"),
         [&] {
             // A question entered a second time with a changed word, as happens when two
             // teachers type the same question.
             BankFile bank(banks.bankPath());
             Question again = bank.read(0)->question;
             const QString text = rtfText(again.text);
             again.text = rtfFromPlainText(text.left(text.size() - 4) + QStringLiteral("。"));
             const int position = bank.add(again).value_or(-1);
             banks.Frame7->Command65->click();
             DuplicatesWindow* window = banks.duplicatesWindow();
             window->Combo1->setCurrentIndex(window->Combo1->findText(QStringLiteral("85%")));
             window->Command1->click();
             const QImage shot = picture(window);
             // The later pictures show the sample bank as shipped.
             bank.remove(position);
             window->close();
             return shot;
         }},
        {QStringLiteral("import-format"),
         [&] {
             banks.Frame1->Command60->click();
             return picture(banks.form4());
         }},
        {QStringLiteral("auto-criteria"),
         [&] {
             hideAll();
             main.mnuAuto->trigger();
             CriteriaPanel& c = *compose.Criteria;
             choose(c.TypePanel, c.Command23);
             choose(c.ChapterPanel, c.Command25);
             choose(c.DifficultyPanel, c.Command35);
             c.Check5->click();
             return picture(&compose);
         }},
        {QStringLiteral("auto-plan"),
         [&] {
             compose.Command45->click();
             prompt.nextFile = subjectDir + QStringLiteral("样例方案.faa");
             compose.Plans->Command46->click();
             return picture(&compose);
         }},
        {QStringLiteral("auto-grid"),
         [&] {
             compose.Plans->Command47->click();
             return picture(&compose);
         }},
        {QStringLiteral("auto-drawn"),
         [&] {
             compose.Command5->click();
             compose.Contents->Command41->click();
             return picture(&compose);
         }},
        {QStringLiteral("header"),
         [&] {
             compose.Command6->click();
             return picture(&compose);
         }},
        {QStringLiteral("paper"),
         [&] {
             compose.assemble();
             return picture(&compose);
         }},
        {QStringLiteral("library"),
         [&] {
             PaperLibrary::createFromTemplate(programDir + QStringLiteral("jk.jk"),
                                              subjectDir + QStringLiteral("高一生物.Juk"));
             library.open();
             compose.Paper->Command14->click();
             library.File1->selectFile(QStringLiteral("高一生物.Juk"));
             library.File1->clickItem(library.File1->ListIndex());
             return picture(&library);
         }},
        {QStringLiteral("manual"),
         [&] {
             hideAll();
             main.mnuManual->trigger();
             manual.Browse->Command5->click();
             manual.Browse->Command3->click();
             manual.Browse->Command5->click();
             return picture(&manual);
         }},
        {QStringLiteral("manual-paper"),
         [&] {
             manual.Command7->click();
             return picture(&manual);
         }},
        {QStringLiteral("bank-info"),
         [&] {
             manual.Command17->click();
             return picture(app.bankInformationWindow());
         }},
        {QStringLiteral("help"),
         [&] {
             hideAll();
             main.mnuHelp->trigger();
             return picture(app.helpWindow());
         }},
    };

    if (args[0] == QLatin1String("--list")) {
        for (const Shot& shot : shots)
            std::printf("%s\n", qPrintable(shot.name));
        return 0;
    }
    QDir().mkpath(args[0]);
    int failures = 0;
    for (const Shot& shot : shots) {
        prompt.said.clear();
        const QImage image = shot.take();
        const QString file = args[0] + QLatin1Char('/') + shot.name + QStringLiteral(".png");
        if (!prompt.said.isEmpty()) {
            std::fprintf(stderr, "guide_shots: %s: a message was shown: %s\n", qPrintable(shot.name),
                         qPrintable(prompt.said.join(QStringLiteral(" / "))));
            ++failures;
        }
        if (image.isNull() || !image.save(file)) {
            std::fprintf(stderr, "guide_shots: cannot write %s\n", qPrintable(file));
            ++failures;
        }
    }
    hideAll();
    return failures == 0 ? 0 : 1;
}
