#include "app/app.h"

#include "composer/form3.h"
#include "composer/form5.h"
#include "core/guide.h"
#include "core/workspace.h"
#include "editor/form2.h"
#include "library/form7.h"
#include "shell/form1.h"
#include "shell/form6.h"
#include "shell/help_window.h"
#include "widgets/timer_pause.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QProcess>

namespace qm {

namespace {

// Shows a window and brings it to the front.
void bringToFront(QWidget* window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace

App::App(Workspace& workspace, Prompt& prompt, QObject* parent)
    : QObject(parent), m_ws(workspace), m_prompt(prompt), m_form1(std::make_unique<Form1>(workspace, prompt)),
      m_form2(std::make_unique<Form2>(workspace, prompt)), m_form3(std::make_unique<Form3>(workspace, prompt)),
      m_form5(std::make_unique<Form5>(workspace, prompt)), m_form6(std::make_unique<Form6>()),
      m_form7(std::make_unique<Form7>(workspace, prompt)),
      m_help(std::make_unique<HelpWindow>(
          findGuide(guideDirs(QCoreApplication::applicationDirPath(), workspace.ProgramDir())), prompt)),
      m_quit([](bool restart) {
          if (restart)
              QProcess::startDetached(QCoreApplication::applicationFilePath(), {});
          QCoreApplication::exit(0);
      })
{
    for (QWidget* window : std::initializer_list<QWidget*>{m_form2.get(), m_form3.get(), m_form5.get(), m_form7.get()})
        pauseTimersWhileHidden(window);
    wire();
}

App::~App() = default;

void App::wire()
{
    Form1* form1 = m_form1.get();
    Form2* form2 = m_form2.get();
    Form3* form3 = m_form3.get();
    Form5* form5 = m_form5.get();
    Form6* form6 = m_form6.get();
    Form7* form7 = m_form7.get();
    HelpWindow* help = m_help.get();
    // Start-up has set the bank root: the bank window rebuilds its subject lists from it.
    connect(form1, &Form1::bankRootReady, form2, &Form2::attachBankRoot);
    // 题库录入: the bank window.
    connect(form1, &Form1::showBanks, form2, [form2] { bringToFront(form2); });
    // "退　出" of the bank window: back to the main window.
    connect(form2, &Form2::showMainWindow, form1, [form1] { bringToFront(form1); });
    // 智能组卷: the composition window opens with the bank window's subjects.
    const auto subjects = [form2] {
        QStringList names;
        for (int i = 0; i < form2->Combo1->count(); ++i)
            names << form2->Combo1->itemText(i);
        return names;
    };
    connect(form1, &Form1::showAutoCompose, form3, [form3, subjects] {
        form3->open(subjects());
        bringToFront(form3);
    });
    // 手工组卷: the manual composition window, as it was left when a paper is under way.
    connect(form1, &Form1::showManualCompose, form5, [form5, subjects] {
        bringToFront(form5);
        form5->open(subjects());
    });
    connect(form5, &Form5::bankChosen, form2, &Form2::followBank);
    // "显示题库信息": the bank-information window shows the statistics.
    connect(form5, &Form5::bankInformation, form6, [form6](const selection::BankInformation& information) {
        form6->showBankInformation(information);
        bringToFront(form6);
    });
    // The bank window follows the subject and bank chosen for composing.
    connect(form3, &Form3::bankChosen, form2, &Form2::followBank);
    // "退　出" of the composition window hides the bank window too.
    connect(form3, &Form3::closed, form2, &QWidget::hide);
    // The paper library lists the subjects of the bank window, from start-up on.
    connect(form2, &Form2::subjectsRefreshed, form7, &Form7::setSubjects);
    // 试卷管理: the paper-library window.
    connect(form1, &Form1::showLibrary, form7, [form7] {
        form7->open();
        bringToFront(form7);
    });
    // "试卷存档" / "试卷存储管理": the composed paper (or the A and the B paper) waits in the
    // library window to be filed; filing records the uses of its questions.
    const auto toLibrary = [form7](PaperOrigin origin) {
        return [form7, origin](const QList<ComposedPaper>& papers) {
            if (form7->receivePapers(papers, origin))
                bringToFront(form7);
        };
    };
    connect(form3, &Form3::archivePaper, form7, toLibrary(PaperOrigin::Automatic));
    connect(form5, &Form5::archivePaper, form7, toLibrary(PaperOrigin::Manual));
    // "帮助": the user guide from its start; "格式说明" of the import description: at the
    // batch file format.
    connect(form1, &Form1::showHelp, help, [help] { help->showSection(QString()); });
    connect(form2, &Form2::guideRequested, help, &HelpWindow::showSection);
    // "退出系统" ends the program at once: no window is asked whether it may close.
    connect(form1, &Form1::exitRequested, this, [this] { m_quit(false); });
    // A new work path takes effect in a new instance of the program.
    connect(form1, &Form1::restartRequested, this, [this] { m_quit(true); });
}

void App::start()
{
    m_form1->Form_Load();
    m_form1->show();
}

}  // namespace qm
