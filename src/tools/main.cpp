// qmtool: command-line work on the program's files, for scripts and for the build.

#include "core/version.h"
#include "core/workspace.h"
#include "rtf/fonts.h"
#include "tools/command.h"
#include "tools/help.h"

#include <QGuiApplication>

int main(int argc, char** argv)
{
    // Documents with pictures and fonts need a GUI application object; no display is used.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // Documents are laid out in the fonts the program shows them in.
    qm::setUpFonts();
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.value(0) == QLatin1String("--version")) {
        qm::tool::out(QStringLiteral("qmtool ") + QString::fromUtf16(qm::kVersion) + QLatin1Char('\n'));
        return 0;
    }
    // The program's directory, found as the program finds it (both are built and
    // installed together).
    QString dirError;
    qm::Workspace workspace(qm::Workspace::programDirForExecutable(QCoreApplication::applicationDirPath(), &dirError));
    if (!dirError.isEmpty())
        qm::tool::err(QStringLiteral("qmtool: ") + dirError + QLatin1Char('\n'));
    QList<qm::tool::Command> commands;
    qm::tool::addBankCommands(commands, workspace);
    qm::tool::addBuildCommands(commands, workspace);
    qm::tool::addDrawCommands(commands, workspace);
    qm::tool::addImportCommands(commands, workspace);
    qm::tool::addLibraryCommands(commands, workspace);
    qm::tool::addPaperCommands(commands, workspace);
    qm::tool::addRtfCommands(commands, workspace);
    qm::tool::addServerCommands(commands, workspace);
    qm::tool::addSearchCommands(commands, workspace);

    // Asked for: the list on stdout. Called wrongly: the list on stderr, exit code 2.
    const QString first = args.value(0);
    if (first == QLatin1String("--help") || first == QLatin1String("-h") || first == QLatin1String("help")) {
        // "help COMMAND": that command's usage, what it does and an example.
        if (args.size() > 1) {
            for (const auto& c : commands)
                if (c.name == args[1]) {
                    qm::tool::out(qm::tool::commandHelp(c));
                    return 0;
                }
            qm::tool::err(QStringLiteral("qmtool help: unknown command '%1'\n").arg(args[1])
                          + qm::tool::commandList(commands));
            return 2;
        }
        qm::tool::out(qm::tool::commandList(commands));
        return 0;
    }
    if (args.isEmpty()) {
        qm::tool::err(qm::tool::commandList(commands));
        return 2;
    }
    for (const auto& c : commands)
        if (c.name == first)
            return c.run(args.mid(1));
    qm::tool::err(QStringLiteral("qmtool: unknown command '%1'\n").arg(first) + qm::tool::commandList(commands));
    return 2;
}
