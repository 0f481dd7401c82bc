#include "bankstore/bank_file.h"

#include "bankstore/sqlite_file.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <array>
#include <chrono>
#include <thread>

namespace qm {

namespace {

const char* column(Attribute a)
{
    switch (a) {
    case Attribute::Type: return "题型";
    case Attribute::Chapter: return "章节";
    case Attribute::Unit: return "单元";
    case Attribute::Difficulty: return "难度";
    }
    return "";
}

// A list table and its one field share the name.
const char* table(AttributeList l)
{
    switch (l) {
    case AttributeList::Types: return "题型";
    case AttributeList::Chapters: return "章节";
    case AttributeList::Difficulties: return "难度";
    case AttributeList::Units: return "单元";
    }
    return "";
}

const std::string kQuestionFields = "编号, 题目, 答案, 题型, 章节, 单元, 难度, 分值, 备注, 使用";

Question questionFrom(const SQLite::Statement& st)
{
    Question q;
    q.id = st.getColumn(0).getInt64();
    q.text = columnBlob(st.getColumn(1));
    q.answer = columnBlob(st.getColumn(2));
    q.type = columnText(st.getColumn(3));
    q.chapter = columnText(st.getColumn(4));
    q.unit = columnText(st.getColumn(5));
    q.difficulty = columnText(st.getColumn(6));
    q.score = st.getColumn(7).getDouble();
    q.remark = columnText(st.getColumn(8));
    q.use = columnText(st.getColumn(9));
    return q;
}

// Binds 题目 … 使用 to parameters 1 to 9.
void bindQuestion(SQLite::Statement& st, const Question& q)
{
    bindBlob(st, 1, q.text);
    bindBlob(st, 2, q.answer);
    bindText(st, 3, q.type);
    bindText(st, 4, q.chapter);
    bindText(st, 5, q.unit);
    bindText(st, 6, q.difficulty);
    st.bind(7, q.score);
    bindText(st, 8, q.remark);
    bindText(st, 9, q.use);
}

Question questionById(SQLite::Database& db, qint64 id)
{
    SQLite::Statement st(db, "SELECT " + kQuestionFields + " FROM 题库 WHERE 编号 = ?");
    st.bind(1, int64_t(id));
    if (!st.executeStep())
        throw StoreError{QStringLiteral("题库中没有编号为%1的题目。").arg(id)};
    return questionFrom(st);
}

qint64 idAtPosition(SQLite::Database& db, int position)
{
    const auto id = position >= 0 ? columnAtPosition(db, "题库", "编号", position) : std::nullopt;
    if (!id)
        throw StoreError{QStringLiteral("题库中没有第%1道题。").arg(position + 1)};
    return *id;
}

int64_t listKeyAt(SQLite::Database& db, AttributeList which, int position)
{
    const auto key = position >= 0 ? columnAtPosition(db, table(which), "次序", position) : std::nullopt;
    if (!key)
        throw StoreError{QStringLiteral("%1表中没有第%2项。").arg(QString::fromUtf8(table(which))).arg(position + 1)};
    return *key;
}

// " WHERE 题型 = ? AND …" for the conditions of the filter (our own column names only; the
// values are bound by bindFilter in the same order).
std::string whereClause(const QuestionFilter& f)
{
    std::string sql;
    auto add = [&sql](bool present, const char* condition) {
        if (present)
            sql += (sql.empty() ? " WHERE " : " AND ") + std::string(condition);
    };
    add(f.type.has_value(), "题型 = ?");
    add(f.chapter.has_value(), "章节 = ?");
    add(f.unit.has_value(), "单元 = ?");
    add(f.difficulty.has_value(), "难度 = ?");
    add(f.score.has_value(), "分值 = ?");
    return sql;
}

void bindFilter(SQLite::Statement& st, const QuestionFilter& f)
{
    int i = 0;
    for (const auto* text : {&f.type, &f.chapter, &f.unit, &f.difficulty})
        if (*text)
            bindText(st, ++i, **text);
    if (f.score)
        st.bind(++i, *f.score);
}

// The one row of 参数 (empty particulars when a bank has lost it).
Particulars particularsOf(SQLite::Database& db)
{
    SQLite::Statement st(db, "SELECT mc, zy, dg, jk, sd, qy FROM 参数 ORDER BY rowid LIMIT 1");
    Particulars p;
    if (st.executeStep())
        p = {columnText(st.getColumn(0)), columnText(st.getColumn(1)), columnText(st.getColumn(2)),
             columnText(st.getColumn(3)), columnText(st.getColumn(4)), columnText(st.getColumn(5))};
    return p;
}

QStringList listOf(SQLite::Database& db, AttributeList which)
{
    const std::string t = table(which);
    SQLite::Statement st(db, "SELECT " + t + " FROM " + t + " ORDER BY 次序");
    QStringList names;
    while (st.executeStep())
        names << columnText(st.getColumn(0));
    return names;
}

// The highest order key of 题库 (0 when empty); rows numbered above it come last.
int64_t lastOrderKey(SQLite::Database& db)
{
    return db.execAndGet("SELECT coalesce(max(次序), 0) FROM main.题库").getInt64();
}

}  // namespace

BankFile::BankFile(QString path) : m_path(std::move(path)) {}

// --- Files ---

bool BankFile::createEmpty(const QString& path, QString* error)
{
    return createDbFile(path, DbKind::Bank, error);
}

bool BankFile::createFromTemplate(const QString& templatePath, const QString& path, QString* error)
{
    return copyTemplate(templatePath, path, DbKind::Bank, error);
}

bool BankFile::removeFile(const QString& path, QString* error)
{
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
    return openDbFile(m_path, DbKind::Bank, error).has_value();
}

// --- Questions ---

std::optional<int> BankFile::count(QString* error) const
{
    return withDbFile(m_path, DbKind::Bank, error, [](SQLite::Database& db) { return rowCount(db, "题库"); });
}

std::optional<QuestionAt> BankFile::read(int position, QString* error) const
{
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

std::optional<Question> BankFile::readById(qint64 id, QString* error) const
{
    return withDbFile(m_path, DbKind::Bank, error, [&](SQLite::Database& db) { return questionById(db, id); });
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
    return withDbFile(m_path, DbKind::Bank, error, [&](SQLite::Database& db) {
        WriteTransaction tx(db);
        SQLite::Statement st(db, "INSERT INTO 题库 (题目, 答案, 题型, 章节, 单元, 难度, 分值, 备注, 使用, 次序) "
                                 "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        bindQuestion(st, question);
        st.bind(10, lastOrderKey(db) + 1);
        st.exec();
        const int position = rowCount(db, "题库") - 1;
        tx.commit();
        return position;
    });
}

bool BankFile::overwrite(int position, const Question& question, QString* error)
{
    return withDbFile(m_path, DbKind::Bank, error,
                      [&](SQLite::Database& db) {
                          WriteTransaction tx(db);
                          SQLite::Statement st(
                              db, "UPDATE 题库 SET 题目 = ?, 答案 = ?, 题型 = ?, 章节 = ?, 单元 = ?, 难度 = ?, "
                                  "分值 = ?, 备注 = ?, 使用 = ? WHERE 编号 = ?");
                          bindQuestion(st, question);
                          st.bind(10, int64_t(idAtPosition(db, position)));
                          st.exec();
                          tx.commit();
                          return true;
                      })
        .has_value();
}

std::optional<int> BankFile::remove(int position, QString* error)
{
    return withDbFile(m_path, DbKind::Bank, error, [&](SQLite::Database& db) {
        {
            WriteTransaction tx(db);
            if (const auto id = position >= 0 ? columnAtPosition(db, "题库", "编号", position) : std::nullopt) {
                SQLite::Statement st(db, "DELETE FROM 题库 WHERE 编号 = ?");
                st.bind(1, *id);
                st.exec();
            }
            tx.commit();
        }
        compactIfWasteful(db);
        return rowCount(db, "题库");
    });
}

bool BankFile::overwriteById(qint64 id, const Question& question, bool* found, QString* error)
{
    *found = false;
    return withDbFile(m_path, DbKind::Bank, error,
                      [&](SQLite::Database& db) {
                          WriteTransaction tx(db);
                          SQLite::Statement st(
                              db, "UPDATE 题库 SET 题目 = ?, 答案 = ?, 题型 = ?, 章节 = ?, 单元 = ?, 难度 = ?, "
                                  "分值 = ?, 备注 = ?, 使用 = ? WHERE 编号 = ?");
                          bindQuestion(st, question);
                          st.bind(10, int64_t(id));
                          *found = st.exec() > 0;
                          tx.commit();
                          return true;
                      })
        .has_value();
}

std::optional<int> BankFile::removeById(qint64 id, bool* found, QString* error)
{
    *found = false;
    return withDbFile(m_path, DbKind::Bank, error, [&](SQLite::Database& db) {
        {
            WriteTransaction tx(db);
            SQLite::Statement st(db, "DELETE FROM 题库 WHERE 编号 = ?");
            st.bind(1, int64_t(id));
            *found = st.exec() > 0;
            tx.commit();
        }
        if (*found)
            compactIfWasteful(db);
        return rowCount(db, "题库");
    });
}

bool BankFile::compact(QString* error)
{
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
    return withDbFile(m_path, DbKind::Bank, error, [&](SQLite::Database& db) {
        const std::string c = column(attribute);
        SQLite::Statement st(db, "SELECT " + c + " FROM 题库" + whereClause(filter) + " GROUP BY " + c + " ORDER BY "
                                     + c + " COLLATE GBK");
        bindFilter(st, filter);
        QStringList values;
        while (st.executeStep())
            values << columnText(st.getColumn(0));
        return values;
    });
}

std::optional<QList<double>> BankFile::distinctScores(const QuestionFilter& filter, QString* error) const
{
    return withDbFile(m_path, DbKind::Bank, error, [&](SQLite::Database& db) {
        SQLite::Statement st(db, "SELECT 分值 FROM 题库" + whereClause(filter) + " GROUP BY 分值 ORDER BY 分值");
        bindFilter(st, filter);
        QList<double> values;
        while (st.executeStep())
            values << st.getColumn(0).getDouble();
        return values;
    });
}

std::optional<int> BankFile::countMatching(const QuestionFilter& filter, QString* error) const
{
    return withDbFile(m_path, DbKind::Bank, error, [&](SQLite::Database& db) {
        SQLite::Statement st(db, "SELECT count(*) FROM 题库" + whereClause(filter));
        bindFilter(st, filter);
        st.executeStep();
        return st.getColumn(0).getInt();
    });
}

std::optional<QList<qint64>> BankFile::idsMatching(const QuestionFilter& filter, QString* error) const
{
    return withDbFile(m_path, DbKind::Bank, error, [&](SQLite::Database& db) {
        SQLite::Statement st(db, "SELECT 编号 FROM 题库" + whereClause(filter) + " ORDER BY 次序");
        bindFilter(st, filter);
        QList<qint64> ids;
        while (st.executeStep())
            ids << st.getColumn(0).getInt64();
        return ids;
    });
}

std::optional<QList<AttributeCount>> BankFile::statistics(QString* error) const
{
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

// --- Attribute lists ---

std::optional<QStringList> BankFile::list(AttributeList which, QString* error) const
{
    return withDbFile(m_path, DbKind::Bank, error, [&](SQLite::Database& db) { return listOf(db, which); });
}

bool BankFile::appendToList(AttributeList which, const QString& name, QString* error)
{
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
    return withDbFile(m_path, DbKind::Bank, error, [](SQLite::Database& db) { return particularsOf(db); });
}

bool BankFile::setParticulars(const Particulars& p, QString* error)
{
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

std::optional<int> BankFile::mergeFrom(const QString& sourcePath, QString* error)
{
    const bool itself = isSameFile(m_path, sourcePath);
    if (!itself && !BankFile(sourcePath).check(error))
        return std::nullopt;
    return withDbFile(m_path, DbKind::Bank, error, [&](SQLite::Database& db) {
        if (!itself) {
            SQLite::Statement attach(db, "ATTACH DATABASE ? AS 来源");
            bindText(attach, 1, sourcePath);
            attach.exec();
        }
        WriteTransaction tx(db);
        // One statement copies every row, numbered after the target's last row in the
        // source's order; the target gives each its new 编号.
        SQLite::Statement copy(
            db, std::string("INSERT INTO main.题库 (题目, 答案, 题型, 章节, 单元, 难度, 分值, 备注, 使用, 次序) "
                            "SELECT 题目, 答案, 题型, 章节, 单元, 难度, 分值, 备注, 使用, "
                            "? + row_number() OVER (ORDER BY 次序) FROM ")
                    + (itself ? "main" : "来源") + ".题库 ORDER BY 次序");
        copy.bind(1, lastOrderKey(db));
        const int added = copy.exec();
        tx.commit();
        return added;
    });
}

bool BankFile::sortByChapters(const QStringList& chapterOrder, QString* error)
{
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
    return withDbFile(m_path, DbKind::Bank, error, [&](SQLite::Database& db) {
        SQLite::Statement st(db, "SELECT 阅卷人 FROM 阅卷人 ORDER BY 次序 LIMIT 1");
        if (!st.executeStep())
            throw StoreError{QStringLiteral("模板“%1”中没有阅卷人表。").arg(displayPath(m_path))};
        return columnBlob(st.getColumn(0));
    });
}

bool BankFile::appendScoringTable(const QByteArray& rtf, QString* error)
{
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

// --- Reading in one pass ---

struct BankReader::Impl {
    QString path;
    SQLite::Database db;
    // Declared after the database, so that they are destroyed before it.
    std::optional<SQLite::Transaction> read;
    std::optional<SQLite::Statement> questions;
    Particulars particulars;
    std::array<QStringList, 4> lists;
    int count = 0;
    QString error;

    Impl(QString p, SQLite::Database&& d) : path(std::move(p)), db(std::move(d)) {}
};

BankReader::BankReader(std::unique_ptr<Impl> impl) : d(std::move(impl)) {}

BankReader::~BankReader() = default;

std::unique_ptr<BankReader> BankReader::open(const QString& path, QString* error)
{
    std::optional<SQLite::Database> db = openDbFile(path, DbKind::Bank, error);
    if (!db)
        return nullptr;
    auto d = std::make_unique<Impl>(path, std::move(*db));
    try {
        d->read.emplace(d->db);
        d->particulars = particularsOf(d->db);
        for (AttributeList which :
             {AttributeList::Types, AttributeList::Chapters, AttributeList::Difficulties, AttributeList::Units})
            d->lists[size_t(which)] = listOf(d->db, which);
        d->count = rowCount(d->db, "题库");
        d->questions.emplace(d->db, "SELECT " + kQuestionFields + " FROM 题库 ORDER BY 次序");
    } catch (const SQLite::Exception& e) {
        if (error)
            *error = dbErrorMessage(path, e);
        return nullptr;
    }
    return std::unique_ptr<BankReader>(new BankReader(std::move(d)));
}

const Particulars& BankReader::particulars() const
{
    return d->particulars;
}

const QStringList& BankReader::list(AttributeList which) const
{
    return d->lists[size_t(which)];
}

int BankReader::count() const
{
    return d->count;
}

std::optional<Question> BankReader::next()
{
    if (!d->questions)
        return std::nullopt;
    try {
        if (d->questions->executeStep())
            return questionFrom(*d->questions);
        d->questions.reset();
        d->read->commit();
        d->read.reset();
    } catch (const SQLite::Exception& e) {
        d->questions.reset();
        d->read.reset();
        d->error = dbErrorMessage(d->path, e);
    }
    return std::nullopt;
}

const QString& BankReader::error() const
{
    return d->error;
}

// --- Appending in bulk ---

struct BankAppender::Impl {
    QString path;
    SQLite::Database db;
    std::optional<WriteTransaction> tx;
    std::optional<SQLite::Statement> insert;
    int64_t key = 0;
    // Names known to be in each list during the open transaction; outside it another
    // program may change the lists.
    std::array<QSet<QString>, 4> listed;
    // Started at each commit.
    QElapsedTimer sinceCommit;
    // Started at the first transaction and after each break of kWriterPauseMs.
    QElapsedTimer sinceBreak;

    Impl(QString p, SQLite::Database&& d) : path(std::move(p)), db(std::move(d)) {}
};

BankAppender::BankAppender(std::unique_ptr<Impl> impl) : d(std::move(impl)) {}

BankAppender::~BankAppender()
{
    // Statements go before their database; an open transaction rolls back.
    d->insert.reset();
    d->tx.reset();
}

std::unique_ptr<BankAppender> BankAppender::open(const QString& path, QString* error)
{
    std::optional<SQLite::Database> db = openDbFile(path, DbKind::Bank, error);
    if (!db)
        return nullptr;
    return std::unique_ptr<BankAppender>(new BankAppender(std::make_unique<Impl>(path, std::move(*db))));
}

void BankAppender::takeBreakIfDue()
{
    if (!d->sinceCommit.isValid() || d->sinceCommit.elapsed() >= kWriterPauseMs) {
        // The first transaction, or the bank has been left alone long enough already.
        d->sinceBreak.start();
        return;
    }
    if (d->sinceBreak.elapsed() < kWriterHoldMs)
        return;
    std::this_thread::sleep_for(std::chrono::milliseconds(kWriterPauseMs - d->sinceCommit.elapsed()));
    d->sinceBreak.start();
}

bool BankAppender::write(QString* error, const std::function<void()>& work)
{
    try {
        if (!d->tx) {
            takeBreakIfDue();
            d->tx.emplace(d->db);
            // Another computer may have added rows or changed the lists since the last commit.
            d->key = lastOrderKey(d->db);
            for (QSet<QString>& names : d->listed)
                names.clear();
        }
        work();
        return true;
    } catch (const SQLite::Exception& e) {
        d->insert.reset();
        d->tx.reset();
        if (error)
            *error = dbErrorMessage(d->path, e);
    }
    return false;
}

bool BankAppender::add(const Question& question, QString* error)
{
    return write(error, [&] {
        if (!d->insert)
            d->insert.emplace(d->db, "INSERT INTO 题库 (题目, 答案, 题型, 章节, 单元, 难度, 分值, 备注, 使用, 次序) "
                                     "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        bindQuestion(*d->insert, question);
        d->insert->bind(10, ++d->key);
        d->insert->exec();
        d->insert->reset();
    });
}

bool BankAppender::addToListIfMissing(AttributeList which, const QString& name, QString* error)
{
    return write(error, [&] {
        QSet<QString>& listed = d->listed[size_t(which)];
        if (listed.contains(name))
            return;
        const std::string t = table(which);
        SQLite::Statement st(d->db, "INSERT INTO " + t + " (" + t + ") SELECT ?1 WHERE NOT EXISTS (SELECT 1 FROM " + t
                                        + " WHERE " + t + " = ?1)");
        bindText(st, 1, name);
        st.exec();
        listed.insert(name);
    });
}

bool BankAppender::commit(QString* error)
{
    if (!d->tx)
        return true;
    try {
        d->tx->commit();
        d->tx.reset();
        d->sinceCommit.start();
        return true;
    } catch (const SQLite::Exception& e) {
        d->insert.reset();
        d->tx.reset();
        if (error)
            *error = dbErrorMessage(d->path, e);
    }
    return false;
}

bool BankAppender::pending() const
{
    return d->tx.has_value();
}

}  // namespace qm
