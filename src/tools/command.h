#pragma once
// A qmtool command: its name, a one-line usage and the function that runs it. Each
// cmd_*.cpp file adds its commands to the list that main() builds; a command that needs
// the program directory captures the workspace it is handed.

#include <QStringList>
#include <functional>

namespace qm {
class Workspace;
}

namespace qm::tool {

// Runs with the command's arguments (the command name removed); returns the exit code.
using CommandFn = std::function<int(const QStringList& args)>;

struct Command {
    QString name;
    QString usage;
    CommandFn run;
};

void addBankCommands(QList<Command>& list, Workspace& workspace);
void addBuildCommands(QList<Command>& list, Workspace& workspace);
void addComposeCommands(QList<Command>& list, Workspace& workspace);
void addImportCommands(QList<Command>& list, Workspace& workspace);
void addLibraryCommands(QList<Command>& list, Workspace& workspace);
void addPaperCommands(QList<Command>& list, Workspace& workspace);
void addRtfCommands(QList<Command>& list, Workspace& workspace);

// Writes text as UTF-8 to stdout / stderr.
void out(const QString& text);
void err(const QString& text);

}  // namespace qm::tool
