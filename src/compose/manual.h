#pragma once
// Composing a paper by hand: the questions picked one by one from a bank, their keys and
// provisional labels, the order in which "整理试卷" rebuilds the paper from them, and the
// statistics of a bank as the bank-information window shows them.
//
// A pick is known by its key: the position of its type in the window's type list as three
// digits, the type, "||" and the question's 编号 ("001填空题||57"). Keys are kept sorted, so
// the rebuilt paper has its sections in type-list order and, within a section, the
// questions in the text order of their 编号.

#include "bankstore/bank_file.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace qm::compose {

struct PickKey {
    int typePosition = 0;  // from 0, in the window's type list
    QString type;
    qint64 id = 0;  // 编号

    bool operator==(const PickKey&) const = default;
};

QString pickKeyText(const PickKey& key);
// The key a text names; nothing for a text that is not a key.
std::optional<PickKey> parsePickKey(const QString& text);

// The picks of the bank being browsed and the running number of each type.
class ManualPicks {
public:
    enum class Outcome { Picked, AlreadyPicked, BeyondLastNumeral };

    // What a pick gave: its row in keys() and its label ("一、1.").
    struct Pick {
        Outcome outcome = Outcome::Picked;
        int row = -1;
        QString label;
    };

    // Sorted keys, as the picked list shows them.
    const QStringList& keys() const { return m_keys; }
    bool isEmpty() const { return m_keys.isEmpty(); }

    // Picks question `key.id`: its key joins the list and its type's number goes up by
    // one. A key already in the list, or a type beyond the twentieth, is refused and
    // changes nothing.
    Pick pick(const PickKey& key);
    // Takes one key out of the list; the running numbers stay, as the labels already
    // written into the paper do.
    void removeAt(int row);
    void clear() { m_keys.clear(); }
    // Another bank: no picks and every type's number back at 0.
    void reset();

private:
    QStringList m_keys;
    QHash<QString, int> m_numbers;  // by type
};

// One question of the rebuilt paper.
struct ArrangedQuestion {
    int section = 0;  // from 1, in the order the types occur among the keys
    QString type;
    int number = 0;  // within the section, from 1
    qint64 id = 0;

    bool operator==(const ArrangedQuestion&) const = default;
};

// The questions of `keys` (sorted) as "整理试卷" lays them out: a section for each type in
// the order the types occur, numbered from 1 within it. Texts that are not keys are passed
// over.
QList<ArrangedQuestion> arrangePicks(const QStringList& keys);

// The statistics of a bank as the bank-information window shows them.
struct BankInformation {
    QString caption;          // the bank's path and "　题库信息"
    QStringList headings;     // 题  型 … 题  数
    QList<QStringList> rows;  // type, chapter, unit, difficulty, score, count
    struct Node {
        QString key;     // the bank's path and the values on the way, joined by "\"
        QString parent;  // "" for the top node
        QString text;
        bool operator==(const Node&) const = default;
    };
    QList<Node> nodes;  // in the order they are added, each key once; the bank first
};

// `counts` as BankFile::statistics returns them, for the bank at `bankPath` shown as
// `bankName`.
BankInformation bankInformation(const QString& bankPath, const QString& bankName, const QList<AttributeCount>& counts);

}  // namespace qm::compose
