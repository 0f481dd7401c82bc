#pragma once
// A database of its own on the throwaway PostgreSQL cluster of the tests (started by
// ctest's fixture "pgserver", scripts/pg-cluster.sh, and named by QM_TEST_PG_URI), made
// with the server store's tables for one test and dropped after it.

#include <QString>

namespace qm::test {

enum class Store { File, Server };

class TestDatabase {
public:
    // Makes the database (with the tables, when `withTables`) if `wanted`.
    explicit TestDatabase(bool wanted = true, bool withTables = true);
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    // False when the database could not be made; error() says why.
    bool ready() const { return !m_name.isEmpty(); }
    const QString& error() const { return m_error; }
    // False when the tests run without a cluster (the test program started by hand).
    static bool configured();
    // postgresql://quellmark@/NAME?host=/socket/dir
    QString uri() const;
    // uri()#subject/name
    QString bank(const QString& subject, const QString& name) const;

private:
    QString m_name;
    QString m_error;
};

}  // namespace qm::test
