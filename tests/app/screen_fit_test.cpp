// Every window opens on a school computer's 1024×768 screen with room for the taskbar:
// no larger than 1024×700 with everything reachable, also with its largest pane open.

#include "app/app.h"
#include "composer/criteria_panel.h"
#include "composer/form3.h"
#include "composer/form5.h"
#include "editor/bank_panel.h"
#include "editor/entry_pane.h"
#include "editor/form2.h"
#include "editor/form4.h"
#include "library/form7.h"
#include "library/library_copy_in_panel.h"
#include "library/library_panel.h"
#include "shell/form1.h"
#include "shell/form6.h"
#include "shell/form8.h"
#include "support/scripted_prompt.h"
#include "support/temp_dirs.h"
#include "widgets/controls.h"
#include "widgets/filelists.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <gtest/gtest.h>

using namespace qm;
using namespace qm::test;

namespace {

// The smallest size the window's layout allows.
QSize smallest(QWidget* w)
{
    w->ensurePolished();
    QApplication::processEvents();  // layouts take in what was shown or hidden
    QSize s = w->minimumSizeHint().expandedTo(w->minimumSize());
    return s;
}

// The window can be made as small as a 1024×768 screen needs.
void expectFits(QWidget* w)
{
    const QSize s = smallest(w);
    EXPECT_LE(s.width(), 1024) << w->objectName().toStdString() << " " << s.width() << "x" << s.height();
    EXPECT_LE(s.height(), 700) << w->objectName().toStdString() << " " << s.width() << "x" << s.height();
}

}  // namespace

TEST(ScreenFit, WindowsOpenWithinTheScreenAndGrowOnALargeOne)
{
    EXPECT_EQ(sizeOnScreen({1200, 820}, {1024, 768}), QSize(1024, 700));
    EXPECT_EQ(sizeOnScreen({1200, 820}, {1366, 728}), QSize(1200, 660));
    EXPECT_EQ(sizeOnScreen({1200, 820}, {1920, 1040}), QSize(1200, 820));
}

TEST(ScreenFit, EveryWindowFitsA1024By768Screen)
{
    TempProgramDir dir;
    ScriptedPrompt prompt;
    App app(dir.workspace, prompt);
    app.start();
    prompt.verify();

    expectFits(app.mainWindow());
    app.mainWindow()->Text1->setText("SYSTEM");
    app.mainWindow()->Command8->click();
    app.mainWindow()->showUserPanel();
    app.mainWindow()->showWorkPathPanel();
    expectFits(app.mainWindow());
    expectFits(app.mainWindow()->about());

    Form2* banks = app.bankWindow();
    banks->show();
    ASSERT_GT(banks->File1->ListCount(), 0);
    banks->File1->clickItem(0);
    expectFits(banks);
    // The entry pane and every panel of the left column open at once: the largest state.
    banks->Frame1->Command27->click();
    banks->Frame1->Command9->click();
    banks->Frame1->Command42->click();
    banks->Frame1->Command41->click();
    expectFits(banks);
    expectFits(banks->form4());
    Form6 info;
    expectFits(&info);

    // The composition window with a pop-up panel open, and with the drawn questions.
    Form3* compose = app.autoComposeWindow();
    app.mainWindow()->mnuAuto->trigger();
    expectFits(compose);
    compose->Criteria->Command23->click();
    expectFits(compose);
    compose->Command44->click();
    expectFits(compose);
    compose->Command5->click();
    expectFits(compose);
    compose->Command6->click();
    expectFits(compose);
    compose->assemble();
    expectFits(compose);

    // The manual composition window with both side panels, the header and the paper.
    Form5* manual = app.manualComposeWindow();
    app.mainWindow()->mnuManual->trigger();
    expectFits(manual);
    manual->Command18->click();
    manual->Command25->click();
    expectFits(manual);
    manual->Command6->click();
    expectFits(manual);
    manual->Command7->click();
    expectFits(manual);

    // The paper library with its largest panel, the copy-in panel, open.
    Form7* library = app.libraryWindow();
    app.mainWindow()->mnuPapers->trigger();
    expectFits(library);
    library->Library->Command7->click();
    ASSERT_FALSE(library->Frame2->isHidden());
    expectFits(library);
    for (QWidget* w : QApplication::topLevelWidgets())
        w->hide();
}
