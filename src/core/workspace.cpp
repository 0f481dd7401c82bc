#include "core/workspace.h"

#include "core/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace qm {

Workspace::Workspace(QObject* parent) : QObject(parent) {}

Workspace::Workspace(const QString& programDir, QObject* parent) : QObject(parent)
{
    setProgramDir(programDir);
}

namespace {

bool holdsShippedFiles(const QString& dir)
{
    if (dir.isEmpty())
        return false;
    for (const QString& name : Workspace::shippedFiles())
        if (!QFileInfo(resolveNoCase(dir, name)).isFile())
            return false;
    return true;
}

// A directory nobody may write (no write bit at all) counts as read-only even for root,
// who could write it anyway: it was made read-only on purpose.
bool isWritableDir(const QString& dir)
{
    const QFileInfo info(dir);
    constexpr auto anyWrite = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return info.isDir() && info.isWritable() && (info.permissions() & anyWrite);
}

// Copies `source` to `target` through a temporary file beside it, so that an interrupted
// copy leaves no partial file that would later pass for the user's own.
bool copyWhole(const QString& source, const QString& target, QString* error)
{
    QFile in(source);
    QTemporaryFile out(target + QStringLiteral(".XXXXXX"));
    if (!in.open(QIODevice::ReadOnly) || !out.open() || out.write(in.readAll()) != in.size() || !out.flush()) {
        if (error)
            *error = QStringLiteral("无法复制 %1 到 %2").arg(source, target);
        return false;
    }
    // The user's own file, whatever the installed one allows.
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                       | QFileDevice::ReadOther);
    // rename() never replaces: when another start of the program was quicker, its copy
    // stays and the temporary file is removed.
    if (QFile::rename(out.fileName(), target))
        out.setAutoRemove(false);
    return true;
}

}  // namespace

QStringList Workspace::shippedFiles()
{
    return {QStringLiteral("qm.qm"), QStringLiteral("jk.jk"), QStringLiteral("sample.tik"), QStringLiteral("tiku.psw"),
            QStringLiteral("样例方案.faa")};
}

bool Workspace::seedProgramDir(const QString& dir, const QString& from, QString* error)
{
    if (!QDir().mkpath(dir)) {
        if (error)
            *error = QStringLiteral("无法建立目录 %1").arg(dir);
        return false;
    }
    bool ok = true;
    for (const QString& name : shippedFiles()) {
        const QString target = resolveNoCase(dir, name);
        const QString source = resolveNoCase(from, name);
        if (QFileInfo::exists(target) || !QFileInfo(source).isFile())
            continue;
        ok = copyWhole(source, target, error) && ok;
    }
    return ok;
}

QString Workspace::programDirFor(const QString& executableDir, const QString& shareDir, const QString& userDataDir,
                                 QString* error)
{
    const bool executableHoldsFiles = holdsShippedFiles(executableDir);
    if (executableHoldsFiles && isWritableDir(executableDir))
        return withTrailingSep(executableDir);
    const QString from = holdsShippedFiles(shareDir) ? shareDir : executableHoldsFiles ? executableDir : QString();
    if (from.isEmpty())
        return withTrailingSep(executableDir);
    if (userDataDir.isEmpty()) {
        if (error)
            *error = QStringLiteral("找不到用户的数据目录");
        return withTrailingSep(from);
    }
    seedProgramDir(userDataDir, from, error);
    return withTrailingSep(userDataDir);
}

QString Workspace::programDirForExecutable(const QString& executableDir, QString* error)
{
    const QString shareDir = QDir::cleanPath(executableDir + QStringLiteral("/../share/quellmark"));
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString userDir = dataHome.isEmpty() ? QString() : dataHome + QStringLiteral("/Quellmark");
    return programDirFor(executableDir, shareDir, userDir, error);
}

void Workspace::setProgramDir(const QString& dir)
{
    m_programDir = withTrailingSep(dir);
}

void Workspace::setBankRoot(const QString& dir)
{
    // A root on a database server ends with '#' (bankstore/places.h), the subject follows it.
    m_bankRoot = dir.endsWith(QLatin1Char('#')) ? dir : withTrailingSep(dir);
}

void Workspace::setSubjectDir(const QString& dir)
{
    const QString value = dir.isEmpty() ? dir : withTrailingSep(dir);
    if (value == m_subjectDir)
        return;
    m_subjectDir = value;
    Q_EMIT subjectDirChanged(m_subjectDir);
}

}  // namespace qm
