// BankFile's queries, uses and whole-bank operations for a bank on a server.

#include "bankstore/bank_rows.h"
#include "bankstore/list_order.h"
#include "bankstore/server_bank.h"

#include <QSet>
#include <algorithm>

namespace qm {

using server::Session;
using server::withServerBank;

namespace {

const char* columnOf(Attribute a)
{
    switch (a) {
    case Attribute::Type: return "q.type";
    case Attribute::Chapter: return "q.chapter";
    case Attribute::Unit: return "q.unit";
    case Attribute::Difficulty: return "q.difficulty";
    }
    return "q.type";
}

// " WHERE q.bank = $1 AND …" for the filter, its values appended to `p` (which holds the
// bank's key as $1).
std::string whereOf(const QuestionFilter& f, pg::Params& p)
{
    std::string sql = " WHERE q.bank = $1";
    auto bind = [&](const char* condition) {
        const std::string n = "$" + std::to_string(p.size());
        std::string c = condition;
        c.replace(c.find('?'), 1, n);
        sql += " AND " + c;
    };
    if (f.type && f.typeIgnoresTrailingBlanks) {
        QString type = *f.type;
        while (type.endsWith(QLatin1Char(' ')))
            type.chop(1);
        p.text(type);
        bind("rtrim(q.type, ' ') = ?");
    } else if (f.type) {
        p.text(*f.type);
        bind("q.type = ?");
    }
    if (f.chapter) {
        p.text(*f.chapter);
        bind("q.chapter = ?");
    }
    if (f.unit) {
        p.text(*f.unit);
        bind("q.unit = ?");
    }
    if (f.difficulty) {
        p.text(*f.difficulty);
        bind("q.difficulty = ?");
    }
    if (f.score) {
        p.real(*f.score);
        bind("q.score = ?::float8");
    }
    // Dates are yyyy-MM-dd and compare as bytes; every date is on or after "", so a null
    // date leaves the questions never used.
    if (f.notUsedSince) {
        p.text(f.notUsedSince->isValid() ? f.notUsedSince->toString(Qt::ISODate) : QString());
        bind("NOT EXISTS (SELECT 1 FROM qm_usage AS u WHERE u.bank = q.bank AND u.id = q.id "
             "AND u.day COLLATE \"C\" >= ?::text)");
    }
    return sql;
}

QList<qint64> ids(const pg::Result& r)
{
    QList<qint64> list;
    list.reserve(r.rows());
    for (int i = 0; i < r.rows(); ++i)
        list << r.integer(i, 0);
    return list;
}

bool sameBank(const QString& a, const QString& b)
{
    const auto na = parseServerPath(a);
    const auto nb = parseServerPath(b);
    return na && nb && na->conninfo == nb->conninfo && na->subject == nb->subject && na->name == nb->name;
}

}  // namespace

// --- Queries ---

std::optional<QStringList> ServerBank::distinctValues(Attribute attribute, const QuestionFilter& filter,
                                                      QString* error) const
{
    return withServerBank(m_path, m_slot, error, [&](Session& s) {
        pg::Transaction tx(s.c(), pg::Transaction::Kind::Snapshot);
        const qint64 bank = s.find();
        pg::Params p;
        p.integer(bank);
        const std::string c = columnOf(attribute);
        const pg::Result r =
            s.c().exec(("SELECT " + c + " FROM qm_question AS q" + whereOf(filter, p) + " GROUP BY " + c).c_str(), p);
        QStringList values;
        for (int i = 0; i < r.rows(); ++i)
            values << r.text(i, 0);
        std::sort(values.begin(), values.end(), server::gbkLess);
        const QStringList list = server::listOf(s, bank, bankrows::listFor(attribute));
        tx.commit();
        return inListOrder(values, list);
    });
}

std::optional<QList<double>> ServerBank::distinctScores(const QuestionFilter& filter, QString* error) const
{
    return withServerBank(m_path, m_slot, error, [&](Session& s) {
        pg::Params p;
        p.integer(s.find());
        const pg::Result r = s.c().exec(
            ("SELECT q.score FROM qm_question AS q" + whereOf(filter, p) + " GROUP BY q.score ORDER BY q.score")
                .c_str(),
            p);
        QList<double> values;
        for (int i = 0; i < r.rows(); ++i)
            values << r.real(i, 0);
        return values;
    });
}

std::optional<int> ServerBank::countMatching(const QuestionFilter& filter, QString* error) const
{
    return withServerBank(m_path, m_slot, error, [&](Session& s) {
        pg::Params p;
        p.integer(s.find());
        return int(s.c().exec(("SELECT count(*) FROM qm_question AS q" + whereOf(filter, p)).c_str(), p).integer(0, 0));
    });
}

std::optional<QList<qint64>> ServerBank::idsMatching(const QuestionFilter& filter, QString* error) const
{
    return withServerBank(m_path, m_slot, error, [&](Session& s) {
        pg::Params p;
        p.integer(s.find());
        return ids(
            s.c().exec(("SELECT q.id FROM qm_question AS q" + whereOf(filter, p) + " ORDER BY q.ord").c_str(), p));
    });
}

std::optional<QList<QList<qint64>>> ServerBank::idsMatchingEach(const QList<QuestionFilter>& filters,
                                                                QString* error) const
{
    return withServerBank(m_path, m_slot, error, [&](Session& s) {
        pg::Transaction tx(s.c(), pg::Transaction::Kind::Snapshot);
        const qint64 bank = s.find();
        QList<QList<qint64>> result;
        for (const QuestionFilter& filter : filters) {
            pg::Params p;
            p.integer(bank);
            result << ids(
                s.c().exec(("SELECT q.id FROM qm_question AS q" + whereOf(filter, p) + " ORDER BY q.ord").c_str(), p));
        }
        tx.commit();
        return result;
    });
}

std::optional<QList<AttributeCount>> ServerBank::statistics(QString* error) const
{
    return withServerBank(m_path, m_slot, error, [&](Session& s) {
        const pg::Result r = s.c().exec("SELECT type, chapter, difficulty, score, unit, count(*) FROM qm_question "
                                        "WHERE bank = $1 GROUP BY type, chapter, difficulty, score, unit",
                                        pg::Params().integer(s.find()));
        QList<AttributeCount> rows;
        for (int i = 0; i < r.rows(); ++i)
            rows.append({r.text(i, 0), r.text(i, 1), r.text(i, 2), r.real(i, 3), r.text(i, 4), int(r.integer(i, 5))});
        // Texts by their GBK bytes, scores ascending, as the files order them.
        std::sort(rows.begin(), rows.end(), [](const AttributeCount& a, const AttributeCount& b) {
            if (a.type != b.type)
                return server::gbkLess(a.type, b.type);
            if (a.chapter != b.chapter)
                return server::gbkLess(a.chapter, b.chapter);
            if (a.difficulty != b.difficulty)
                return server::gbkLess(a.difficulty, b.difficulty);
            if (a.score != b.score)
                return a.score < b.score;
            return server::gbkLess(a.unit, b.unit);
        });
        return rows;
    });
}

std::optional<QList<AttributeCount>> ServerBank::groupCounts(const QStringList& types, bool byChapter, bool byUnit,
                                                             bool byDifficulty, bool byScore, QString* error) const
{
    return withServerBank(m_path, m_slot, error, [&](Session& s) {
        const std::string groups = std::string("type") + (byChapter ? ", chapter" : "") + (byUnit ? ", unit" : "")
                                   + (byDifficulty ? ", difficulty" : "") + (byScore ? ", score" : "");
        const std::string fields = std::string("type, ") + (byChapter ? "chapter" : "''") + ", "
                                   + (byUnit ? "unit" : "''") + ", " + (byDifficulty ? "difficulty" : "''") + ", "
                                   + (byScore ? "score" : "0::float8") + ", count(*)";
        QStringList wanted = types;
        wanted.removeDuplicates();
        const pg::Result r = s.c().exec(("SELECT " + fields
                                         + " FROM qm_question WHERE bank = $1 AND type = ANY($2::text[]) "
                                           "GROUP BY "
                                         + groups)
                                            .c_str(),
                                        pg::Params().integer(s.find()).text(server::textArray(wanted)));
        QList<AttributeCount> rows;
        for (int i = 0; i < r.rows(); ++i) {
            AttributeCount c;
            c.type = r.text(i, 0);
            c.chapter = r.text(i, 1);
            c.unit = r.text(i, 2);
            c.difficulty = r.text(i, 3);
            c.score = r.real(i, 4);
            c.count = int(r.integer(i, 5));
            rows << c;
        }
        // By the values' bytes in the order of grouping (the attributes not grouped by are
        // alike), scores ascending.
        std::sort(rows.begin(), rows.end(), [](const AttributeCount& a, const AttributeCount& b) {
            for (const auto& [x, y] : {std::pair{&a.type, &b.type}, std::pair{&a.chapter, &b.chapter},
                                       std::pair{&a.unit, &b.unit}, std::pair{&a.difficulty, &b.difficulty}})
                if (*x != *y)
                    return server::bytesLess(*x, *y);
            return a.score < b.score;
        });
        return rows;
    });
}

// --- Whole-bank operations ---

std::optional<int> ServerBank::mergeFrom(const QString& sourcePath, QString* error, const QSet<qint64>& skip)
{
    // The source is read at one moment and appended in one transaction; merged into itself,
    // the bank's questions as they were are doubled.
    if (!sameBank(m_path, sourcePath) && !BankFile(sourcePath).check(error))
        return std::nullopt;
    std::optional<server::BankContent> content = server::readBankContent(sourcePath, error);
    if (!content)
        return std::nullopt;
    // The questions to leave out go with their uses.
    content->questions.removeIf([&](const Question& q) { return skip.contains(q.id); });
    content->uses.removeIf([&](const server::BankContent::Use& u) { return skip.contains(u.id); });
    return server::appendContent(m_path, *content, error);
}

bool ServerBank::sortByChapters(const QStringList& chapterOrder, QString* error)
{
    return withServerBank(m_path, m_slot, error,
                          [&](Session& s) {
                              pg::Transaction tx(s.c());
                              const qint64 bank = s.lock();
                              // New order keys all lie above the old ones, so no two rows ever share one.
                              s.c().exec("UPDATE qm_question AS q SET ord = $2 + s.n FROM "
                                         "(SELECT r.id, row_number() OVER (ORDER BY coalesce(o.rank, $3), r.ord) AS n "
                                         " FROM qm_question AS r LEFT JOIN "
                                         " (SELECT chapter, min(rank) AS rank FROM unnest($4::text[]) WITH ORDINALITY "
                                         "  AS t(chapter, rank) GROUP BY chapter) AS o ON o.chapter = r.chapter "
                                         " WHERE r.bank = $1) AS s "
                                         "WHERE q.bank = $1 AND q.id = s.id",
                                         pg::Params()
                                             .integer(bank)
                                             .integer(server::lastOrder(s, bank))
                                             .integer(chapterOrder.size() + 1)
                                             .text(server::textArray(chapterOrder)));
                              tx.commit();
                              return true;
                          })
        .has_value();
}

// --- Uses ---

std::optional<int> ServerBank::recordUsage(const QList<qint64>& ids, const UsageRecord& use, QString* error)
{
    return withServerBank(m_path, m_slot, error, [&](Session& s) {
        pg::Transaction tx(s.c());
        const qint64 bank = s.lock();
        QSet<qint64> done;
        int recorded = 0;
        for (const qint64 id : ids) {
            if (done.contains(id))
                continue;
            done.insert(id);
            const pg::Params p = pg::Params().integer(bank).integer(id);
            pg::Params insert = p;
            insert.text(use.date.toString(Qt::ISODate)).text(use.library).text(use.paper);
            const bool there =
                s.c()
                    .execPrepared("use",
                                  "INSERT INTO qm_usage (bank, id, day, library, paper) "
                                  "SELECT $1::bigint, $2::bigint, $3::text, $4::text, $5::text WHERE EXISTS "
                                  "(SELECT 1 FROM qm_question WHERE bank = $1::bigint AND id = $2::bigint)",
                                  insert)
                    .affected()
                > 0;
            if (!there)
                continue;
            s.c().execPrepared("usecount",
                               "UPDATE qm_question SET used = (SELECT count(*) FROM qm_usage "
                               "WHERE bank = $1 AND id = $2)::text WHERE bank = $1 AND id = $2",
                               p);
            ++recorded;
        }
        tx.commit();
        return recorded;
    });
}

std::optional<UsageSummary> ServerBank::usageOf(qint64 id, QString* error) const
{
    return withServerBank(m_path, m_slot, error, [&](Session& s) {
        const pg::Result r = s.c().exec("SELECT day, library, paper, count(*) OVER () FROM qm_usage "
                                        "WHERE bank = $1 AND id = $2 ORDER BY day COLLATE \"C\" DESC, ord DESC LIMIT 1",
                                        pg::Params().integer(s.find()).integer(id));
        UsageSummary summary;
        if (r.rows() > 0) {
            summary.last = {QDate::fromString(r.text(0, 0), Qt::ISODate), r.text(0, 1), r.text(0, 2)};
            summary.count = int(r.integer(0, 3));
        }
        return summary;
    });
}

std::optional<QMap<qint64, UsageSummary>> ServerBank::usage(bool withPapers, QString* error) const
{
    return withServerBank(m_path, m_slot, error, [&](Session& s) {
        const pg::Result r =
            s.c().exec(withPapers ? "SELECT id, day, library, paper FROM qm_usage WHERE bank = $1 "
                                    "ORDER BY id, day COLLATE \"C\", ord"
                                  : "SELECT id, day FROM qm_usage WHERE bank = $1 ORDER BY id, day COLLATE \"C\"",
                       pg::Params().integer(s.find()));
        QMap<qint64, UsageSummary> used;
        auto at = used.end();
        for (int i = 0; i < r.rows(); ++i) {
            const qint64 id = r.integer(i, 0);
            if (at == used.end() || at.key() != id)
                at = used.insert(used.end(), id, UsageSummary{});
            ++at->count;
            at->last.date = QDate::fromString(r.text(i, 1), Qt::ISODate);
            if (withPapers) {
                at->last.library = r.text(i, 2);
                at->last.paper = r.text(i, 3);
            }
        }
        return used;
    });
}

}  // namespace qm
