#pragma once
// Composing a paper by hand: the questions picked one by one from a bank, their keys and
// provisional labels, the order in which "整理试卷" rebuilds the paper from them, and the
// statistics of a bank as the bank-information window shows them.
//
// A pick is known by its key: the position of its type in the window's type list as three
// digits, the type, "||" and the question's 编号 ("001填空题||57"), and by the bank it was
// picked from: a paper may combine questions of several banks. Picks are kept sorted by
// key, so the rebuilt paper has its sections in type-list order and, within a section, the
// questions in the text order of their 编号.

#include "bankstore/bank_file.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace qm::selection {

struct PickKey {
    int typePosition = 0;  // from 0, in the window's type list
    QString type;
    qint64 id = 0;  // 编号

    bool operator==(const PickKey&) const = default;
};

QString pickKeyText(const PickKey& key);
// The key a text names; nothing for a text that is not a key.
std::optional<PickKey> parsePickKey(const QString& text);

// One picked question.
struct PickedQuestion {
    QString key;  // pickKeyText
    QString bankPath;
    bool operator==(const PickedQuestion&) const = default;
};

// The picks of a paper and the running number of each type of the bank being browsed.
class ManualPicks {
public:
    enum class Outcome { Picked, AlreadyPicked, BeyondLastNumeral };

    // What a pick gave: its row in keys() and its label ("一、1.").
    struct Pick {
        Outcome outcome = Outcome::Picked;
        int row = -1;
        QString label;
    };

    // The picks in their order.
    const QList<PickedQuestion>& picks() const { return m_picks; }
    // Their keys.
    QStringList keys() const;
    // The picked list as the window shows it while the bank `bankPath` is browsed: a pick
    // of that bank is its key; a pick of another bank is followed by that bank's name
    // ("000单选题||4（综合）").
    QStringList shownKeys(const QString& bankPath) const;
    bool isEmpty() const { return m_picks.isEmpty(); }
    // True when a question of the bank `bankPath` is picked.
    bool hasPicksFrom(const QString& bankPath) const;

    // Picks question `key.id` of the bank `bankPath`: it joins the list and its type's
    // number goes up by one. A question already picked from that bank, or a type beyond
    // the twentieth, is refused and changes nothing.
    Pick pick(const PickKey& key, const QString& bankPath = {});
    // Takes one pick out of the list; the running numbers stay, as the labels already
    // written into the paper do.
    void removeAt(int row);
    void clear() { m_picks.clear(); }
    // Another bank is browsed: its types are numbered from 1 again; the picks stay.
    void newBank() { m_numbers.clear(); }

private:
    QList<PickedQuestion> m_picks;
    QHash<QString, int> m_numbers;  // by type
};

// One question of the rebuilt paper.
struct ArrangedQuestion {
    int section = 0;  // from 1, in the order the types occur among the keys
    QString type;
    int number = 0;  // within the section, from 1
    qint64 id = 0;
    QString bankPath;

    bool operator==(const ArrangedQuestion&) const = default;
};

// The picks (sorted) as "整理试卷" lays them out: a section for each type in the order the
// types first occur, numbered from 1 within it; picks of one type from several banks share
// their section. Keys that are not keys are passed over.
QList<ArrangedQuestion> arrangePicks(const QList<PickedQuestion>& picks);
// The same for keys of one bank.
QList<ArrangedQuestion> arrangePicks(const QStringList& keys, const QString& bankPath = {});

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

}  // namespace qm::selection
