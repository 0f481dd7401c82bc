#include "core/paths.h"

#include <QDir>
#include <QFileInfo>

namespace qm {

QString withTrailingSep(const QString& dir)
{
    if (dir.endsWith(QLatin1Char('/')))
        return dir;
    return dir + QLatin1Char('/');
}

bool sameFileName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString resolveNoCase(const QString& dir, const QString& name)
{
    const QString base = withTrailingSep(dir);
    if (QFileInfo::exists(base + name))
        return base + name;
    const QStringList entries =
        QDir(base).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& e : entries)
        if (sameFileName(e, name))
            return base + e;
    return base + name;
}

bool hasExtensionNoCase(const QString& fileName, const QString& ext)
{
    return fileName.endsWith(ext, Qt::CaseInsensitive);
}

bool isValidFileName(const QString& name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name)
        if (c.unicode() < 0x20 || QStringView(u"\\/:*?\"<>|").contains(c))
            return false;
    return true;
}

}  // namespace qm
