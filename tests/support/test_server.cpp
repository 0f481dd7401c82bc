#include "support/test_server.h"

#include "bankstore/server_store.h"
#include "support/store_test.h"

#include <QRandomGenerator>
#include <libpq-fe.h>

namespace qm::test {

namespace {

QString clusterUri()
{
    return qEnvironmentVariable("QM_TEST_PG_URI");
}

// The cluster's URI with another database in place of "postgres".
QString withDatabase(const QString& name)
{
    QString uri = clusterUri();
    return uri.replace(QLatin1String("/postgres?"), QLatin1Char('/') + name + QLatin1Char('?'));
}

// Runs one statement in the cluster's maintenance database; "" or libpq's message.
QString administer(const QString& sql)
{
    PGconn* c = PQconnectdb(clusterUri().toUtf8().constData());
    QString error;
    if (PQstatus(c) != CONNECTION_OK) {
        error = QString::fromUtf8(PQerrorMessage(c));
    } else {
        PGresult* r = PQexec(c, sql.toUtf8().constData());
        if (PQresultStatus(r) != PGRES_COMMAND_OK)
            error = QString::fromUtf8(PQresultErrorMessage(r));
        PQclear(r);
    }
    PQfinish(c);
    return error;
}

}  // namespace

bool TestDatabase::configured()
{
    return !clusterUri().isEmpty();
}

TestDatabase::TestDatabase(bool wanted, bool withTables)
{
    if (!wanted)
        return;
    if (!configured()) {
        m_error = QStringLiteral("QM_TEST_PG_URI is not set: run the test through ctest");
        return;
    }
    const QString name =
        QStringLiteral("qmt_%1").arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0'));
    m_error = administer(QStringLiteral("CREATE DATABASE %1").arg(name));
    if (!m_error.isEmpty())
        return;
    m_name = name;
    if (withTables && !initServer(uri(), &m_error))
        m_name.clear();
}

TestDatabase::~TestDatabase()
{
    if (!m_name.isEmpty())
        administer(QStringLiteral("DROP DATABASE %1 WITH (FORCE)").arg(m_name));
}

QString TestDatabase::uri() const
{
    return withDatabase(m_name);
}

QString TestDatabase::bank(const QString& subject, const QString& name) const
{
    return serverBankPath(uri(), subject, name);
}

}  // namespace qm::test

namespace qm::test {

void StoreTest::SetUp()
{
    if (onServer() && !TestDatabase::configured())
        GTEST_SKIP() << "no test server";
    ASSERT_TRUE(!onServer() || server.ready()) << server.error().toStdString();
}

QString StoreTest::place(const QString& name) const
{
    return onServer() ? server.bank(QStringLiteral("生物"), name) : dir.file(name);
}

std::string storeName(const ::testing::TestParamInfo<Store>& info)
{
    return info.param == Store::File ? "File" : "Server";
}

}  // namespace qm::test
