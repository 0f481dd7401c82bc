#include "core/workspace.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace qm;

TEST(Workspace, DirectoriesEndWithOneSeparatorAndASubjectChangeIsSignalledOnce)
{
    Workspace ws(QStringLiteral("/opt/qm"));
    EXPECT_EQ(ws.ProgramDir(), QStringLiteral("/opt/qm/"));
    ws.setBankRoot(QStringLiteral("/srv/share/tiku/"));
    EXPECT_EQ(ws.BankRoot(), QStringLiteral("/srv/share/tiku/"));
    EXPECT_EQ(ws.SubjectDir(), QString());

    QSignalSpy changed(&ws, &Workspace::subjectDirChanged);
    ws.setSubjectDir(ws.BankRoot() + QStringLiteral("生物"));
    ws.setSubjectDir(ws.BankRoot() + QStringLiteral("生物/"));
    EXPECT_EQ(ws.SubjectDir(), QStringLiteral("/srv/share/tiku/生物/"));
    ws.setSubjectDir(QString());  // no subject: stays empty, not "/"
    EXPECT_EQ(ws.SubjectDir(), QString());
    ASSERT_EQ(changed.count(), 2);
    EXPECT_EQ(changed[0][0].toString(), QStringLiteral("/srv/share/tiku/生物/"));
    EXPECT_EQ(changed[1][0].toString(), QString());

    // Two workspaces share nothing.
    Workspace other;
    EXPECT_EQ(other.BankRoot(), QString());
    ws.filesInWordProcessor().insert(QStringLiteral("/srv/share/tiku/~temp.rtf"));
    EXPECT_TRUE(other.filesInWordProcessor().isEmpty());
}
