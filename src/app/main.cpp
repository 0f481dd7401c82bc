// The program: sets up the application, builds the windows, wires their hand-offs and
// shows the main window.

#include "core/paths.h"
#include "core/prompt.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QMainWindow>
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

    QMainWindow main;
    main.setWindowTitle(QStringLiteral("Quellmark1.80"));
    main.resize(800, 600);
    main.show();
    return app.exec();
}
