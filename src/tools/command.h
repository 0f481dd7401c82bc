#pragma once
// A qmtool command: its name, a one-line usage and the function that runs it. Each
// cmd_*.cpp file adds its commands to the list that main() builds; a command that needs
// the program directory captures the workspace it is handed.

#include <QDate>
#include <QStringList>
#include <functional>
#include <optional>

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
void addDrawCommands(QList<Command>& list, Workspace& workspace);
void addImportCommands(QList<Command>& list, Workspace& workspace);
void addLibraryCommands(QList<Command>& list, Workspace& workspace);
void addPaperCommands(QList<Command>& list, Workspace& workspace);
void addRtfCommands(QList<Command>& list, Workspace& workspace);
void addServerCommands(QList<Command>& list, Workspace& workspace);
void addSearchCommands(QList<Command>& list, Workspace& workspace);

// Writes text as UTF-8 to stdout / stderr.
void out(const QString& text);
void err(const QString& text);

// Every message qmtool writes about a failure or a wrong call starts with "qmtool".

// A command that could not do its work: says "qmtool: MESSAGE" on stderr and returns 1,
// the exit code of a failure.
int failure(const QString& message);

// A wrong call of command `name`: says "qmtool NAME: PROBLEM" and the command's usage on
// stderr and returns 2, the exit code of a wrong call.
int usageError(const QString& name, const QString& usage, const QString& problem);

// The arguments that are not options, and whether the one option `flag` (a switch without a
// value) is among them; nothing, with the option named in `unknown`, when another option is.
struct FilesAndFlag {
    QStringList files;
    bool flag = false;
};
std::optional<FilesAndFlag> filesAndFlag(const QStringList& args, const QString& flag, QString* unknown);

// A text as one field of a tab-separated line: a tab, a line break or another control
// character, which would break the line, becomes a space.
QString oneField(QString text);

// The date a YYYY-MM-DD argument names; nothing when it is not one.
std::optional<QDate> isoDate(const QString& text);

// One line for each command, its name and its usage, under a few lines on calling qmtool.
QString commandList(const QList<Command>& commands);

}  // namespace qm::tool
