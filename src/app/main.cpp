// The program: sets up the application, builds the windows, wires their hand-offs and
// runs the main window's start-up.

#include "core/paths.h"
#include "core/prompt.h"
#include "editor/form2.h"
#include "import/bank_window_actions.h"
#include "shell/form1.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QProcess>
#include <QTranslator>
#include <cstdio>

namespace {

// Without a display Qt aborts with a long trace; say in one line what to do instead.
bool haveDisplay()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return true;
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

}  // namespace

int main(int argc, char** argv)
{
    if (!haveDisplay()) {
        std::fputs("No display found: run 'xvfb-run make run', or start the program from a desktop session.\n",
                   stderr);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quellmark"));

    // Standard buttons and file dialogs speak Chinese.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                          QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    qm::setProgramDir(QApplication::applicationDirPath());
    qm::QtPrompt prompt;

    qm::Form1 form1(prompt);
    qm::Form2 form2(prompt);
    qm::BankWindowActions bankActions(form2, prompt);
    // Start-up points the bank window at the bank root; it rebuilds the subject lists.
    QObject::connect(&form1, &qm::Form1::bankRootReady, &form2, &qm::Form2::attachBankRoot);
    QObject::connect(&form1, &qm::Form1::showBanks, &form2, [&form2] {
        form2.show();
        form2.raise();
        form2.activateWindow();
    });
    QObject::connect(&form2, &qm::Form2::showMainWindow, &form1, [&form1] {
        form1.show();
        form1.raise();
        form1.activateWindow();
    });
    // "退出系统" ends the program at once: no window is asked whether it may close.
    QObject::connect(&form1, &qm::Form1::exitRequested, &app, [] { QCoreApplication::exit(0); });
    // A new work path takes effect in a new instance of the program.
    QObject::connect(&form1, &qm::Form1::restartRequested, &app, [] {
        QProcess::startDetached(QCoreApplication::applicationFilePath(), {});
        QCoreApplication::exit(0);
    });

    form1.Form_Load();
    form1.show();
    return app.exec();
}
