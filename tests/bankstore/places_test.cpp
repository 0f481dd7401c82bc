// Subjects and the banks of each, in a directory of files and on a server, through the one
// interface the windows use (bankstore/places.h).

#include "bankstore/bank_file.h"
#include "bankstore/paper_library.h"
#include "bankstore/places.h"
#include "support/temp_dirs.h"
#include "support/store_test.h"
#include "support/test_server.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace qm;
using namespace qm::test;

namespace {

class PlacesTest : public StoreTest {
protected:
    // A bank `name` in `subject`, made as the bank window makes one (the subject first).
    void makeBank(const QString& subject, const QString& name)
    {
        ASSERT_TRUE(places::makeSubject(root, subject));
        QString error;
        ASSERT_TRUE(BankFile::createEmpty(root + subject + "/" + name, &error)) << error.toStdString();
    }
    QStringList subjects() { return places::subjects(root).value_or(QStringList{"(failed)"}); }

    QString root = onServer() ? places::serverRoot(server.uri()) : dir.path() + "/";
};

INSTANTIATE_TEST_SUITE_P(Stores, PlacesTest, bothStores(), storeName);

}  // namespace

TEST_P(PlacesTest, SubjectsAndTheirBanksAreListedInPinyinOrder)
{
    EXPECT_EQ(subjects(), QStringList());
    makeBank("物理", "力学.TIK");
    makeBank("数学", "代数.TIK");
    makeBank("数学", "Geometry.tik");
    ASSERT_TRUE(places::makeSubject(root, "化学"));
    ASSERT_TRUE(places::makeSubject(root, "化学"));  // made twice: still one subject
    EXPECT_EQ(subjects(), QStringList({"化学", "数学", "物理"}));

    // Names match the pattern without regard to letter case.
    EXPECT_EQ(places::listed(root + "数学/", "*.tik"), QStringList({"Geometry.tik", "代数.TIK"}));
    EXPECT_EQ(places::listed(root + "化学/", "*.tik"), QStringList());
    EXPECT_EQ(places::listed(root + "语文/", "*.tik"), QStringList());
}

TEST_P(PlacesTest, OnlyAnEmptySubjectIsRemoved)
{
    makeBank("数学", "代数.TIK");
    ASSERT_TRUE(places::makeSubject(root, "化学"));
    EXPECT_EQ(places::removeSubject(root, "数学"), places::Removal::NotEmpty);
    EXPECT_EQ(places::removeSubject(root, "化学"), places::Removal::Removed);
    // One that another computer removed meanwhile is as good as removed.
    EXPECT_EQ(places::removeSubject(root, "化学"), places::Removal::Removed);
    EXPECT_EQ(subjects(), QStringList({"数学"}));
    EXPECT_EQ(places::listed(root + "数学/", "*.tik"), QStringList({"代数.TIK"}));
}

TEST_P(PlacesTest, ARenamedSubjectTakesItsBanksAlong)
{
    makeBank("数学", "代数.TIK");
    makeBank("数学", "几何.TIK");
    makeBank("物理", "力学.TIK");
    BankFile bank(root + "数学/代数.TIK");
    ASSERT_TRUE(bank.add(Question{}));

    QString error;
    ASSERT_TRUE(places::renameSubject(root, "数学", "高中数学", &error)) << error.toStdString();
    EXPECT_EQ(subjects(), QStringList({"高中数学", "物理"}));
    EXPECT_EQ(places::listed(root + "高中数学/", "*.tik"), QStringList({"代数.TIK", "几何.TIK"}));
    EXPECT_EQ(BankFile(root + "高中数学/代数.TIK").count(), 1);
    EXPECT_FALSE(BankFile(root + "数学/代数.TIK").count());

    // Onto a subject that exists: nothing moves.
    EXPECT_FALSE(places::renameSubject(root, "物理", "高中数学", &error));
    EXPECT_EQ(error, "学科“高中数学”已经存在，学科名称未修改。");
    EXPECT_EQ(places::listed(root + "物理/", "*.tik"), QStringList({"力学.TIK"}));
}
