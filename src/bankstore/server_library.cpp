// PaperLibrary's operations for a library on a server.

#include "bankstore/server_library.h"

#include "bankstore/server_bank.h"

namespace qm {

using server::Session;
using server::withServerBank;

namespace {

constexpr const char* kPaperFields = "paper, answers, name, setter, grp, department, day, remark";

// How many papers forEach reads at a time.
constexpr int kReadShare = 20;

Paper paperAt(const pg::Result& r, int row)
{
    return Paper{r.bytes(row, 0),
                 r.bytes(row, 1),
                 {r.text(row, 2), r.text(row, 3), r.text(row, 4), r.text(row, 5), r.text(row, 6)},
                 r.text(row, 7)};
}

int paperCount(Session& s, qint64 library)
{
    return int(
        s.c().exec("SELECT count(*) FROM qm_paper WHERE library = $1", pg::Params().integer(library)).integer(0, 0));
}

// The order key of the paper at `position`; -1 means the last paper only where `lastAllowed`.
qint64 keyAt(Session& s, qint64 library, int position, bool lastAllowed = false)
{
    const bool last = position == -1 && lastAllowed;
    if (position >= 0 || last) {
        const pg::Result r =
            last ? s.c().exec("SELECT ord FROM qm_paper WHERE library = $1 ORDER BY ord DESC LIMIT 1",
                              pg::Params().integer(library))
                 : s.c().exec("SELECT ord FROM qm_paper WHERE library = $1 ORDER BY ord OFFSET $2 LIMIT 1",
                              pg::Params().integer(library).integer(position));
        if (r.rows() > 0)
            return r.integer(0, 0);
    }
    throw StoreError{QStringLiteral("试卷库中没有第%1份试卷。").arg(position + 1)};
}

void requireFileable(const PaperParticulars& particulars)
{
    if (const std::optional<QString> problem = particularsProblem(particulars))
        throw StoreError{*problem};
}

pg::Params& particularsParams(pg::Params& p, const PaperParticulars& q)
{
    return p.text(q.name).text(q.setter).text(q.group).text(q.department).text(q.date);
}

}  // namespace

bool ServerLibrary::createEmpty(const QString& path, QString* error)
{
    return withServerBank(path, error,
                          [&](Session& s) {
                              pg::Transaction tx(s.c());
                              s.upgrade();
                              const int made = s.c()
                                                   .exec("INSERT INTO qm_library (subject, name) VALUES ($1, $2) "
                                                         "ON CONFLICT DO NOTHING",
                                                         pg::Params().text(s.name().subject).text(s.name().name))
                                                   .affected();
                              if (made == 0)
                                  throw StoreError{QStringLiteral("试卷库“%1”已存在。").arg(path)};
                              tx.commit();
                              return true;
                          })
        .value_or(false);
}

bool ServerLibrary::removeLibrary(const QString& path, QString* error)
{
    return withServerBank(path, error,
                          [&](Session& s) {
                              if (s.version() >= 2)
                                  s.c().exec("DELETE FROM qm_library WHERE subject = $1 AND name = $2",
                                             pg::Params().text(s.name().subject).text(s.name().name));
                              return true;
                          })
        .value_or(false);
}

bool ServerLibrary::check(QString* error) const
{
    return withServerBank(m_path, error, [](Session& s) { return s.findLibrary() > 0; }).value_or(false);
}

std::optional<int> ServerLibrary::count(QString* error) const
{
    return withServerBank(m_path, error, [](Session& s) { return paperCount(s, s.findLibrary()); });
}

std::optional<Paper> ServerLibrary::read(int position, QString* error) const
{
    return withServerBank(m_path, error, [&](Session& s) {
        pg::Transaction tx(s.c(), pg::Transaction::Kind::Snapshot);
        const qint64 library = s.findLibrary();
        const pg::Result r = s.c().exec(
            (QByteArray("SELECT ") + kPaperFields + " FROM qm_paper WHERE library = $1 AND ord = $2").constData(),
            pg::Params().integer(library).integer(keyAt(s, library, position, true)));
        Paper p = paperAt(r, 0);
        tx.commit();
        return p;
    });
}

std::optional<int> ServerLibrary::appendAll(const QList<Paper>& papers, QString* error)
{
    return withServerBank(m_path, error, [&](Session& s) {
        for (const Paper& paper : papers)
            requireFileable(paper.particulars);
        pg::Transaction tx(s.c());
        const qint64 library = s.lockLibrary();
        const int first = paperCount(s, library);
        for (const Paper& paper : papers) {
            pg::Params p;
            p.integer(library).bytes(paper.paper).bytes(paper.answers);
            particularsParams(p, paper.particulars).text(paper.remark);
            s.c().execPrepared("file",
                               "INSERT INTO qm_paper (library, paper, answers, name, setter, grp, department, day, "
                               "remark) VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9)",
                               p);
        }
        tx.commit();
        return first;
    });
}

bool ServerLibrary::update(int position, const PaperEdit& edit, QString* error)
{
    return withServerBank(
               m_path, error,
               [&](Session& s) {
                   requireFileable(edit.particulars);
                   pg::Transaction tx(s.c());
                   const qint64 library = s.lockLibrary();
                   pg::Params p;
                   particularsParams(p, edit.particulars).integer(library).integer(keyAt(s, library, position));
                   // A document not given is bound as null and stays.
                   p.bytes(edit.paper.value_or(QByteArray()))
                       .integer(edit.paper ? 1 : 0)
                       .bytes(edit.answers.value_or(QByteArray()))
                       .integer(edit.answers ? 1 : 0);
                   s.c().exec("UPDATE qm_paper SET name = $1, setter = $2, grp = $3, department = $4, "
                              "day = $5, paper = CASE WHEN $9 = 1 THEN $8 ELSE paper END, "
                              "answers = CASE WHEN $11 = 1 THEN $10 ELSE answers END "
                              "WHERE library = $6 AND ord = $7",
                              p);
                   tx.commit();
                   return true;
               })
        .value_or(false);
}

std::optional<int> ServerLibrary::remove(int position, QString* error)
{
    return withServerBank(m_path, error, [&](Session& s) {
        pg::Transaction tx(s.c());
        const qint64 library = s.lockLibrary();
        s.c().exec("DELETE FROM qm_paper WHERE library = $1 AND ord = $2",
                   pg::Params().integer(library).integer(keyAt(s, library, position)));
        const int left = paperCount(s, library);
        tx.commit();
        return left;
    });
}

bool ServerLibrary::forEach(const std::function<void(int, const Paper&)>& visit, QString* error) const
{
    // As the files: a few papers at a time, each share in its own short read, visited after
    // it; the papers are those there were at the first read, less those deleted meanwhile.
    std::optional<qint64> last;
    qint64 end = 0;
    for (;;) {
        QList<std::pair<int, Paper>> share;
        const bool read =
            withServerBank(m_path, error, [&](Session& s) {
                pg::Transaction tx(s.c(), pg::Transaction::Kind::Snapshot);
                const qint64 library = s.findLibrary();
                int position = 0;
                if (last)
                    position = int(s.c()
                                       .exec("SELECT count(*) FROM qm_paper WHERE library = $1 "
                                             "AND ord <= $2",
                                             pg::Params().integer(library).integer(*last))
                                       .integer(0, 0));
                else
                    end = s.c()
                              .exec("SELECT coalesce(max(ord), 0) FROM qm_paper WHERE library = $1",
                                    pg::Params().integer(library))
                              .integer(0, 0);
                const pg::Result r = s.c().exec(
                    (QByteArray("SELECT ") + kPaperFields
                     + ", ord FROM qm_paper WHERE library = $1 AND ord <= $2 AND ord > $3 "
                       "ORDER BY ord LIMIT $4")
                        .constData(),
                    pg::Params().integer(library).integer(end).integer(last.value_or(0)).integer(kReadShare));
                for (int i = 0; i < r.rows(); ++i) {
                    share.append({position++, paperAt(r, i)});
                    last = r.integer(i, 8);
                }
                tx.commit();
                return true;
            }).has_value();
        if (!read)
            return false;
        if (share.isEmpty())
            return true;
        for (const auto& [position, paper] : share)
            visit(position, paper);
    }
}

}  // namespace qm
