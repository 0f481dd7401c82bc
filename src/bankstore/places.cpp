#include "bankstore/places.h"

#include "bankstore/server_places.h"
#include "bankstore/server_store.h"
#include "core/fileops.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace qm::places {

namespace {

// The database of a server root or subject ("URI#", "URI#学科/").
QString uriOf(const QString& place)
{
    return place.left(place.indexOf(QLatin1Char('#')));
}

// The subject of "URI#学科/".
QString subjectOf(const QString& subjectDir)
{
    QString subject = subjectDir.mid(subjectDir.indexOf(QLatin1Char('#')) + 1);
    if (subject.endsWith(QLatin1Char('/')))
        subject.chop(1);
    return subject;
}

// Moves every entry of directory `from` into the new directory `to`. A plain rename does
// it in one step; otherwise each file is copied and the originals go only once every copy
// is made, so a failure never loses a file.
bool moveDirectory(const QString& from, const QString& to, QString* error)
{
    if (QDir().rename(from, to))
        return true;
    Md(to);
    const QStringList files = QDir(from).entryList(QDir::Files | QDir::Hidden | QDir::System);
    QStringList copied;
    for (const QString& f : files) {
        if (!filecopyZZ(from + QLatin1Char('/') + f, to + QLatin1Char('/') + f)) {
            for (const QString& c : copied)
                QFile::remove(to + QLatin1Char('/') + c);
            Rd(to);
            if (error)
                *error = QStringLiteral("文件无法移动，学科名称未修改：")
                         + QDir::toNativeSeparators(from + QLatin1Char('/') + f);
            return false;
        }
        copied << f;
    }
    for (const QString& f : files)
        KillFile(from + QLatin1Char('/') + f);
    Rd(from);
    return true;
}

}  // namespace

QString serverRoot(const QString& uri)
{
    return uri + QLatin1Char('#');
}

std::optional<QStringList> subjects(const QString& root, QString* error)
{
    if (isServerPath(root))
        return server::subjects(uriOf(root), error);
    return subdirectoryNames(root);
}

std::optional<QStringList> entries(const QString& subjectDir, const QString& pattern, QString* error)
{
    if (isServerPath(subjectDir))
        return server::entries(uriOf(subjectDir), subjectOf(subjectDir), pattern, error);
    return filesMatching(subjectDir, pattern);
}

QStringList listed(const QString& subjectDir, const QString& pattern)
{
    return entries(subjectDir, pattern).value_or(QStringList());
}

bool makeSubject(const QString& root, const QString& name, QString* error)
{
    if (isServerPath(root))
        return server::makeSubject(uriOf(root), name, error);
    Md(root + name);
    if (QFileInfo(root + name).isDir())
        return true;
    if (error)
        *error = QDir::toNativeSeparators(root + name);
    return false;
}

Removal removeSubject(const QString& root, const QString& name, QString* error)
{
    if (isServerPath(root)) {
        const std::optional<bool> removed = server::removeSubject(uriOf(root), name, error);
        return !removed ? Removal::Failed : *removed ? Removal::Removed : Removal::NotEmpty;
    }
    // A directory that another computer removed meanwhile is as good as removed.
    const QString dir = root + name;
    return !QFileInfo(dir).isDir() || Rd(dir) == 0 ? Removal::Removed : Removal::NotEmpty;
}

bool renameSubject(const QString& root, const QString& from, const QString& to, QString* error)
{
    if (isServerPath(root))
        return server::renameSubject(uriOf(root), from, to, error);
    // Never into a subject that another computer made meanwhile: its banks would mix with
    // these, and one of the same name would be replaced.
    if (QFileInfo::exists(root + to)) {
        if (error)
            *error = QStringLiteral("学科“%1”已经存在，学科名称未修改。").arg(to);
        return false;
    }
    return moveDirectory(root + from, root + to, error);
}

}  // namespace qm::places
