// qmtool: command-line work on the program's files, for scripts and for the build.

#include "core/version.h"
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
    QString text = QStringLiteral("usage: qmtool COMMAND [ARGS]\n       qmtool --version\ncommands:\n");
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
    qm::tool::addComposeCommands(commands, workspace);
    qm::tool::addImportCommands(commands, workspace);
    qm::tool::addLibraryCommands(commands, workspace);
    qm::tool::addPaperCommands(commands, workspace);
    qm::tool::addRtfCommands(commands, workspace);

    if (args.isEmpty())
        return usage(commands);
    for (const auto& c : commands)
        if (c.name == args.first())
            return c.run(args.mid(1));
    qm::tool::err(QStringLiteral("qmtool: unknown command '%1'\n").arg(args.first()));
    return usage(commands);
}
