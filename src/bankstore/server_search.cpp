// The searchable texts of a server bank: read from qm_search, the missing ones made here
// from the questions' RTF and stored under the bank's lock (a question changed meanwhile
// would otherwise get the text of before).

#include "bankstore/server_search.h"

#include "bankstore/search_text.h"
#include "bankstore/server_bank.h"

namespace qm::server {

namespace {

// How many questions lacking a text are read at a time.
constexpr int kFillShare = 1000;

QString idArray(const QList<qint64>& ids)
{
    QString s = QStringLiteral("{");
    for (qsizetype i = 0; i < ids.size(); ++i)
        s += (i ? QStringLiteral(",") : QString()) + QString::number(ids[i]);
    return s + QLatin1Char('}');
}

// Makes the texts the bank lacks; true when there were any.
bool fillMissingTexts(Session& s, qint64 bank)
{
    bool filled = false;
    qint64 after = 0;
    for (;;) {
        const pg::Result r = s.c().exec("SELECT q.id, q.text, q.answer FROM qm_question AS q WHERE q.bank = $1 "
                                        "AND q.id > $2 AND NOT EXISTS (SELECT 1 FROM qm_search AS t "
                                        "WHERE t.bank = q.bank AND t.id = q.id) ORDER BY q.id LIMIT $3",
                                        pg::Params().integer(bank).integer(after).integer(kFillShare));
        if (r.rows() == 0)
            return filled;
        QList<qint64> ids;
        QStringList texts;
        for (int i = 0; i < r.rows(); ++i) {
            ids << r.integer(i, 0);
            texts << searchTextOf(r.bytes(i, 1), r.bytes(i, 2));
        }
        s.c().exec("INSERT INTO qm_search (bank, id, text) SELECT $1, unnest($2::bigint[]), unnest($3::text[])",
                   pg::Params().integer(bank).text(idArray(ids)).text(textArray(texts)));
        after = ids.last();
        filled = true;
    }
}

}  // namespace

bool forEachSearchText(const QString& path, const std::function<void(qint64, const char*, int)>& visit,
                       QByteArray* stamp, QString* error)
{
    return withServerBank(path, error,
                          [&](Session& s) {
                              {
                                  // The texts are complete when there are as many as questions.
                                  pg::Transaction read(s.c(), pg::Transaction::Kind::Snapshot);
                                  const qint64 bank = s.find();
                                  const bool complete =
                                      s.version() >= 2
                                      && s.c().exec("SELECT (SELECT count(*) FROM qm_question WHERE bank = $1) "
                                                    "= (SELECT count(*) FROM qm_search WHERE bank = $1)",
                                                    pg::Params().integer(bank))
                                                 .integer(0, 0)
                                             != 0;
                                  read.commit();
                                  if (!complete) {
                                      pg::Transaction tx(s.c());
                                      fillMissingTexts(s, s.lock());
                                      tx.commit();
                                  }
                              }
                              pg::Transaction read(s.c(), pg::Transaction::Kind::Snapshot);
                              const qint64 bank = s.find();
                              *stamp = QByteArray::number(
                                  s.c()
                                      .exec("SELECT changes FROM qm_bank WHERE bank = $1", pg::Params().integer(bank))
                                      .integer(0, 0));
                              // The texts as text (not binary): UTF-8 bytes to scan as they are.
                              const pg::Result r = s.c().exec(
                                  "SELECT id, convert_to(text, 'UTF8') FROM qm_search WHERE bank = $1 ORDER BY id",
                                  pg::Params().integer(bank));
                              read.commit();
                              for (int i = 0; i < r.rows(); ++i) {
                                  const QByteArray text = r.bytes(i, 1);
                                  visit(r.integer(i, 0), text.constData(), int(text.size()));
                              }
                              return true;
                          })
        .value_or(false);
}

std::optional<QByteArray> searchStamp(const QString& path, QString* error)
{
    return withServerBank(path, error, [&](Session& s) {
        if (s.version() < 2)
            return QByteArray();
        return QByteArray::number(s.c()
                                      .exec("SELECT changes FROM qm_bank WHERE subject = $1 AND name = $2",
                                            pg::Params().text(s.name().subject).text(s.name().name))
                                      .integer(0, 0));
    });
}

std::optional<QList<FoundRow>> foundRows(const QString& path, const QList<qint64>& ids, QString* error)
{
    return withServerBank(path, error, [&](Session& s) {
        const pg::Result r =
            s.c().exec("SELECT id, ord, type, chapter FROM qm_question WHERE bank = $1 AND id = ANY($2::bigint[])",
                       pg::Params().integer(s.find()).text(idArray(ids)));
        QList<FoundRow> rows;
        for (int i = 0; i < r.rows(); ++i)
            rows.append({r.integer(i, 0), r.integer(i, 1), r.text(i, 2), r.text(i, 3)});
        return rows;
    });
}

}  // namespace qm::server
