// Whole banks copied between the stores: read at one moment from a file or a server, and
// written as a new bank, or appended to one, in one transaction. Used to make a server bank
// from a template, to merge across the stores and by qmtool's server-import and -export.

#include "bankstore/bank_rows.h"
#include "bankstore/server_bank.h"
#include "bankstore/sqlite_file.h"

#include <QFile>
#include <QFileInfo>
#include <filesystem>

namespace qm::server {

namespace {

constexpr std::array kLists = {AttributeList::Types, AttributeList::Chapters, AttributeList::Difficulties,
                               AttributeList::Units};

QList<QByteArray> blobs(SQLite::Database& db, const char* table)
{
    SQLite::Statement st(db, std::string("SELECT ") + table + " FROM " + table + " ORDER BY 次序");
    QList<QByteArray> rows;
    while (st.executeStep())
        rows << columnBlob(st.getColumn(0));
    return rows;
}

std::optional<BankContent> readFile(const QString& path, QString* error)
{
    return withDbFile(path, DbKind::Bank, error, [](SQLite::Database& db) {
        SQLite::Transaction read(db);
        BankContent c;
        c.particulars = bankrows::particularsOf(db);
        for (const AttributeList which : kLists)
            c.lists[size_t(which)] = bankrows::listOf(db, which);
        SQLite::Statement questions(db, "SELECT " + bankrows::kQuestionFields + " FROM 题库 ORDER BY 次序");
        while (questions.executeStep())
            c.questions << bankrows::questionFrom(questions);
        if (hasUsageTable(db)) {
            SQLite::Statement uses(db, "SELECT 编号, 日期, 试卷库, 卷名 FROM 使用记录 ORDER BY 次序");
            while (uses.executeStep())
                c.uses.append({uses.getColumn(0).getInt64(),
                               {QDate::fromString(columnText(uses.getColumn(1)), Qt::ISODate),
                                columnText(uses.getColumn(2)), columnText(uses.getColumn(3))}});
        }
        c.scoringTables = blobs(db, "评分表");
        c.graderBoxes = blobs(db, "阅卷人");
        // The highest 编号 ever given, deleted questions' too.
        c.lastId = db.execAndGet("SELECT max(coalesce((SELECT max(seq) FROM sqlite_sequence WHERE name = '题库'), 0), "
                                 "coalesce((SELECT max(编号) FROM 题库), 0))")
                       .getInt64();
        read.commit();
        return c;
    });
}

std::optional<BankContent> readServer(const QString& path, QString* error)
{
    return withServerBank(path, error, [](Session& s) {
        pg::Transaction tx(s.c(), pg::Transaction::Kind::Snapshot);
        const qint64 bank = s.find();
        BankContent c;
        c.particulars = particularsOf(s, bank);
        for (const AttributeList which : kLists)
            c.lists[size_t(which)] = listOf(s, bank, which);
        const pg::Result q =
            s.c().exec(("SELECT " + questionFields() + " FROM qm_question WHERE bank = $1 ORDER BY ord").c_str(),
                       pg::Params().integer(bank));
        for (int i = 0; i < q.rows(); ++i)
            c.questions << serverQuestion(q, i);
        const pg::Result u = s.c().exec("SELECT id, day, library, paper FROM qm_usage WHERE bank = $1 ORDER BY ord",
                                        pg::Params().integer(bank));
        for (int i = 0; i < u.rows(); ++i)
            c.uses.append(
                {u.integer(i, 0), {QDate::fromString(u.text(i, 1), Qt::ISODate), u.text(i, 2), u.text(i, 3)}});
        c.scoringTables = fragments(s, bank, 1);
        c.graderBoxes = fragments(s, bank, 2);
        c.lastId = lastId(s, bank);
        tx.commit();
        return c;
    });
}

void insertFileUses(SQLite::Database& db, const BankContent& content, const QHash<qint64, qint64>& newIds)
{
    SQLite::Statement st(db, "INSERT INTO 使用记录 (编号, 日期, 试卷库, 卷名) VALUES (?, ?, ?, ?)");
    for (const BankContent::Use& use : content.uses) {
        const auto id = newIds.constFind(use.id);
        if (id == newIds.constEnd())
            continue;
        st.bind(1, int64_t(*id));
        bindText(st, 2, use.record.date.toString(Qt::ISODate));
        bindText(st, 3, use.record.library);
        bindText(st, 4, use.record.paper);
        st.exec();
        st.reset();
    }
}

bool writeFile(const QString& path, const BankContent& content, ExistingBank existing, QString* error)
{
    if (existing == ExistingBank::Refuse && QFileInfo::exists(path)) {
        if (error)
            *error = QStringLiteral("文件“%1”已存在。").arg(displayPath(path));
        return false;
    }
    // Written whole under a scratch name, then renamed: no half bank is ever seen.
    const QString part = path + QStringLiteral(".copying");
    QFile::remove(part);
    QFile::remove(part + QStringLiteral("-journal"));
    if (!createDbFile(part, DbKind::Bank, error))
        return false;
    const bool written =
        withDbFile(part, DbKind::Bank, error, [&](SQLite::Database& db) {
            WriteTransaction tx(db);
            SQLite::Statement p(db, "UPDATE 参数 SET mc = ?, zy = ?, dg = ?, jk = ?, sd = ?, qy = ?");
            const Particulars& pa = content.particulars;
            int i = 0;
            for (const QString* v : {&pa.name, &pa.speciality, &pa.syllabus, &pa.author, &pa.reviewer, &pa.firstUse})
                bindText(p, ++i, *v);
            p.exec();
            for (const AttributeList which : kLists) {
                const std::string t = bankrows::table(which);
                SQLite::Statement st(db, "INSERT INTO " + t + " (" + t + ") VALUES (?)");
                for (const QString& name : content.lists[size_t(which)]) {
                    bindText(st, 1, name);
                    st.exec();
                    st.reset();
                }
            }
            SQLite::Statement q(db, "INSERT INTO 题库 (题目, 答案, 题型, 章节, 单元, 难度, 分值, "
                                    "备注, 使用, 编号, 次序) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
            QHash<qint64, qint64> sameIds;
            int64_t order = 0;
            for (const Question& question : content.questions) {
                bankrows::bindQuestion(q, question);
                q.bind(10, int64_t(question.id));
                q.bind(11, ++order);
                q.exec();
                q.reset();
                sameIds.insert(question.id, question.id);
            }
            insertFileUses(db, content, sameIds);
            for (const auto& [table, rows] :
                 {std::pair{"评分表", &content.scoringTables}, std::pair{"阅卷人", &content.graderBoxes}}) {
                SQLite::Statement f(db, std::string("INSERT INTO ") + table + " (" + table + ") VALUES (?)");
                for (const QByteArray& rtf : *rows) {
                    bindBlob(f, 1, rtf);
                    f.exec();
                    f.reset();
                }
            }
            // The next 编号 follows the highest the bank ever gave.
            db.exec("DELETE FROM sqlite_sequence WHERE name = '题库'");
            SQLite::Statement seq(db, "INSERT INTO sqlite_sequence (name, seq) VALUES ('题库', ?)");
            seq.bind(1, int64_t(content.lastId));
            seq.exec();
            tx.commit();
            return true;
        }).has_value();
    // rename(2) puts the copy in the old bank's place in one step.
    std::error_code failed;
    if (written)
        std::filesystem::rename(part.toStdU16String(), path.toStdU16String(), failed);
    if (!written || failed) {
        QFile::remove(part);
        if (written && error)
            *error = QStringLiteral("无法建立文件“%1”。").arg(displayPath(path));
        return false;
    }
    return true;
}

void insertServerUses(Session& s, qint64 bank, const BankContent& content, const QHash<qint64, qint64>& newIds)
{
    for (const BankContent::Use& use : content.uses) {
        const auto id = newIds.constFind(use.id);
        if (id == newIds.constEnd())
            continue;
        s.c().execPrepared("copyuse",
                           "INSERT INTO qm_usage (bank, id, day, library, paper) VALUES ($1, $2, $3, $4, $5)",
                           pg::Params()
                               .integer(bank)
                               .integer(*id)
                               .text(use.record.date.toString(Qt::ISODate))
                               .text(use.record.library)
                               .text(use.record.paper));
    }
}

bool writeServer(const QString& path, const BankContent& content, ExistingBank existing, QString* error)
{
    return withServerBank(
               path, error,
               [&](Session& s) {
                   pg::Transaction tx(s.c());
                   s.upgrade();
                   // The bank replaced goes in the transaction that writes its successor.
                   if (existing == ExistingBank::Replace)
                       s.c().exec("DELETE FROM qm_bank WHERE subject = $1 AND name = $2",
                                  pg::Params().text(s.name().subject).text(s.name().name));
                   const Particulars& p = content.particulars;
                   const pg::Result made =
                       s.c().exec("INSERT INTO qm_bank (subject, name, last_id, mc, zy, dg, jk, sd, qy) "
                                  "VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9) "
                                  "ON CONFLICT DO NOTHING RETURNING bank",
                                  pg::Params()
                                      .text(s.name().subject)
                                      .text(s.name().name)
                                      .integer(content.lastId)
                                      .text(p.name)
                                      .text(p.speciality)
                                      .text(p.syllabus)
                                      .text(p.author)
                                      .text(p.reviewer)
                                      .text(p.firstUse));
                   if (made.rows() == 0)
                       throw StoreError{QStringLiteral("题库“%1”已存在。").arg(path)};
                   const qint64 bank = made.integer(0, 0);
                   for (const AttributeList which : kLists)
                       for (const QString& name : content.lists[size_t(which)])
                           s.c().execPrepared("copylist", "INSERT INTO qm_list (bank, kind, name) VALUES ($1, $2, $3)",
                                              pg::Params().integer(bank).integer(listKind(which)).text(name));
                   QHash<qint64, qint64> sameIds;
                   qint64 order = 0;
                   for (const Question& q : content.questions) {
                       insertQuestion(s, bank, q.id, ++order, q);
                       sameIds.insert(q.id, q.id);
                   }
                   setLastId(s, bank, content.questions.isEmpty() ? 0 : content.questions.last().id);
                   insertServerUses(s, bank, content, sameIds);
                   for (const auto& [kind, rows] :
                        {std::pair{1, &content.scoringTables}, std::pair{2, &content.graderBoxes}})
                       for (const QByteArray& rtf : *rows)
                           s.c().execPrepared("copyfragment",
                                              "INSERT INTO qm_fragment (bank, kind, rtf) VALUES ($1, $2, $3)",
                                              pg::Params().integer(bank).integer(kind).bytes(rtf));
                   tx.commit();
                   return true;
               })
        .value_or(false);
}

}  // namespace

std::optional<BankContent> readBankContent(const QString& path, QString* error)
{
    return isServerPath(path) ? readServer(path, error) : readFile(path, error);
}

bool writeNewBank(const QString& path, const BankContent& content, QString* error, ExistingBank existing)
{
    return isServerPath(path) ? writeServer(path, content, existing, error) : writeFile(path, content, existing, error);
}

std::optional<int> appendContent(const QString& path, const BankContent& content, QString* error)
{
    if (isServerPath(path))
        return withServerBank(path, error, [&](Session& s) {
            pg::Transaction tx(s.c());
            const qint64 bank = s.lock();
            qint64 id = lastId(s, bank);
            qint64 order = lastOrder(s, bank);
            QHash<qint64, qint64> newIds;
            for (const Question& q : content.questions) {
                insertQuestion(s, bank, ++id, ++order, q);
                newIds.insert(q.id, id);
            }
            setLastId(s, bank, id);
            insertServerUses(s, bank, content, newIds);
            tx.commit();
            return int(content.questions.size());
        });
    return withDbFile(path, DbKind::Bank, error, [&](SQLite::Database& db) {
        WriteTransaction tx(db);
        SQLite::Statement st(db, "INSERT INTO 题库 (题目, 答案, 题型, 章节, 单元, 难度, 分值, 备注, 使用, 次序) "
                                 "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        int64_t order = bankrows::lastOrderKey(db);
        QHash<qint64, qint64> newIds;
        for (const Question& q : content.questions) {
            bankrows::bindQuestion(st, q);
            st.bind(10, ++order);
            st.exec();
            st.reset();
            newIds.insert(q.id, db.getLastInsertRowid());
        }
        insertFileUses(db, content, newIds);
        tx.commit();
        return int(content.questions.size());
    });
}

}  // namespace qm::server

namespace qm {

std::optional<int> copyBank(const QString& from, const QString& to, QString* error, ExistingBank existing)
{
    const std::optional<server::BankContent> content = server::readBankContent(from, error);
    if (!content || !server::writeNewBank(to, *content, error, existing))
        return std::nullopt;
    return int(content->questions.size());
}

}  // namespace qm
