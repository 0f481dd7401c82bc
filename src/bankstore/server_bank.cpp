// BankFile's operations for a bank on a server: the bank itself, its questions, lists,
// particulars and fragments. Queries, uses and whole-bank operations: server_queries.cpp.

#include "bankstore/server_bank.h"

namespace qm {

using server::Session;
using server::withServerBank;

namespace {

constexpr const char* kFields = "id, text, answer, type, chapter, unit, difficulty, score, remark, used";

QString bankDisplay(const QString& path)
{
    return path;
}

int questionCount(Session& s, qint64 bank)
{
    return int(
        s.c()
            .execPrepared("count", "SELECT count(*) FROM qm_question WHERE bank = $1", pg::Params().integer(bank))
            .integer(0, 0));
}

// The 编号 at a position in row order (-1: the last), or nothing.
std::optional<qint64> idAt(Session& s, qint64 bank, int position)
{
    if (position < -1)
        return std::nullopt;
    const pg::Result r =
        position == -1
            ? s.c().execPrepared("last", "SELECT id FROM qm_question WHERE bank = $1 ORDER BY ord DESC LIMIT 1",
                                 pg::Params().integer(bank))
            : s.c().execPrepared("at", "SELECT id FROM qm_question WHERE bank = $1 ORDER BY ord OFFSET $2 LIMIT 1",
                                 pg::Params().integer(bank).integer(position));
    if (r.rows() == 0)
        return std::nullopt;
    return r.integer(0, 0);
}

qint64 idAtPosition(Session& s, qint64 bank, int position)
{
    const auto id = position >= 0 ? idAt(s, bank, position) : std::nullopt;
    if (!id)
        throw StoreError{QStringLiteral("题库中没有第%1道题。").arg(position + 1)};
    return *id;
}

std::optional<Question> questionWithId(Session& s, qint64 bank, qint64 id)
{
    const pg::Result r = s.c().execPrepared(
        "question", (QByteArray("SELECT ") + kFields + " FROM qm_question WHERE bank = $1 AND id = $2").constData(),
        pg::Params().integer(bank).integer(id));
    if (r.rows() == 0)
        return std::nullopt;
    return serverQuestion(r, 0);
}

Question questionById(Session& s, qint64 bank, qint64 id)
{
    const std::optional<Question> q = questionWithId(s, bank, id);
    if (!q)
        throw StoreError{QStringLiteral("题库中没有编号为%1的题目。").arg(id)};
    return *q;
}

pg::Params questionParams(const Question& q)
{
    return pg::Params()
        .bytes(q.text)
        .bytes(q.answer)
        .text(q.type)
        .text(q.chapter)
        .text(q.unit)
        .text(q.difficulty)
        .real(q.score)
        .text(q.remark);
}

bool updateQuestion(Session& s, qint64 bank, qint64 id, const Question& q)
{
    // 使用 counts the usage records: an edit leaves it.
    pg::Params p = questionParams(q);
    p.integer(bank).integer(id);
    return s.c()
               .exec("UPDATE qm_question SET text = $1, answer = $2, type = $3, chapter = $4, unit = $5, "
                     "difficulty = $6, score = $7, remark = $8 WHERE bank = $9 AND id = $10",
                     p)
               .affected()
           > 0;
}

bool deleteQuestion(Session& s, qint64 bank, qint64 id)
{
    const pg::Params p = pg::Params().integer(bank).integer(id);
    if (s.c().exec("DELETE FROM qm_question WHERE bank = $1 AND id = $2", p).affected() == 0)
        return false;
    s.c().exec("DELETE FROM qm_usage WHERE bank = $1 AND id = $2", p);
    return true;
}

qint64 listKeyAt(Session& s, qint64 bank, AttributeList which, int position)
{
    const pg::Result r =
        position < 0
            ? s.c().exec("SELECT 1 WHERE false")
            : s.c().exec("SELECT ord FROM qm_list WHERE bank = $1 AND kind = $2 ORDER BY ord OFFSET $3 LIMIT 1",
                         pg::Params().integer(bank).integer(server::listKind(which)).integer(position));
    if (r.rows() == 0)
        throw StoreError{QStringLiteral("%1表中没有第%2项。")
                             .arg(QString::fromUtf8(std::array{"题型", "章节", "难度", "单元"}[size_t(which)]))
                             .arg(position + 1)};
    return r.integer(0, 0);
}

}  // namespace

namespace server {

// Appends one question with the next 编号 after `*lastId` at order key `order`. The caller
// stores the new highest 编号 in qm_bank.
void insertQuestion(Session& s, qint64 bank, qint64 id, qint64 order, const Question& q)
{
    pg::Params p = questionParams(q);
    p.text(q.use).integer(bank).integer(id).integer(order);
    s.c().execPrepared("insert",
                       "INSERT INTO qm_question (text, answer, type, chapter, unit, difficulty, score, remark, used, "
                       "bank, id, ord) VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12)",
                       p);
}

qint64 lastId(Session& s, qint64 bank)
{
    return s.c().exec("SELECT last_id FROM qm_bank WHERE bank = $1", pg::Params().integer(bank)).integer(0, 0);
}

qint64 lastOrder(Session& s, qint64 bank)
{
    return s.c()
        .execPrepared("lastorder", "SELECT coalesce(max(ord), 0) FROM qm_question WHERE bank = $1",
                      pg::Params().integer(bank))
        .integer(0, 0);
}

void setLastId(Session& s, qint64 bank, qint64 id)
{
    s.c().exec("UPDATE qm_bank SET last_id = greatest(last_id, $2) WHERE bank = $1",
               pg::Params().integer(bank).integer(id));
}

QStringList listOf(Session& s, qint64 bank, AttributeList which)
{
    const pg::Result r =
        s.c().execPrepared("list", "SELECT name FROM qm_list WHERE bank = $1 AND kind = $2 ORDER BY ord",
                           pg::Params().integer(bank).integer(listKind(which)));
    QStringList names;
    for (int i = 0; i < r.rows(); ++i)
        names << r.text(i, 0);
    return names;
}

Particulars particularsOf(Session& s, qint64 bank)
{
    const pg::Result r =
        s.c().exec("SELECT mc, zy, dg, jk, sd, qy FROM qm_bank WHERE bank = $1", pg::Params().integer(bank));
    return {r.text(0, 0), r.text(0, 1), r.text(0, 2), r.text(0, 3), r.text(0, 4), r.text(0, 5)};
}

QList<QByteArray> fragments(Session& s, qint64 bank, int kind)
{
    const pg::Result r = s.c().exec("SELECT rtf FROM qm_fragment WHERE bank = $1 AND kind = $2 ORDER BY ord",
                                    pg::Params().integer(bank).integer(kind));
    QList<QByteArray> rows;
    for (int i = 0; i < r.rows(); ++i)
        rows << r.bytes(i, 0);
    return rows;
}

std::string questionFields()
{
    return kFields;
}

}  // namespace server

// --- The bank ---

bool ServerBank::createEmpty(const QString& path, QString* error)
{
    return withServerBank(path, error,
                          [&](Session& s) {
                              pg::Transaction tx(s.c());
                              s.upgrade();
                              const int made = s.c()
                                                   .exec("INSERT INTO qm_bank (subject, name) VALUES ($1, $2) "
                                                         "ON CONFLICT DO NOTHING",
                                                         pg::Params().text(s.name().subject).text(s.name().name))
                                                   .affected();
                              if (made == 0)
                                  throw StoreError{QStringLiteral("题库“%1”已存在。").arg(bankDisplay(path))};
                              tx.commit();
                              return true;
                          })
        .value_or(false);
}

bool ServerBank::createFromTemplate(const QString& templatePath, const QString& path, QString* error)
{
    std::optional<server::BankContent> content = server::readBankContent(templatePath, error);
    if (!content)
        return false;
    return server::writeNewBank(path, *content, error);
}

bool ServerBank::removeFile(const QString& path, QString* error)
{
    return withServerBank(path, error,
                          [&](Session& s) {
                              s.c().exec("DELETE FROM qm_bank WHERE subject = $1 AND name = $2",
                                         pg::Params().text(s.name().subject).text(s.name().name));
                              return true;
                          })
        .value_or(false);
}

bool ServerBank::check(QString* error) const
{
    return withServerBank(m_path, m_slot, error, [](Session& s) { return s.find() > 0; }).value_or(false);
}

// --- Questions ---

std::optional<int> ServerBank::count(QString* error) const
{
    return withServerBank(m_path, m_slot, error, [](Session& s) { return questionCount(s, s.find()); });
}

std::optional<QuestionAt> ServerBank::read(int position, QString* error) const
{
    return withServerBank(m_path, m_slot, error, [&](Session& s) {
        pg::Transaction tx(s.c(), pg::Transaction::Kind::Snapshot);
        const qint64 bank = s.find();
        QuestionAt at;
        at.count = questionCount(s, bank);
        if (at.count == 0)
            return at;
        const bool last = position == -1 || position == at.count - 1;
        const qint64 id = last ? *idAt(s, bank, -1) : idAtPosition(s, bank, position);
        at.position = last ? at.count - 1 : position;
        at.question = questionById(s, bank, id);
        tx.commit();
        return at;
    });
}

std::optional<Question> ServerBank::readById(qint64 id, QString* error) const
{
    return withServerBank(m_path, m_slot, error, [&](Session& s) { return questionById(s, s.find(), id); });
}

std::optional<QHash<qint64, Question>> ServerBank::readByIds(const QList<qint64>& ids, QString* error) const
{
    return withServerBank(m_path, m_slot, error, [&](Session& s) {
        pg::Transaction tx(s.c(), pg::Transaction::Kind::Snapshot);
        const qint64 bank = s.find();
        QHash<qint64, Question> found;
        for (const qint64 id : ids) {
            if (found.contains(id))
                continue;
            if (const std::optional<Question> q = questionWithId(s, bank, id))
                found.insert(id, *q);
        }
        tx.commit();
        return found;
    });
}

std::optional<int> ServerBank::add(const Question& question, QString* error)
{
    return withServerBank(m_path, m_slot, error, [&](Session& s) {
        pg::Transaction tx(s.c());
        // The lock gives the 编号; the rest is one statement (one round trip) while the bank
        // is locked, so that writers of one bank wait for each other as little as possible.
        // Its snapshot is taken after the lock: it sees what the writer before committed.
        const Session::Numbered next = s.lockForAdd();
        pg::Params p = questionParams(question);
        p.text(question.use).integer(next.bank).integer(next.id);
        const int position = int(
            s.c()
                .execPrepared("add",
                              "WITH added AS (INSERT INTO qm_question (text, answer, type, chapter, unit, difficulty, "
                              "    score, remark, used, bank, id, ord) "
                              "  SELECT $1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, "
                              "    (SELECT coalesce(max(ord), 0) + 1 FROM qm_question WHERE bank = $10)) "
                              // The count does not see the row the statement adds: its position.
                              "SELECT count(*) FROM qm_question WHERE bank = $10",
                              p)
                .integer(0, 0));
        tx.commit();
        return position;
    });
}

bool ServerBank::overwrite(int position, const Question& question, QString* error)
{
    return withServerBank(m_path, m_slot, error,
                          [&](Session& s) {
                              pg::Transaction tx(s.c());
                              const qint64 bank = s.lock();
                              updateQuestion(s, bank, idAtPosition(s, bank, position), question);
                              tx.commit();
                              return true;
                          })
        .has_value();
}

std::optional<int> ServerBank::remove(int position, QString* error)
{
    return withServerBank(m_path, m_slot, error, [&](Session& s) {
        pg::Transaction tx(s.c());
        const qint64 bank = s.lock();
        if (const auto id = position >= 0 ? idAt(s, bank, position) : std::nullopt)
            deleteQuestion(s, bank, *id);
        const int left = questionCount(s, bank);
        tx.commit();
        return left;
    });
}

bool ServerBank::overwriteById(qint64 id, const Question& question, bool* found, QString* error)
{
    *found = false;
    return withServerBank(m_path, m_slot, error,
                          [&](Session& s) {
                              pg::Transaction tx(s.c());
                              *found = updateQuestion(s, s.lock(), id, question);
                              tx.commit();
                              return true;
                          })
        .has_value();
}

std::optional<int> ServerBank::removeById(qint64 id, bool* found, QString* error)
{
    *found = false;
    return withServerBank(m_path, m_slot, error, [&](Session& s) {
        pg::Transaction tx(s.c());
        const qint64 bank = s.lock();
        *found = deleteQuestion(s, bank, id);
        const int left = questionCount(s, bank);
        tx.commit();
        return left;
    });
}

bool ServerBank::compact(QString* error)
{
    // The server reclaims the space of deleted rows by itself.
    return check(error);
}

// --- Attribute lists ---

std::optional<QStringList> ServerBank::list(AttributeList which, QString* error) const
{
    return withServerBank(m_path, m_slot, error, [&](Session& s) { return server::listOf(s, s.find(), which); });
}

bool ServerBank::appendToList(AttributeList which, const QString& name, QString* error)
{
    return withServerBank(m_path, m_slot, error,
                          [&](Session& s) {
                              pg::Transaction tx(s.c());
                              s.c().exec("INSERT INTO qm_list (bank, kind, name) VALUES ($1, $2, $3)",
                                         pg::Params().integer(s.lock()).integer(server::listKind(which)).text(name));
                              tx.commit();
                              return true;
                          })
        .has_value();
}

bool ServerBank::renameInList(AttributeList which, int position, const QString& name, QString* error)
{
    return withServerBank(m_path, m_slot, error,
                          [&](Session& s) {
                              pg::Transaction tx(s.c());
                              const qint64 bank = s.lock();
                              s.c().exec(
                                  "UPDATE qm_list SET name = $1 WHERE bank = $2 AND ord = $3",
                                  pg::Params().text(name).integer(bank).integer(listKeyAt(s, bank, which, position)));
                              tx.commit();
                              return true;
                          })
        .has_value();
}

bool ServerBank::removeFromList(AttributeList which, int position, QString* error)
{
    return withServerBank(m_path, m_slot, error,
                          [&](Session& s) {
                              pg::Transaction tx(s.c());
                              const qint64 bank = s.lock();
                              s.c().exec("DELETE FROM qm_list WHERE bank = $1 AND ord = $2",
                                         pg::Params().integer(bank).integer(listKeyAt(s, bank, which, position)));
                              tx.commit();
                              return true;
                          })
        .has_value();
}

bool ServerBank::rewriteList(AttributeList which, const QStringList& names, QString* error)
{
    return withServerBank(m_path, m_slot, error,
                          [&](Session& s) {
                              pg::Transaction tx(s.c());
                              const qint64 bank = s.lock();
                              const int kind = server::listKind(which);
                              s.c().exec("DELETE FROM qm_list WHERE bank = $1 AND kind = $2",
                                         pg::Params().integer(bank).integer(kind));
                              for (const QString& name : names)
                                  s.c().execPrepared("listadd",
                                                     "INSERT INTO qm_list (bank, kind, name) VALUES ($1, $2, $3)",
                                                     pg::Params().integer(bank).integer(kind).text(name));
                              tx.commit();
                              return true;
                          })
        .has_value();
}

// --- Particulars ---

std::optional<Particulars> ServerBank::particulars(QString* error) const
{
    return withServerBank(m_path, m_slot, error, [](Session& s) { return server::particularsOf(s, s.find()); });
}

bool ServerBank::setParticulars(const Particulars& p, QString* error)
{
    return withServerBank(m_path, m_slot, error,
                          [&](Session& s) {
                              pg::Transaction tx(s.c());
                              const qint64 bank = s.lock();
                              s.c().exec("UPDATE qm_bank SET mc = $1, zy = $2, dg = $3, jk = $4, sd = $5, qy = $6 "
                                         "WHERE bank = $7",
                                         pg::Params()
                                             .text(p.name)
                                             .text(p.speciality)
                                             .text(p.syllabus)
                                             .text(p.author)
                                             .text(p.reviewer)
                                             .text(p.firstUse)
                                             .integer(bank));
                              tx.commit();
                              return true;
                          })
        .has_value();
}

// --- Prepared fragments ---

std::optional<QByteArray> ServerBank::scoringTable(int typeCount, QString* error) const
{
    return withServerBank(m_path, m_slot, error, [&](Session& s) {
        const int k = std::max(typeCount, 1);
        const pg::Result r =
            s.c().exec("SELECT rtf FROM qm_fragment WHERE bank = $1 AND kind = 1 ORDER BY ord OFFSET $2 LIMIT 1",
                       pg::Params().integer(s.find()).integer(k - 1));
        if (r.rows() == 0)
            throw StoreError{QStringLiteral("模板“%1”中没有%2种题型的评分表。").arg(bankDisplay(m_path)).arg(k)};
        return r.bytes(0, 0);
    });
}

std::optional<QByteArray> ServerBank::graderBox(QString* error) const
{
    return withServerBank(m_path, m_slot, error, [&](Session& s) {
        const pg::Result r = s.c().exec("SELECT rtf FROM qm_fragment WHERE bank = $1 AND kind = 2 ORDER BY ord LIMIT 1",
                                        pg::Params().integer(s.find()));
        if (r.rows() == 0)
            throw StoreError{QStringLiteral("模板“%1”中没有阅卷人表。").arg(bankDisplay(m_path))};
        return r.bytes(0, 0);
    });
}

bool ServerBank::appendScoringTable(const QByteArray& rtf, QString* error)
{
    return withServerBank(m_path, m_slot, error,
                          [&](Session& s) {
                              pg::Transaction tx(s.c());
                              s.c().exec("INSERT INTO qm_fragment (bank, kind, rtf) VALUES ($1, 1, $2)",
                                         pg::Params().integer(s.lock()).bytes(rtf));
                              tx.commit();
                              return true;
                          })
        .has_value();
}

bool ServerBank::setGraderBox(const QByteArray& rtf, QString* error)
{
    return withServerBank(m_path, m_slot, error,
                          [&](Session& s) {
                              pg::Transaction tx(s.c());
                              const qint64 bank = s.lock();
                              s.c().exec("DELETE FROM qm_fragment WHERE bank = $1 AND kind = 2",
                                         pg::Params().integer(bank));
                              s.c().exec("INSERT INTO qm_fragment (bank, kind, rtf) VALUES ($1, 2, $2)",
                                         pg::Params().integer(bank).bytes(rtf));
                              tx.commit();
                              return true;
                          })
        .has_value();
}

}  // namespace qm
