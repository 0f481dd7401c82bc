#pragma once
// A qmtool command: its name, a one-line usage and the function that runs it.
// Each cmd_*.cpp file registers its commands with a static QmToolCommand.

#include <QStringList>
#include <functional>

namespace qm::tool {

// Runs with the command's arguments (the command name removed); returns the exit code.
using CommandFn = std::function<int(const QStringList& args)>;

struct Command {
    QString name;
    QString usage;
    CommandFn run;
};

QList<Command>& commands();

struct Register {
    Register(QString name, QString usage, CommandFn run)
    {
        commands().append({std::move(name), std::move(usage), std::move(run)});
    }
};

// Writes text as UTF-8 to stdout / stderr.
void out(const QString& text);
void err(const QString& text);

}  // namespace qm::tool
