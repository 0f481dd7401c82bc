// The uses of a bank's questions: recording them when a paper is filed, and reading them
// for the windows, the draw and qmtool.

#include "bankstore/bank_file.h"
#include "bankstore/bank_rows.h"
#include "bankstore/server_bank.h"
#include "bankstore/sqlite_file.h"

#include <QSet>

namespace qm {

std::optional<int> BankFile::recordUsage(const QList<qint64>& ids, const UsageRecord& use, QString* error)
{
    if (isServerPath(m_path))
        return ServerBank(m_path, m_slot.get()).recordUsage(ids, use, error);
    return withDbFile(m_path, DbKind::Bank, error, [&](SQLite::Database& db) {
        WriteTransaction tx(db);
        SQLite::Statement insert(db, "INSERT INTO 使用记录 (编号, 日期, 试卷库, 卷名) "
                                     "SELECT ?1, ?2, ?3, ?4 WHERE EXISTS (SELECT 1 FROM 题库 WHERE 编号 = ?1)");
        SQLite::Statement count(db, "UPDATE 题库 SET 使用 = (SELECT count(*) FROM 使用记录 WHERE 编号 = ?1) "
                                    "WHERE 编号 = ?1");
        bindText(insert, 2, use.date.toString(Qt::ISODate));
        bindText(insert, 3, use.library);
        bindText(insert, 4, use.paper);
        QSet<qint64> done;
        int recorded = 0;
        for (const qint64 id : ids) {
            if (done.contains(id))
                continue;
            done.insert(id);
            insert.bind(1, int64_t(id));
            const bool there = insert.exec() > 0;
            insert.reset();
            if (!there)
                continue;
            count.bind(1, int64_t(id));
            count.exec();
            count.reset();
            ++recorded;
        }
        tx.commit();
        return recorded;
    });
}

std::optional<UsageSummary> BankFile::usageOf(qint64 id, QString* error) const
{
    if (isServerPath(m_path))
        return ServerBank(m_path, m_slot.get()).usageOf(id, error);
    return withDbFile(m_path, DbKind::Bank, error, [&](SQLite::Database& db) {
        UsageSummary summary;
        SQLite::Transaction read(db);
        if (hasUsageTable(db)) {
            SQLite::Statement st(db, "SELECT 日期, 试卷库, 卷名, count(*) OVER () FROM 使用记录 WHERE 编号 = ? "
                                     "ORDER BY 日期 DESC, 次序 DESC LIMIT 1");
            st.bind(1, int64_t(id));
            if (st.executeStep()) {
                summary.last = {QDate::fromString(columnText(st.getColumn(0)), Qt::ISODate),
                                columnText(st.getColumn(1)), columnText(st.getColumn(2))};
                summary.count = st.getColumn(3).getInt();
            }
        }
        read.commit();
        return summary;
    });
}

namespace {

// A date as the records keep it, "yyyy-MM-dd"; read by hand, since a draw reads thousands.
QDate recordDate(const SQLite::Column& column)
{
    const char* t = column.getText();
    if (column.getBytes() != 10 || t[4] != '-' || t[7] != '-')
        return {};
    const auto number = [t](int from, int digits) {
        int n = 0;
        for (int i = from; i < from + digits; ++i) {
            if (t[i] < '0' || t[i] > '9')
                return -1;
            n = n * 10 + (t[i] - '0');
        }
        return n;
    };
    return QDate(number(0, 4), number(5, 2), number(8, 2));
}

}  // namespace

std::optional<QMap<qint64, UsageSummary>> BankFile::usage(bool withPapers, QString* error) const
{
    if (isServerPath(m_path))
        return ServerBank(m_path, m_slot.get()).usage(withPapers, error);
    return withDbFile(m_path, DbKind::Bank, error, [&](SQLite::Database& db) {
        QMap<qint64, UsageSummary> used;
        SQLite::Transaction read(db);
        if (hasUsageTable(db)) {
            // In the order of the index: each question's uses by date, the latest last (and
            // of one day, the one filed last). What a draw needs comes from the index alone.
            SQLite::Statement st(db, withPapers
                                         ? "SELECT 编号, 日期, 试卷库, 卷名 FROM 使用记录 ORDER BY 编号, 日期, 次序"
                                         : "SELECT 编号, 日期 FROM 使用记录 ORDER BY 编号, 日期");
            auto at = used.end();
            while (st.executeStep()) {
                const qint64 id = st.getColumn(0).getInt64();
                if (at == used.end() || at.key() != id)
                    at = used.insert(used.end(), id, UsageSummary{});
                ++at->count;
                at->last.date = recordDate(st.getColumn(1));
                if (withPapers) {
                    at->last.library = columnText(st.getColumn(2));
                    at->last.paper = columnText(st.getColumn(3));
                }
            }
        }
        read.commit();
        return used;
    });
}

}  // namespace qm
