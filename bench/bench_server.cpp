// Speed of the server store on a large bank: the count grid of composition (groupCounts
// over every type, grouped by everything), a question read by its 编号, and the batch
// import of 10 000 questions. Each call connects to the server and works in its own
// transaction, as the windows do.
//
// The server is $QM_BENCH_PG_URI (a libpq URI of a database where a scratch database may be
// made); without it a throwaway cluster is started with scripts/pg-cluster.sh.

#include "bankstore/bank_file.h"
#include "bankstore/server_store.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <libpq-fe.h>

namespace {

constexpr int kQuestions = 50000;
constexpr int kImported = 10000;

qm::Question sampleQuestion(int i)
{
    qm::Question q;
    // About the size of a short question and answer written by the rich-text box.
    q.text = "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fcharset134 SimSun;}}\\f0\\fs24 " + QByteArray(1800, 'q')
             + QByteArray::number(i) + "\\par}";
    q.answer = "{\\rtf1\\ansi\\ansicpg936 " + QByteArray(400, 'a') + "\\par}";
    q.type = QStringLiteral("题型%1").arg(i % 6);
    q.chapter = QStringLiteral("第%1章").arg(i % 12 + 1);
    q.unit = QStringLiteral("第%1节").arg(i % 5 + 1);
    q.difficulty = i % 3 ? QStringLiteral("中等") : QStringLiteral("容易");
    q.score = i % 5 + 1;
    return q;
}

bool runSql(const QString& uri, const QString& sql)
{
    PGconn* c = PQconnectdb(uri.toUtf8().constData());
    bool ok = PQstatus(c) == CONNECTION_OK;
    if (ok) {
        PGresult* r = PQexec(c, sql.toUtf8().constData());
        ok = PQresultStatus(r) == PGRES_COMMAND_OK;
        PQclear(r);
    }
    PQfinish(c);
    return ok;
}

// The server, a scratch database with the tables, and a bank of kQuestions questions.
class ServerBench {
public:
    ServerBench()
    {
        QString admin = qEnvironmentVariable("QM_BENCH_PG_URI");
        if (admin.isEmpty()) {
            m_cluster = QStringLiteral("/tmp/quellmark-bench-pg-%1").arg(QCoreApplication::applicationPid());
            QProcess::execute(QStringLiteral(QM_SOURCE_DIR "/scripts/pg-cluster.sh"), {"start", m_cluster});
            admin = QStringLiteral("postgresql://quellmark@/postgres?host=") + m_cluster;
        }
        m_admin = admin;
        runSql(admin, QStringLiteral("DROP DATABASE IF EXISTS qm_bench"));
        if (!runSql(admin, QStringLiteral("CREATE DATABASE qm_bench")))
            return;
        // The same server with the scratch database in place of the one named.
        const qsizetype query = admin.indexOf(QLatin1Char('?'));
        QString base = query < 0 ? admin : admin.left(query);
        base = base.left(base.lastIndexOf(QLatin1Char('/')) + 1) + QStringLiteral("qm_bench");
        uri = base + (query < 0 ? QString() : admin.mid(query));
        if (!qm::initServer(uri) || !qm::BankFile::createEmpty(path()))
            return;
        const auto writer = qm::BankAppender::open(path());
        for (int i = 0; i < kQuestions; ++i)
            writer->add(sampleQuestion(i));
        ready = writer->commit();
        // As the server's autovacuum would after a while: the planner's statistics and the
        // visibility of the rows.
        runSql(uri, QStringLiteral("VACUUM ANALYZE"));
    }

    ~ServerBench()
    {
        runSql(m_admin, QStringLiteral("DROP DATABASE IF EXISTS qm_bench WITH (FORCE)"));
        if (!m_cluster.isEmpty())
            QProcess::execute(QStringLiteral(QM_SOURCE_DIR "/scripts/pg-cluster.sh"), {"stop", m_cluster});
    }

    QString path(const QString& name = QStringLiteral("大题库.TIK")) const
    {
        return qm::serverBankPath(uri, QStringLiteral("测试"), name);
    }

    QString uri;
    bool ready = false;

private:
    QString m_admin;
    QString m_cluster;
};

ServerBench& server()
{
    static ServerBench bench;
    return bench;
}

void BM_ServerCountGrid(benchmark::State& state)
{
    if (!server().ready)
        return state.SkipWithError("no server");
    qm::BankFile bank(server().path());
    QStringList types;
    for (int i = 0; i < 6; ++i)
        types << QStringLiteral("题型%1").arg(i);
    for (auto _ : state) {
        const auto rows = bank.groupCounts(types, true, true, true, true);
        if (!rows || rows->isEmpty())
            state.SkipWithError("groupCounts failed");
    }
}
BENCHMARK(BM_ServerCountGrid)->Unit(benchmark::kMillisecond);

void BM_ServerReadById(benchmark::State& state)
{
    if (!server().ready)
        return state.SkipWithError("no server");
    qm::BankFile bank(server().path());
    for (auto _ : state) {
        const auto q = bank.readById(1 + QRandomGenerator::global()->bounded(kQuestions));
        if (!q)
            state.SkipWithError("readById failed");
    }
}
BENCHMARK(BM_ServerReadById)->Unit(benchmark::kMillisecond);

// The batch import's writer: 10 000 questions appended and committed once a second at most.
void BM_ServerImport10000(benchmark::State& state)
{
    if (!server().ready)
        return state.SkipWithError("no server");
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString path = server().path(QStringLiteral("导入%1.TIK").arg(++round));
        qm::BankFile::createEmpty(path);
        state.ResumeTiming();
        const auto writer = qm::BankAppender::open(path);
        for (int i = 0; i < kImported; ++i)
            writer->add(sampleQuestion(i));
        if (!writer->commit())
            state.SkipWithError("import failed");
    }
}
BENCHMARK(BM_ServerImport10000)->Unit(benchmark::kMillisecond)->Iterations(3);

// 20 processes adding 500 questions each, one at a time, to one bank at once: every
// question is stored once, none fails, and the longest any add waited is reported.
void BM_ServerTwentyWriters(benchmark::State& state)
{
    if (!server().ready)
        return state.SkipWithError("no server");
    constexpr int kWriters = 20;
    constexpr int kEach = 500;
    int round = 0;
    for (auto _ : state) {
        const QString path = server().path(QStringLiteral("并发%1.TIK").arg(++round));
        qm::BankFile::createEmpty(path);
        std::vector<std::unique_ptr<QProcess>> writers;
        for (int w = 0; w < kWriters; ++w) {
            writers.push_back(std::make_unique<QProcess>());
            writers.back()->start(QStringLiteral(QM_SERVER_WRITER),
                                  {path, QString::number(kEach), QStringLiteral("w%1").arg(w)});
        }
        int failed = 0;
        qint64 longest = 0;
        for (const auto& p : writers) {
            p->waitForFinished(-1);
            const QList<QByteArray> fields = p->readAllStandardOutput().trimmed().split('\t');
            if (p->exitCode() != 0 || fields.size() != 2) {
                failed += kEach;
                continue;
            }
            failed += fields[0].toInt();
            longest = std::max(longest, fields[1].toLongLong());
        }
        qm::BankFile bank(path);
        const auto ids = bank.idsMatching({});
        const QSet<qint64> distinct = ids ? QSet<qint64>(ids->begin(), ids->end()) : QSet<qint64>();
        state.counters["stored"] = double(distinct.size());
        state.counters["failed"] = failed;
        state.counters["longest_add_ms"] = double(longest);
        if (!ids || ids->size() != kWriters * kEach || distinct.size() != kWriters * kEach || failed > 0)
            state.SkipWithError("questions lost, doubled or refused");
    }
}
BENCHMARK(BM_ServerTwentyWriters)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
