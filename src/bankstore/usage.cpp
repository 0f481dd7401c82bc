#include "bankstore/usage.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace qm {

QString usageText(const UsageSummary& usage)
{
    if (usage.count <= 0)
        return QStringLiteral("未用过");
    return QStringLiteral("已用 %1 次，最近 %2《%3》")
        .arg(usage.count)
        .arg(usage.last.date.toString(Qt::ISODate), usage.last.paper);
}

QDate usageDate(const QString& paperDate, const QDate& today)
{
    const QRegularExpression kDate(
        QStringLiteral("^\\s*(\\d{4})\\s*(?:[-/.]|年)\\s*(\\d{1,2})\\s*(?:[-/.]|月)\\s*(\\d{1,2})\\s*日?\\s*$"));
    const QRegularExpressionMatch m = kDate.match(paperDate);
    if (m.hasMatch()) {
        const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        if (date.isValid())
            return date;
    }
    return today;
}

QString libraryName(const QString& libraryPath)
{
    const QFileInfo info(libraryPath);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.left(dot) : name;
}

}  // namespace qm
