#include "compose/manual.h"

#include "compose/draw.h"
#include "core/numbers.h"

#include <QDir>
#include <QSet>
#include <algorithm>

namespace qm::compose {

namespace {

const QString kSeparator = QStringLiteral("||");

}  // namespace

QString pickKeyText(const PickKey& key)
{
    return QStringLiteral("%1").arg(key.typePosition, 3, 10, QLatin1Char('0')) + key.type + kSeparator
           + QString::number(key.id);
}

std::optional<PickKey> parsePickKey(const QString& text)
{
    const qsizetype bar = text.lastIndexOf(kSeparator);
    if (text.size() < 3 || bar < 3)
        return std::nullopt;
    bool okPosition = false;
    bool okId = false;
    PickKey key;
    key.typePosition = text.left(3).toInt(&okPosition);
    key.type = text.mid(3, bar - 3);
    key.id = text.mid(bar + kSeparator.size()).toLongLong(&okId);
    if (!okPosition || !okId || key.typePosition < 0)
        return std::nullopt;
    return key;
}

ManualPicks::Pick ManualPicks::pick(const PickKey& key)
{
    if (key.typePosition >= kMaxManualSections)
        return {Outcome::BeyondLastNumeral, -1, {}};
    const QString text = pickKeyText(key);
    const auto at = std::lower_bound(m_keys.begin(), m_keys.end(), text);
    if (at != m_keys.end() && *at == text)
        return {Outcome::AlreadyPicked, int(at - m_keys.begin()), {}};
    const int row = int(at - m_keys.begin());
    m_keys.insert(row, text);
    const int number = ++m_numbers[key.type];
    return {Outcome::Picked, row, sectionNumeral(key.typePosition + 1) + QString::number(number) + QLatin1Char('.')};
}

void ManualPicks::removeAt(int row)
{
    if (row >= 0 && row < m_keys.size())
        m_keys.removeAt(row);
}

void ManualPicks::reset()
{
    m_keys.clear();
    m_numbers.clear();
}

QList<ArrangedQuestion> arrangePicks(const QStringList& keys)
{
    QList<ArrangedQuestion> out;
    QString previous;
    int section = 0;
    int number = 0;
    for (const QString& text : keys) {
        const std::optional<PickKey> key = parsePickKey(text);
        if (!key)
            continue;
        if (section == 0 || key->type != previous) {
            previous = key->type;
            ++section;
            number = 0;
        }
        out.append({section, key->type, ++number, key->id});
    }
    return out;
}

BankInformation bankInformation(const QString& bankPath, const QString& bankName, const QList<AttributeCount>& counts)
{
    BankInformation info;
    const QString path = QDir::toNativeSeparators(bankPath);
    info.caption = path + QStringLiteral("　题库信息");
    info.headings = QStringList{QStringLiteral("题  型"),  QStringLiteral("章   节"), QStringLiteral("单　 元"),
                                QStringLiteral("难   度"), QStringLiteral("分  值"),  QStringLiteral("题  数")};
    info.nodes.append({path, QString(), bankName});
    QSet<QString> keys{path};
    for (const AttributeCount& c : counts) {
        const QStringList cells{c.type, c.chapter, c.unit, c.difficulty, numText(c.score), QString::number(c.count)};
        info.rows.append(cells);
        const QStringList texts{c.type,
                                c.chapter,
                                c.unit,
                                c.difficulty,
                                QStringLiteral("分值:") + cells[4],
                                QStringLiteral("题数:") + cells[5]};
        QString parent = path;
        for (qsizetype i = 0; i < cells.size(); ++i) {
            const QString key = parent + QLatin1Char('\\') + cells[i];
            if (!keys.contains(key)) {
                keys.insert(key);
                info.nodes.append({key, parent, texts[i]});
            }
            parent = key;
        }
    }
    return info;
}

}  // namespace qm::compose
