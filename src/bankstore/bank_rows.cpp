#include "bankstore/bank_rows.h"

#include "bankstore/search_text.h"
#include "bankstore/sqlite_file.h"

namespace qm::bankrows {

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

AttributeList listFor(Attribute a)
{
    switch (a) {
    case Attribute::Type: return AttributeList::Types;
    case Attribute::Chapter: return AttributeList::Chapters;
    case Attribute::Unit: return AttributeList::Units;
    case Attribute::Difficulty: return AttributeList::Difficulties;
    }
    return AttributeList::Types;
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

bool updateQuestion(SQLite::Database& db, qint64 id, const Question& q)
{
    // 使用 (?9) is the store's count of the usage records: an edit leaves it.
    SQLite::Statement st(db, "UPDATE 题库 SET 题目 = ?1, 答案 = ?2, 题型 = ?3, 章节 = ?4, 单元 = ?5, 难度 = ?6, "
                             "分值 = ?7, 备注 = ?8 WHERE 编号 = ?10");
    bindQuestion(st, q);
    st.bind(10, int64_t(id));
    if (st.exec() == 0)
        return false;
    writeSearchText(db, id, q);
    return true;
}

bool deleteQuestion(SQLite::Database& db, qint64 id)
{
    SQLite::Statement st(db, "DELETE FROM 题库 WHERE 编号 = ?");
    st.bind(1, int64_t(id));
    if (st.exec() == 0)
        return false;
    // The write transaction has given the bank its usage records.
    SQLite::Statement uses(db, "DELETE FROM 使用记录 WHERE 编号 = ?");
    uses.bind(1, int64_t(id));
    uses.exec();
    return true;
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
std::string whereClause(const QuestionFilter& f, bool usageTable)
{
    std::string sql;
    auto add = [&sql](bool present, const char* condition) {
        if (present)
            sql += (sql.empty() ? " WHERE " : " AND ") + std::string(condition);
    };
    // Trailing blanks aside: a range the index can walk, then the exact test.
    add(f.type.has_value() && !f.typeIgnoresTrailingBlanks, "题型 = ?");
    add(f.type.has_value() && f.typeIgnoresTrailingBlanks, "题型 >= ? AND 题型 < ? AND rtrim(题型, ' ') = ?");
    add(f.chapter.has_value(), "章节 = ?");
    add(f.unit.has_value(), "单元 = ?");
    add(f.difficulty.has_value(), "难度 = ?");
    add(f.score.has_value(), "分值 = ?");
    // The index of the records answers it from the question's 编号 and the date.
    add(f.notUsedSince.has_value() && usageTable,
        "NOT EXISTS (SELECT 1 FROM 使用记录 AS u WHERE u.编号 = 题库.编号 AND u.日期 >= ?)");
    return sql;
}

bool usageConditionFor(SQLite::Database& db, const QuestionFilter& f)
{
    return f.notUsedSince.has_value() && hasUsageTable(db);
}

void bindFilter(SQLite::Statement& st, const QuestionFilter& f, bool usageTable)
{
    int i = 0;
    if (f.type && f.typeIgnoresTrailingBlanks) {
        // Every text that is the type followed by blanks lies in [type, type + "!").
        QString type = *f.type;
        while (type.endsWith(QLatin1Char(' ')))
            type.chop(1);
        bindText(st, ++i, type);
        bindText(st, ++i, type + QLatin1Char('!'));
        bindText(st, ++i, type);
    } else if (f.type) {
        bindText(st, ++i, *f.type);
    }
    for (const auto* text : {&f.chapter, &f.unit, &f.difficulty})
        if (*text)
            bindText(st, ++i, **text);
    if (f.score)
        st.bind(++i, *f.score);
    // Dates are kept as yyyy-MM-dd, which sort as they follow each other; every date is
    // on or after "", so a null date leaves the questions never used.
    if (f.notUsedSince && usageTable)
        bindText(st, ++i, f.notUsedSince->isValid() ? f.notUsedSince->toString(Qt::ISODate) : QString());
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

}  // namespace qm::bankrows
