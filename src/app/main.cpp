// The program: a Qt application speaking Chinese, around App.

#include "app/app.h"
#include "core/workspace.h"
#include "rtf/fonts.h"
#include "widgets/qtprompt.h"
#include "widgets/report_error.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdio>

int main(int argc, char** argv)
{
    // Without a display Qt aborts with a long trace; say in one line what to do instead.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        std::fputs("No display found: run 'xvfb-run make run', or start the program from a desktop session.\n", stderr);
        return 1;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quellmark"));
    // Standard buttons and file dialogs speak Chinese.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);
    // The same clear Chinese type whatever else is installed, unless the desktop chose a font.
    qm::setUpFonts();

    QString dirError;
    qm::Workspace workspace(qm::Workspace::programDirForExecutable(QApplication::applicationDirPath(), &dirError));
    qm::QtPrompt prompt;
    if (!dirError.isEmpty())
        qm::reportError(prompt, dirError);
    qm::App app(workspace, prompt);
    // File dialogs open in the chosen subject's directory, where its banks and plans are (in
    // the program directory when the banks are on a database server).
    prompt.setStartDirectory([&workspace] {
        if (workspace.banksOnServer())
            return workspace.ProgramDir();
        return workspace.SubjectDir().isEmpty() ? workspace.BankRoot() : workspace.SubjectDir();
    });
    app.start();
    return QApplication::exec();
}
