// The subjects of a work path kept on a server, and the banks and libraries of each
// (bankstore/places.h): subjects are the rows of qm_subject together with those that a bank
// or a library names.

#include "bankstore/server_places.h"

#include "bankstore/server_bank.h"
#include "core/fileops.h"

namespace qm::server {

namespace {

QStringList column(const pg::Result& r)
{
    QStringList values;
    for (int i = 0; i < r.rows(); ++i)
        values << r.text(i, 0);
    return values;
}

// Inside a write transaction: holds the subject rows against other writers of subjects, so
// that a subject is not removed while it is renamed or made again.
void lockSubjects(Session& s)
{
    s.upgrade();
    s.c().run("LOCK TABLE qm_subject IN SHARE ROW EXCLUSIVE MODE");
}

bool holdsAnything(Session& s, const QString& subject)
{
    return s.c()
               .exec("SELECT EXISTS (SELECT 1 FROM qm_bank WHERE subject = $1) "
                     "OR EXISTS (SELECT 1 FROM qm_library WHERE subject = $1)",
                     pg::Params().text(subject))
               .integer(0, 0)
           != 0;
}

bool subjectExists(Session& s, const QString& subject)
{
    return holdsAnything(s, subject)
           || s.c().exec("SELECT 1 FROM qm_subject WHERE name = $1", pg::Params().text(subject)).rows() > 0;
}

}  // namespace

std::optional<QStringList> subjects(const QString& uri, QString* error)
{
    return withServerDatabase(uri, error, [](Session& s) {
        const char* sql = s.version() < 2   ? "SELECT DISTINCT subject FROM qm_bank"
                          : s.version() < 3 ? "SELECT subject FROM qm_bank UNION SELECT subject FROM qm_library"
                                            : "SELECT name FROM qm_subject UNION SELECT subject FROM qm_bank "
                                              "UNION SELECT subject FROM qm_library";
        return sortedByGbk(column(s.c().exec(sql)));
    });
}

std::optional<QStringList> entries(const QString& uri, const QString& subject, const QString& pattern, QString* error)
{
    return withServerDatabase(uri, error, [&](Session& s) {
        const pg::Params p = pg::Params().text(subject);
        QStringList names = column(s.c().exec("SELECT name FROM qm_bank WHERE subject = $1", p));
        if (s.version() >= 2)
            names += column(s.c().exec("SELECT name FROM qm_library WHERE subject = $1", p));
        return namesMatching(names, pattern);
    });
}

bool makeSubject(const QString& uri, const QString& name, QString* error)
{
    return withServerDatabase(uri, error,
                              [&](Session& s) {
                                  pg::Transaction tx(s.c());
                                  lockSubjects(s);
                                  s.c().exec("INSERT INTO qm_subject (name) VALUES ($1) ON CONFLICT DO NOTHING",
                                             pg::Params().text(name));
                                  tx.commit();
                                  return true;
                              })
        .value_or(false);
}

std::optional<bool> removeSubject(const QString& uri, const QString& name, QString* error)
{
    return withServerDatabase(uri, error, [&](Session& s) {
        pg::Transaction tx(s.c());
        lockSubjects(s);
        if (holdsAnything(s, name))
            return false;
        s.c().exec("DELETE FROM qm_subject WHERE name = $1", pg::Params().text(name));
        tx.commit();
        return true;
    });
}

bool renameSubject(const QString& uri, const QString& from, const QString& to, QString* error)
{
    return withServerDatabase(uri, error,
                              [&](Session& s) {
                                  pg::Transaction tx(s.c());
                                  lockSubjects(s);
                                  if (subjectExists(s, to))
                                      throw StoreError{QStringLiteral("学科“%1”已经存在，学科名称未修改。").arg(to)};
                                  const pg::Params p = pg::Params().text(from).text(to);
                                  // The banks' rows are locked as their writers lock them: a bank being
                                  // written keeps its subject until that write is done.
                                  s.c().exec("UPDATE qm_bank SET subject = $2 WHERE subject = $1", p);
                                  s.c().exec("UPDATE qm_library SET subject = $2 WHERE subject = $1", p);
                                  s.c().exec("DELETE FROM qm_subject WHERE name = $1", pg::Params().text(from));
                                  s.c().exec("INSERT INTO qm_subject (name) VALUES ($1)", pg::Params().text(to));
                                  tx.commit();
                                  return true;
                              })
        .value_or(false);
}

}  // namespace qm::server
