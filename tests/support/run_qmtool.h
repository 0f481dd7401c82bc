#pragma once
// Runs the built qmtool (its path is QM_QMTOOL, defined by the test programs that use it)
// and collects what it says.

#include <QProcess>
#include <QStringList>
#include <gtest/gtest.h>

namespace qm::test {

struct ToolRun {
    int exitCode = -1;
    QString out, err;
};

inline ToolRun qmtool(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(QM_QMTOOL), args);
    EXPECT_TRUE(p.waitForFinished(60000));
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

}  // namespace qm::test
