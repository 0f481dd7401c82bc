#include "shell/workpath.h"

#include "bankstore/places.h"
#include "bankstore/server_store.h"
#include "bankstore/user_store.h"
#include "core/delimited.h"
#include "core/paths.h"

#include <QFile>
#include <QFileInfo>

namespace qm {

QString savedWorkPath(const QString& programDir)
{
    const QString file = resolveNoCase(programDir, QString::fromUtf16(kWorkPathFile));
    if (QFileInfo(file).size() <= 0)
        return QString();
    DelimitedReader reader = DelimitedReader::fromFile(file);
    return reader.text().value_or(QString());
}

QString readWorkPath(const QString& programDir)
{
    const QString file = resolveNoCase(programDir, QString::fromUtf16(kWorkPathFile));
    if (!QFileInfo::exists(file)) {
        QFile f(file);
        f.open(QIODevice::WriteOnly);  // an empty file; a failure leaves the value empty
    }
    return workPathForm(savedWorkPath(programDir));
}

QString workPathForm(const QString& path)
{
    return isServerPath(path) ? path : withTrailingSep(path);
}

QString bankRootOf(const QString& workPath)
{
    if (isServerPath(workPath))
        return places::serverRoot(workPath);
    return withTrailingSep(resolveNoCase(workPath, QString::fromUtf16(kBankDirName)));
}

bool writeWorkPath(const QString& programDir, const QString& workPath, QString* error)
{
    DelimitedWriter w;
    w.text(workPath);
    return w.save(resolveNoCase(programDir, QString::fromUtf16(kWorkPathFile)), error);
}

bool hasUserFile(const QString& dir)
{
    if (isServerPath(dir))
        return UserStore(dir).users().has_value();
    if (dir.isEmpty() || !QFileInfo(dir).isDir())
        return false;
    return QFileInfo(resolveNoCase(dir, QString::fromUtf16(kUserFile))).isFile();
}

}  // namespace qm
