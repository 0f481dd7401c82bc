#include "bankstore/list_order.h"

#include "core/natural_order.h"

#include <QHash>
#include <algorithm>

namespace qm {

QStringList inListOrder(const QStringList& values, const QStringList& list)
{
    QHash<QString, qsizetype> place;
    for (qsizetype i = list.size() - 1; i >= 0; --i)
        place.insert(list[i], i);
    QStringList listed;
    QStringList others;
    for (const QString& v : values)
        (place.contains(v) ? listed : others) << v;
    std::stable_sort(listed.begin(), listed.end(),
                     [&](const QString& a, const QString& b) { return place.value(a) < place.value(b); });
    sortNaturally(others);
    return listed + others;
}

}  // namespace qm
