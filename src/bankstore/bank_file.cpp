#include "bankstore/bank_file.h"

#include "bankstore/bank_rows.h"
#include "bankstore/list_order.h"
#include "bankstore/search_text.h"
#include "bankstore/server_bank.h"
#include "bankstore/sqlite_file.h"

#include <QFile>
#include <limits>
#include <map>
#include <memory>

namespace qm {

using namespace bankrows;

BankFile::BankFile(QString path)
    : m_path(std::move(path)), m_slot(isServerPath(m_path) ? std::make_shared<pg::ConnectionSlot>() : nullptr)
{}

// --- Files ---

bool BankFile::createEmpty(const QString& path, QString* error)
{
    if (isServerPath(path))
        return ServerBank::createEmpty(path, error);
    return createDbFile(path, DbKind::Bank, error);
}

bool BankFile::createFromTemplate(const QString& templatePath, const QString& path, QString* error)
{
    if (isServerPath(path) || isServerPath(templatePath))
        return ServerBank::createFromTemplate(templatePath, path, error);
    return copyTemplate(templatePath, path, DbKind::Bank, error);
}

bool BankFile::removeFile(const QString& path, QString* error)
{
    if (isServerPath(path))
        return ServerBank::removeFile(path, error);
    QFile::remove(path + QStringLiteral("-journal"));
    if (QFile::exists(path) && !QFile::remove(path)) {
        if (error)
            *error = QStringLiteral("无法删除文件“%1”。").arg(displayPath(path));
        return false;
    }
    return true;
}

bool BankFile::check(QString* error) const
{
    if (isServerPath(m_path))
        return ServerBank(m_path, m_slot.get()).check(error);
    return openDbFile(m_path, DbKind::Bank, error).has_value();
}

// --- Questions ---

std::optional<int> BankFile::count(QString* error) const
{
    if (isServerPath(m_path))
        return ServerBank(m_path, m_slot.get()).count(error);
    return withDbFile(m_path, DbKind::Bank, error, [](SQLite::Database& db) { return rowCount(db, "题库"); });
}

std::optional<QuestionAt> BankFile::read(int position, QString* error) const
{
    if (isServerPath(m_path))
        return ServerBank(m_path, m_slot.get()).read(position, error);
    return withDbFile(m_path, DbKind::Bank, error, [&](SQLite::Database& db) {
        SQLite::Transaction read(db);
        QuestionAt at;
        at.count = rowCount(db, "题库");
        if (at.count == 0)
            return at;
        const bool last = position == -1 || position == at.count - 1;
        const auto id = last ? columnAtPosition(db, "题库", "编号", -1) : idAtPosition(db, position);
        at.position = last ? at.count - 1 : position;
        at.question = questionById(db, *id);
        read.commit();
        return at;
    });
}

std::optional<int> BankFile::positionOf(qint64 id, QString* error) const
{
    return withDbFile(m_path, DbKind::Bank, error,
                      [&](SQLite::Database& db) -> std::optional<int> {
                          SQLite::Statement st(
                              db,
                              "SELECT (SELECT count(*) FROM 题库 WHERE 次序 < q.次序) FROM 题库 AS q WHERE q.编号 = ?");
                          st.bind(1, int64_t(id));
                          if (!st.executeStep())
                              return std::nullopt;
                          return st.getColumn(0).getInt();
                      })
        .value_or(std::nullopt);
}

std::optional<Question> BankFile::readById(qint64 id, QString* error) const
{
    if (isServerPath(m_path))
        return ServerBank(m_path, m_slot.get()).readById(id, error);
    return withDbFile(m_path, DbKind::Bank, error, [&](SQLite::Database& db) { return questionById(db, id); });
}

std::optional<QHash<qint64, Question>> BankFile::readByIds(const QList<qint64>& ids, QString* error) const
{
    if (isServerPath(m_path))
        return ServerBank(m_path, m_slot.get()).readByIds(ids, error);
    return withDbFile(m_path, DbKind::Bank, error, [&](SQLite::Database& db) {
        SQLite::Transaction read(db);
        SQLite::Statement st(db, "SELECT " + kQuestionFields + " FROM 题库 WHERE 编号 = ?");
        QHash<qint64, Question> found;
        for (const qint64 id : ids) {
            if (found.contains(id))
                continue;
            st.reset();
            st.bind(1, int64_t(id));
            if (st.executeStep())
                found.insert(id, questionFrom(st));
        }
        read.commit();
        return found;
    });
}

bool BankFile::forEachQuestion(const std::function<void(int, const Question&)>& visit, QString* error) const
{
    const std::unique_ptr<BankReader> reader = BankReader::open(m_path, error);
    if (!reader)
        return false;
    for (int position = 0; const std::optional<Question> q = reader->next(); ++position)
        visit(position, *q);
    if (!reader->error().isEmpty()) {
        if (error)
            *error = reader->error();
        return false;
    }
    return true;
}

std::optional<int> BankFile::add(const Question& question, QString* error)
{
    if (isServerPath(m_path))
        return ServerBank(m_path, m_slot.get()).add(question, error);
    return withDbFile(m_path, DbKind::Bank, error, [&](SQLite::Database& db) {
        WriteTransaction tx(db);
        SQLite::Statement st(db, "INSERT INTO 题库 (题目, 答案, 题型, 章节, 单元, 难度, 分值, 备注, 使用, 次序) "
                                 "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        bindQuestion(st, question);
        st.bind(10, lastOrderKey(db) + 1);
        st.exec();
        writeSearchText(db, db.getLastInsertRowid(), question);
        const int position = rowCount(db, "题库") - 1;
        tx.commit();
        return position;
    });
}

bool BankFile::overwrite(int position, const Question& question, QString* error)
{
    if (isServerPath(m_path))
        return ServerBank(m_path, m_slot.get()).overwrite(position, question, error);
    return withDbFile(m_path, DbKind::Bank, error,
                      [&](SQLite::Database& db) {
                          WriteTransaction tx(db);
                          updateQuestion(db, idAtPosition(db, position), question);
                          tx.commit();
                          return true;
                      })
        .has_value();
}

std::optional<int> BankFile::remove(int position, QString* error)
{
    if (isServerPath(m_path))
        return ServerBank(m_path, m_slot.get()).remove(position, error);
    return withDbFile(m_path, DbKind::Bank, error, [&](SQLite::Database& db) {
        {
            WriteTransaction tx(db);
            if (const auto id = position >= 0 ? columnAtPosition(db, "题库", "编号", position) : std::nullopt)
                deleteQuestion(db, *id);
            tx.commit();
        }
        compactIfWasteful(db);
        return rowCount(db, "题库");
    });
}

bool BankFile::overwriteById(qint64 id, const Question& question, bool* found, QString* error)
{
    if (isServerPath(m_path))
        return ServerBank(m_path, m_slot.get()).overwriteById(id, question, found, error);
    *found = false;
    return withDbFile(m_path, DbKind::Bank, error,
                      [&](SQLite::Database& db) {
                          WriteTransaction tx(db);
                          *found = updateQuestion(db, id, question);
                          tx.commit();
                          return true;
                      })
        .has_value();
}

std::optional<int> BankFile::removeById(qint64 id, bool* found, QString* error)
{
    if (isServerPath(m_path))
        return ServerBank(m_path, m_slot.get()).removeById(id, found, error);
    *found = false;
    return withDbFile(m_path, DbKind::Bank, error, [&](SQLite::Database& db) {
        {
            WriteTransaction tx(db);
            *found = deleteQuestion(db, id);
            tx.commit();
        }
        if (*found)
            compactIfWasteful(db);
        return rowCount(db, "题库");
    });
}

bool BankFile::compact(QString* error)
{
    if (isServerPath(m_path))
        return ServerBank(m_path, m_slot.get()).compact(error);
    return withDbFile(m_path, DbKind::Bank, error,
                      [](SQLite::Database& db) {
                          db.exec("VACUUM");
                          return true;
                      })
        .has_value();
}

// --- Queries ---

std::optional<QStringList> BankFile::distinctValues(Attribute attribute, const QuestionFilter& filter,
                                                    QString* error) const
{
    if (isServerPath(m_path))
        return ServerBank(m_path, m_slot.get()).distinctValues(attribute, filter, error);
    return withDbFile(m_path, DbKind::Bank, error, [&](SQLite::Database& db) {
        const std::string c = column(attribute);
        SQLite::Transaction read(db);
        const bool usage = usageConditionFor(db, filter);
        SQLite::Statement st(db, "SELECT " + c + " FROM 题库" + whereClause(filter, usage) + " GROUP BY " + c
                                     + " ORDER BY " + c + " COLLATE GBK");
        bindFilter(st, filter, usage);
        QStringList values;
        while (st.executeStep())
            values << columnText(st.getColumn(0));
        const QStringList list = listOf(db, listFor(attribute));
        read.commit();
        return inListOrder(values, list);
    });
}

std::optional<QList<double>> BankFile::distinctScores(const QuestionFilter& filter, QString* error) const
{
    if (isServerPath(m_path))
        return ServerBank(m_path, m_slot.get()).distinctScores(filter, error);
    return withDbFile(m_path, DbKind::Bank, error, [&](SQLite::Database& db) {
        const bool usage = usageConditionFor(db, filter);
        SQLite::Statement st(db, "SELECT 分值 FROM 题库" + whereClause(filter, usage) + " GROUP BY 分值 ORDER BY 分值");
        bindFilter(st, filter, usage);
        QList<double> values;
        while (st.executeStep())
            values << st.getColumn(0).getDouble();
        return values;
    });
}

std::optional<int> BankFile::countMatching(const QuestionFilter& filter, QString* error) const
{
    if (isServerPath(m_path))
        return ServerBank(m_path, m_slot.get()).countMatching(filter, error);
    return withDbFile(m_path, DbKind::Bank, error, [&](SQLite::Database& db) {
        const bool usage = usageConditionFor(db, filter);
        SQLite::Statement st(db, "SELECT count(*) FROM 题库" + whereClause(filter, usage));
        bindFilter(st, filter, usage);
        st.executeStep();
        return st.getColumn(0).getInt();
    });
}

std::optional<QList<qint64>> BankFile::idsMatching(const QuestionFilter& filter, QString* error) const
{
    if (isServerPath(m_path))
        return ServerBank(m_path, m_slot.get()).idsMatching(filter, error);
    return withDbFile(m_path, DbKind::Bank, error, [&](SQLite::Database& db) {
        const bool usage = usageConditionFor(db, filter);
        SQLite::Statement st(db, "SELECT 编号 FROM 题库" + whereClause(filter, usage) + " ORDER BY 次序");
        bindFilter(st, filter, usage);
        QList<qint64> ids;
        while (st.executeStep())
            ids << st.getColumn(0).getInt64();
        return ids;
    });
}

std::optional<QList<QList<qint64>>> BankFile::idsMatchingEach(const QList<QuestionFilter>& filters,
                                                              QString* error) const
{
    if (isServerPath(m_path))
        return ServerBank(m_path, m_slot.get()).idsMatchingEach(filters, error);
    return withDbFile(m_path, DbKind::Bank, error, [&](SQLite::Database& db) {
        // Filters of one shape share one prepared statement.
        std::map<std::string, std::unique_ptr<SQLite::Statement>> statements;
        QList<QList<qint64>> result;
        SQLite::Transaction read(db);
        const bool usageTable = hasUsageTable(db);
        for (const QuestionFilter& filter : filters) {
            const bool usage = usageTable && filter.notUsedSince.has_value();
            const std::string where = whereClause(filter, usage);
            std::unique_ptr<SQLite::Statement>& st = statements[where];
            if (!st)
                st = std::make_unique<SQLite::Statement>(db, "SELECT 编号 FROM 题库" + where + " ORDER BY 次序");
            st->reset();
            st->clearBindings();
            bindFilter(*st, filter, usage);
            QList<qint64> ids;
            while (st->executeStep())
                ids << st->getColumn(0).getInt64();
            result << ids;
        }
        statements.clear();
        read.commit();
        return result;
    });
}

std::optional<QList<AttributeCount>> BankFile::statistics(QString* error) const
{
    if (isServerPath(m_path))
        return ServerBank(m_path, m_slot.get()).statistics(error);
    return withDbFile(m_path, DbKind::Bank, error, [](SQLite::Database& db) {
        SQLite::Statement st(db,
                             "SELECT 题型, 章节, 难度, 分值, 单元, count(*) FROM 题库 "
                             "GROUP BY 题型, 章节, 难度, 分值, 单元 "
                             "ORDER BY 题型 COLLATE GBK, 章节 COLLATE GBK, 难度 COLLATE GBK, 分值, 单元 COLLATE GBK");
        QList<AttributeCount> rows;
        while (st.executeStep())
            rows.append({columnText(st.getColumn(0)), columnText(st.getColumn(1)), columnText(st.getColumn(2)),
                         st.getColumn(3).getDouble(), columnText(st.getColumn(4)), st.getColumn(5).getInt()});
        return rows;
    });
}

std::optional<QList<AttributeCount>> BankFile::groupCounts(const QStringList& types, bool byChapter, bool byUnit,
                                                           bool byDifficulty, bool byScore, QString* error) const
{
    if (isServerPath(m_path))
        return ServerBank(m_path, m_slot.get()).groupCounts(types, byChapter, byUnit, byDifficulty, byScore, error);
    return withDbFile(m_path, DbKind::Bank, error, [&](SQLite::Database& db) {
        // Every field read is a field of the index 题库属性, so the query walks the index
        // alone and never the rows with their documents. Attributes not grouped by are read
        // as constants.
        const std::string groups = std::string("题型") + (byChapter ? ", 章节" : "") + (byUnit ? ", 单元" : "")
                                   + (byDifficulty ? ", 难度" : "") + (byScore ? ", 分值" : "");
        const std::string fields = std::string("题型, ") + (byChapter ? "章节" : "''") + ", " + (byUnit ? "单元" : "''")
                                   + ", " + (byDifficulty ? "难度" : "''") + ", " + (byScore ? "分值" : "0")
                                   + ", count(*)";
        QStringList wanted = types;
        wanted.removeDuplicates();
        QList<AttributeCount> rows;
        SQLite::Transaction read(db);
        // The types go in as bound values, a bounded number per statement.
        constexpr qsizetype kTypesPerQuery = 200;
        for (qsizetype from = 0; from < wanted.size(); from += kTypesPerQuery) {
            const QStringList some = wanted.mid(from, kTypesPerQuery);
            std::string marks;
            for (qsizetype i = 0; i < some.size(); ++i)
                marks += i ? ", ?" : "?";
            SQLite::Statement st(db, "SELECT " + fields + " FROM 题库 WHERE 题型 IN (" + marks + ") GROUP BY " + groups
                                         + " ORDER BY " + groups);
            for (qsizetype i = 0; i < some.size(); ++i)
                bindText(st, int(i) + 1, some[i]);
            while (st.executeStep()) {
                AttributeCount c;
                c.type = columnText(st.getColumn(0));
                c.chapter = columnText(st.getColumn(1));
                c.unit = columnText(st.getColumn(2));
                c.difficulty = columnText(st.getColumn(3));
                c.score = st.getColumn(4).getDouble();
                c.count = st.getColumn(5).getInt();
                rows << c;
            }
        }
        read.commit();
        return rows;
    });
}

// --- Attribute lists ---

std::optional<QStringList> BankFile::list(AttributeList which, QString* error) const
{
    if (isServerPath(m_path))
        return ServerBank(m_path, m_slot.get()).list(which, error);
    return withDbFile(m_path, DbKind::Bank, error, [&](SQLite::Database& db) { return listOf(db, which); });
}

bool BankFile::appendToList(AttributeList which, const QString& name, QString* error)
{
    if (isServerPath(m_path))
        return ServerBank(m_path, m_slot.get()).appendToList(which, name, error);
    return withDbFile(m_path, DbKind::Bank, error,
                      [&](SQLite::Database& db) {
                          const std::string t = table(which);
                          WriteTransaction tx(db);
                          SQLite::Statement st(db, "INSERT INTO " + t + " (" + t + ") VALUES (?)");
                          bindText(st, 1, name);
                          st.exec();
                          tx.commit();
                          return true;
                      })
        .has_value();
}

bool BankFile::renameInList(AttributeList which, int position, const QString& name, QString* error)
{
    if (isServerPath(m_path))
        return ServerBank(m_path, m_slot.get()).renameInList(which, position, name, error);
    return withDbFile(m_path, DbKind::Bank, error,
                      [&](SQLite::Database& db) {
                          const std::string t = table(which);
                          WriteTransaction tx(db);
                          SQLite::Statement st(db, "UPDATE " + t + " SET " + t + " = ? WHERE 次序 = ?");
                          bindText(st, 1, name);
                          st.bind(2, listKeyAt(db, which, position));
                          st.exec();
                          tx.commit();
                          return true;
                      })
        .has_value();
}

bool BankFile::removeFromList(AttributeList which, int position, QString* error)
{
    if (isServerPath(m_path))
        return ServerBank(m_path, m_slot.get()).removeFromList(which, position, error);
    return withDbFile(m_path, DbKind::Bank, error,
                      [&](SQLite::Database& db) {
                          WriteTransaction tx(db);
                          SQLite::Statement st(db, std::string("DELETE FROM ") + table(which) + " WHERE 次序 = ?");
                          st.bind(1, listKeyAt(db, which, position));
                          st.exec();
                          tx.commit();
                          return true;
                      })
        .has_value();
}

bool BankFile::rewriteList(AttributeList which, const QStringList& names, QString* error)
{
    if (isServerPath(m_path))
        return ServerBank(m_path, m_slot.get()).rewriteList(which, names, error);
    return withDbFile(m_path, DbKind::Bank, error,
                      [&](SQLite::Database& db) {
                          const std::string t = table(which);
                          WriteTransaction tx(db);
                          db.exec("DELETE FROM " + t);
                          SQLite::Statement st(db, "INSERT INTO " + t + " (" + t + ") VALUES (?)");
                          for (const QString& name : names) {
                              bindText(st, 1, name);
                              st.exec();
                              st.reset();
                          }
                          tx.commit();
                          return true;
                      })
        .has_value();
}

// --- Particulars ---

std::optional<Particulars> BankFile::particulars(QString* error) const
{
    if (isServerPath(m_path))
        return ServerBank(m_path, m_slot.get()).particulars(error);
    return withDbFile(m_path, DbKind::Bank, error, [](SQLite::Database& db) { return particularsOf(db); });
}

bool BankFile::setParticulars(const Particulars& p, QString* error)
{
    if (isServerPath(m_path))
        return ServerBank(m_path, m_slot.get()).setParticulars(p, error);
    return withDbFile(
               m_path, DbKind::Bank, error,
               [&](SQLite::Database& db) {
                   WriteTransaction tx(db);
                   SQLite::Statement update(db, "UPDATE 参数 SET mc = ?, zy = ?, dg = ?, jk = ?, sd = ?, qy = ? "
                                                "WHERE rowid = (SELECT min(rowid) FROM 参数)");
                   SQLite::Statement insert(db, "INSERT INTO 参数 (mc, zy, dg, jk, sd, qy) VALUES (?, ?, ?, ?, ?, ?)");
                   // The row should always be there; a bank that lost it gets it back.
                   const bool present = rowCount(db, "参数") > 0;
                   SQLite::Statement& st = present ? update : insert;
                   int i = 0;
                   for (const QString* v : {&p.name, &p.speciality, &p.syllabus, &p.author, &p.reviewer, &p.firstUse})
                       bindText(st, ++i, *v);
                   st.exec();
                   tx.commit();
                   return true;
               })
        .has_value();
}

// --- Whole-bank operations ---

std::optional<int> BankFile::mergeFrom(const QString& sourcePath, QString* error, const QSet<qint64>& skip)
{
    if (isServerPath(m_path) || isServerPath(sourcePath))
        return ServerBank(m_path, m_slot.get()).mergeFrom(sourcePath, error, skip);
    const bool itself = isSameFile(m_path, sourcePath);
    if (!itself && !BankFile(sourcePath).check(error))
        return std::nullopt;
    return withDbFile(m_path, DbKind::Bank, error, [&](SQLite::Database& db) {
        if (!itself) {
            SQLite::Statement attach(db, "ATTACH DATABASE ? AS 来源");
            bindText(attach, 1, sourcePath);
            attach.exec();
        }
        const std::string source = itself ? "main" : "来源";
        WriteTransaction tx(db);
        // Which source question becomes which row: numbered after the target's last row in
        // the source's order, the questions to skip left out. Merged into itself, only the
        // questions that were there before are the source.
        const int64_t lastKey = lastOrderKey(db);
        db.exec("CREATE TEMP TABLE IF NOT EXISTS 合并 (旧编号 INTEGER PRIMARY KEY, 新次序 INTEGER NOT NULL)");
        db.exec("DELETE FROM temp.合并");
        {
            SQLite::Statement ids(db, "SELECT 编号 FROM " + source + ".题库 ORDER BY 次序");
            SQLite::Statement map(db, "INSERT INTO temp.合并 VALUES (?, ?)");
            int64_t key = lastKey;
            while (ids.executeStep()) {
                const int64_t id = ids.getColumn(0).getInt64();
                if (skip.contains(id))
                    continue;
                map.bind(1, id);
                map.bind(2, ++key);
                map.exec();
                map.reset();
            }
        }
        // The target gives each its new 编号.
        SQLite::Statement copy(
            db, "INSERT INTO main.题库 (题目, 答案, 题型, 章节, 单元, 难度, 分值, 备注, 使用, 次序) "
                "SELECT q.题目, q.答案, q.题型, q.章节, q.单元, q.难度, q.分值, q.备注, q.使用, m.新次序 "
                "FROM "
                    + source + ".题库 AS q JOIN temp.合并 AS m ON m.旧编号 = q.编号 ORDER BY m.新次序");
        const int added = copy.exec();
        SQLite::Statement texts(db, "INSERT OR REPLACE INTO main.检索 (编号, 文本) "
                                    "SELECT 编号, qm_search_text(题目, 答案) FROM main.题库 WHERE 次序 > ?");
        texts.bind(1, lastKey);
        texts.exec();
        // The usage records follow their questions. A source of version 1 has none.
        if (db.execAndGet("SELECT count(*) FROM " + source
                          + ".sqlite_master WHERE type = 'table' AND name = '使用记录'")
                .getInt()
            > 0) {
            db.exec("INSERT INTO main.使用记录 (编号, 日期, 试卷库, 卷名) "
                    "SELECT q.编号, u.日期, u.试卷库, u.卷名 FROM "
                    + source
                    + ".使用记录 AS u JOIN temp.合并 AS m ON m.旧编号 = u.编号 "
                      "JOIN main.题库 AS q ON q.次序 = m.新次序 ORDER BY u.次序");
        }
        db.exec("DELETE FROM temp.合并");
        tx.commit();
        return added;
    });
}

bool BankFile::sortByChapters(const QStringList& chapterOrder, QString* error)
{
    if (isServerPath(m_path))
        return ServerBank(m_path, m_slot.get()).sortByChapters(chapterOrder, error);
    return withDbFile(m_path, DbKind::Bank, error,
                      [&](SQLite::Database& db) {
                          // The chapter ranks live in the connection's own temporary storage, not in the bank.
                          db.exec("CREATE TEMP TABLE 章节次序 (章节 TEXT PRIMARY KEY, 序 INTEGER NOT NULL)");
                          SQLite::Statement rank(db, "INSERT OR IGNORE INTO temp.章节次序 VALUES (?, ?)");
                          for (int i = 0; i < chapterOrder.size(); ++i) {
                              bindText(rank, 1, chapterOrder[i]);
                              rank.bind(2, i);
                              rank.exec();
                              rank.reset();
                          }
                          WriteTransaction tx(db);
                          // New order keys all lie above the old ones, so no two rows ever share one.
                          SQLite::Statement sort(
                              db, "UPDATE 题库 SET 次序 = ? + s.n FROM "
                                  "(SELECT q.编号 AS 编号, row_number() OVER (ORDER BY coalesce(o.序, ?), q.次序) AS n "
                                  " FROM 题库 AS q LEFT JOIN temp.章节次序 AS o ON o.章节 = q.章节) AS s "
                                  "WHERE 题库.编号 = s.编号");
                          sort.bind(1, lastOrderKey(db));
                          sort.bind(2, int64_t(chapterOrder.size()));
                          sort.exec();
                          tx.commit();
                          return true;
                      })
        .has_value();
}

// --- Prepared fragments ---

std::optional<QByteArray> BankFile::scoringTable(int typeCount, QString* error) const
{
    if (isServerPath(m_path))
        return ServerBank(m_path, m_slot.get()).scoringTable(typeCount, error);
    return withDbFile(m_path, DbKind::Bank, error, [&](SQLite::Database& db) {
        const int k = std::max(typeCount, 1);
        SQLite::Statement st(db, "SELECT 评分表 FROM 评分表 ORDER BY 次序 LIMIT 1 OFFSET ?");
        st.bind(1, k - 1);
        if (!st.executeStep())
            throw StoreError{QStringLiteral("模板“%1”中没有%2种题型的评分表。").arg(displayPath(m_path)).arg(k)};
        return columnBlob(st.getColumn(0));
    });
}

std::optional<QByteArray> BankFile::graderBox(QString* error) const
{
    if (isServerPath(m_path))
        return ServerBank(m_path, m_slot.get()).graderBox(error);
    return withDbFile(m_path, DbKind::Bank, error, [&](SQLite::Database& db) {
        SQLite::Statement st(db, "SELECT 阅卷人 FROM 阅卷人 ORDER BY 次序 LIMIT 1");
        if (!st.executeStep())
            throw StoreError{QStringLiteral("模板“%1”中没有阅卷人表。").arg(displayPath(m_path))};
        return columnBlob(st.getColumn(0));
    });
}

bool BankFile::appendScoringTable(const QByteArray& rtf, QString* error)
{
    if (isServerPath(m_path))
        return ServerBank(m_path, m_slot.get()).appendScoringTable(rtf, error);
    return withDbFile(m_path, DbKind::Bank, error,
                      [&](SQLite::Database& db) {
                          SQLite::Statement st(db, "INSERT INTO 评分表 (评分表) VALUES (?)");
                          bindBlob(st, 1, rtf);
                          st.exec();
                          return true;
                      })
        .has_value();
}

bool BankFile::setGraderBox(const QByteArray& rtf, QString* error)
{
    if (isServerPath(m_path))
        return ServerBank(m_path, m_slot.get()).setGraderBox(rtf, error);
    return withDbFile(m_path, DbKind::Bank, error,
                      [&](SQLite::Database& db) {
                          WriteTransaction tx(db);
                          db.exec("DELETE FROM 阅卷人");
                          SQLite::Statement st(db, "INSERT INTO 阅卷人 (阅卷人) VALUES (?)");
                          bindBlob(st, 1, rtf);
                          st.exec();
                          tx.commit();
                          return true;
                      })
        .has_value();
}

}  // namespace qm
