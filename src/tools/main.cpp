// qmtool: command-line work on the program's files, for scripts and for the build.

#include "core/workspace.h"
#include "tools/command.h"

#include <QGuiApplication>
#include <cstdio>

namespace qm::tool {

void out(const QString& text)
{
    const QByteArray b = text.toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), stdout);
}

void err(const QString& text)
{
    const QByteArray b = text.toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), stderr);
}

}  // namespace qm::tool

namespace {

int usage(const QList<qm::tool::Command>& commands)
{
    QString text = QStringLiteral("usage: qmtool COMMAND [ARGS]\ncommands:\n");
    for (const auto& c : commands)
        text += QStringLiteral("  ") + c.name + QLatin1Char(' ') + c.usage + QLatin1Char('\n');
    qm::tool::err(text);
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    // Documents with pictures and fonts need a GUI application object; no display is used.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // The program directory is qmtool's own, which is the program's (both are built there).
    qm::Workspace workspace(QCoreApplication::applicationDirPath());
    QList<qm::tool::Command> commands;
    qm::tool::addBankCommands(commands, workspace);
    qm::tool::addBuildCommands(commands, workspace);
    qm::tool::addComposeCommands(commands, workspace);
    qm::tool::addImportCommands(commands, workspace);
    qm::tool::addLibraryCommands(commands, workspace);
    qm::tool::addPaperCommands(commands, workspace);
    qm::tool::addRtfCommands(commands, workspace);

    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty())
        return usage(commands);
    for (const auto& c : commands)
        if (c.name == args.first())
            return c.run(args.mid(1));
    qm::tool::err(QStringLiteral("qmtool: unknown command '%1'\n").arg(args.first()));
    return usage(commands);
}
