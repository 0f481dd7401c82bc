#include "core/workspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
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

namespace {

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void put(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A directory holding every shipped file, each with its own name as contents.
void putShippedFiles(const QString& dir)
{
    for (const QString& name : Workspace::shippedFiles())
        put(dir + QLatin1Char('/') + name, name.toUtf8());
}

QStringList entries(const QString& dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

constexpr auto kReadOnlyDir = QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup
                              | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther;
constexpr auto kWritableDir = kReadOnlyDir | QFileDevice::WriteOwner;

}  // namespace

TEST(ProgramDirectory, AWritableDirectoryWithTheShippedFilesIsItsOwnProgramDirectory)
{
    QTemporaryDir tmp;
    const QString bin = tmp.path() + QStringLiteral("/bin");
    const QString share = tmp.path() + QStringLiteral("/share/quellmark");
    const QString user = tmp.path() + QStringLiteral("/home/.local/share/Quellmark");
    putShippedFiles(bin);
    putShippedFiles(share);
    QString error;
    EXPECT_EQ(Workspace::programDirFor(bin, share, user, &error), bin + QLatin1Char('/'));
    EXPECT_TRUE(error.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(user));

    // Names in another letter case count, as everywhere in the program directory.
    QFile::rename(bin + QStringLiteral("/tiku.psw"), bin + QStringLiteral("/TIKU.PSW"));
    EXPECT_EQ(Workspace::programDirFor(bin, share, user), bin + QLatin1Char('/'));

    // While the build is still making the shipped files, and with no installation to take
    // them from, the directory stays the program's and nothing is made elsewhere.
    QFile::remove(bin + QStringLiteral("/jk.jk"));
    EXPECT_EQ(Workspace::programDirFor(bin, tmp.path() + QStringLiteral("/none"), user, &error),
              bin + QLatin1Char('/'));
    EXPECT_TRUE(error.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(user));
}

TEST(ProgramDirectory, AnInstalledProgramSeedsTheUsersDirectoryWithoutReplacingAnything)
{
    QTemporaryDir tmp;
    const QString bin = tmp.path() + QStringLiteral("/usr/bin");
    const QString share = tmp.path() + QStringLiteral("/usr/share/quellmark");
    const QString user = tmp.path() + QStringLiteral("/home/.local/share/Quellmark");
    QDir().mkpath(bin);
    putShippedFiles(share);
    // Installed files are read-only; the user's copies must not be.
    for (const QString& name : Workspace::shippedFiles())
        QFile::setPermissions(share + QLatin1Char('/') + name, QFileDevice::ReadOwner | QFileDevice::ReadOther);
    QFile::setPermissions(share, kReadOnlyDir);

    // First start: the directory is made, with every shipped file.
    QString error;
    EXPECT_EQ(Workspace::programDirFor(bin, share, user, &error), user + QLatin1Char('/'));
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    EXPECT_EQ(entries(user), QStringList({"jk.jk", "qm.qm", "sample.tik", "tiku.psw", "样例方案.faa"}));
    for (const QString& name : Workspace::shippedFiles()) {
        EXPECT_EQ(contents(user + QLatin1Char('/') + name), name.toUtf8());
        EXPECT_TRUE(QFile::permissions(user + QLatin1Char('/') + name) & QFileDevice::WriteOwner) << name.toStdString();
    }

    // Later starts: the user's users, templates and settings stay as they are, also under
    // a name in another letter case; only a deleted file comes back.
    put(user + QStringLiteral("/tiku.psw"), "the school's users");
    QFile::rename(user + QStringLiteral("/qm.qm"), user + QStringLiteral("/QM.QM"));
    put(user + QStringLiteral("/workpath.cfg"), "\"/srv/exams/\"");
    QFile::remove(user + QStringLiteral("/jk.jk"));
    EXPECT_EQ(Workspace::programDirFor(bin, share, user, &error), user + QLatin1Char('/'));
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    EXPECT_EQ(entries(user), QStringList({"QM.QM", "jk.jk", "sample.tik", "tiku.psw", "workpath.cfg", "样例方案.faa"}));
    EXPECT_EQ(contents(user + QStringLiteral("/tiku.psw")), "the school's users");
    EXPECT_EQ(contents(user + QStringLiteral("/jk.jk")), "jk.jk");
    QFile::setPermissions(share, kWritableDir);
}

TEST(ProgramDirectory, AReadOnlyCopyWorksFromTheUsersDirectoryAndAFailureIsReported)
{
    QTemporaryDir tmp;
    // A copy on a write-protected stick: the files beside the program seed the user's
    // directory. Made read-only by its permissions, which holds even for root.
    const QString stick = tmp.path() + QStringLiteral("/stick");
    const QString user = tmp.path() + QStringLiteral("/home/Quellmark");
    putShippedFiles(stick);
    QFile::setPermissions(stick, kReadOnlyDir);
    QString error;
    EXPECT_EQ(Workspace::programDirFor(stick, tmp.path() + QStringLiteral("/share/quellmark"), user, &error),
              user + QLatin1Char('/'));
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    EXPECT_EQ(entries(user), QStringList({"jk.jk", "qm.qm", "sample.tik", "tiku.psw", "样例方案.faa"}));
    QFile::setPermissions(stick, kWritableDir);

    // A user directory that cannot be made (a file is in the way) is reported; the
    // program then shows the message and goes on.
    const QString bin = tmp.path() + QStringLiteral("/bin");
    QDir().mkpath(bin);
    put(tmp.path() + QStringLiteral("/blocked"), "a file");
    const QString blocked = tmp.path() + QStringLiteral("/blocked/Quellmark");
    EXPECT_EQ(Workspace::programDirFor(bin, stick, blocked, &error), blocked + QLatin1Char('/'));
    EXPECT_EQ(error, QStringLiteral("无法建立目录 ") + blocked);
}
