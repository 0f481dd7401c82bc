#pragma once
// The base of the cases that run alike against files and against a database server:
//
//   class BankTest : public StoreTest { … };
//   INSTANTIATE_TEST_SUITE_P(Stores, BankTest, bothStores(), storeName);
//
// A server case is skipped when the tests run without the cluster (a test program started
// by hand) and fails when its database could not be made.

#include "support/temp_dirs.h"
#include "support/test_server.h"

#include <gtest/gtest.h>

namespace qm::test {

class StoreTest : public ::testing::TestWithParam<Store> {
protected:
    // A derived SetUp calls this first and returns when IsSkipped() or HasFatalFailure().
    void SetUp() override;
    bool onServer() const { return GetParam() == Store::Server; }
    // A bank's or library's path in the store under test: a file, or one of subject 生物.
    QString place(const QString& name) const;

    TempProgramDir dir{false};
    TestDatabase server{GetParam() == Store::Server && TestDatabase::configured()};
};

inline auto bothStores()
{
    return ::testing::Values(Store::File, Store::Server);
}

// "File" or "Server", the cases' suffix.
std::string storeName(const ::testing::TestParamInfo<Store>& info);

}  // namespace qm::test
