#include "bankstore/user_store.h"
#include "core/paths.h"
#include "shell/form1.h"
#include "support/scripted_prompt.h"
#include "support/temp_dirs.h"
#include "widgets/dialogkeys.h"

#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace qm;
using namespace qm::test;

namespace {

const QString kFallback = QStringLiteral("路径设置错误或服务器未开,只能访问本地数据！");

// A program directory with a local user file and a stand-in sample bank, and a second
// directory that can serve as the work path.
class Startup : public ::testing::Test {
protected:
    void SetUp() override
    {
        writeAll(dir.file("sample.tik"), "shipped sample");
        ASSERT_TRUE(UserStore::create(dir.file("tiku.psw")));
        ASSERT_TRUE(UserStore(dir.file("tiku.psw")).add({QStringLiteral("SYSTEM"), QString()}));
    }
    QString workPath() const { return withTrailingSep(share.path()); }
    void makeShare()
    {
        ASSERT_TRUE(UserStore::create(workPath() + "tiku.psw"));
        ASSERT_TRUE(UserStore(workPath() + "tiku.psw").add({QStringLiteral("MASTER"), QStringLiteral("m")}));
    }
    QStringList localUsers() const
    {
        QStringList names;
        for (const auto& u : UserStore(dir.file("tiku.psw")).users().value_or(QList<UserRecord>()))
            names << u.name;
        return names;
    }

    TempProgramDir dir{false};
    QTemporaryDir share;
    ScriptedPrompt prompt;
};

}  // namespace

TEST_F(Startup, FirstStartUsesTheLocalDataQuietlyAndSaysWhereTheBanksAre)
{
    Form1 form(dir.workspace, prompt);
    QSignalSpy ready(&form, &Form1::bankRootReady);
    form.Form_Load();  // no message box at all
    prompt.verify();

    EXPECT_TRUE(QFileInfo::exists(dir.file("workpath.cfg")));
    EXPECT_EQ(QFileInfo(dir.file("workpath.cfg")).size(), 0);
    EXPECT_EQ(dir.workspace.BankRoot(), dir.file("tiku/"));
    EXPECT_EQ(form.Text5->text(), dir.path());
    EXPECT_EQ(readAll(dir.file("tiku/样板学科/题库样本－生物.TIK")), "shipped sample");
    EXPECT_EQ(ready.count(), 1);
    EXPECT_TRUE(form.Frame1->isVisibleTo(&form));
    EXPECT_EQ(localUsers(), QStringList{"SYSTEM"});
    // The main window says once where the banks are and where a shared path is set.
    EXPECT_TRUE(form.lblLocalData->isVisibleTo(&form));
    EXPECT_EQ(form.lblLocalData->text(), "题库保存在本计算机的 " + dir.file("tiku/")
                                             + " 中。需要几台计算机共用题库时，请以SYSTEM登录，"
                                               "在“系统”菜单的“工作路径设置”中设置共享的工作路径。");
}

TEST_F(Startup, AnEmptyWorkPathFileOrAnEmptyValueIsNoWorkPathYet)
{
    for (const QByteArray& saved : {QByteArray(), QByteArray("\"\"\r\n"), QByteArray("   \r\n")}) {
        writeAll(dir.file("workpath.cfg"), saved);
        Form1 form(dir.workspace, prompt);
        form.Form_Load();
        prompt.verify();
        EXPECT_EQ(dir.workspace.BankRoot(), dir.file("tiku/")) << saved.constData();
        EXPECT_TRUE(form.lblLocalData->isVisibleTo(&form)) << saved.constData();
    }
}

TEST_F(Startup, AWorkPathThatWasSetButCannotBeReachedIsStillWarnedAbout)
{
    // A share that is switched off, and a directory that exists but lacks the user file.
    for (const QString& path : {QStringLiteral("/nonexistent/server/share/"), withTrailingSep(share.path())}) {
        writeAll(dir.file("workpath.cfg"), "\"" + path.toUtf8() + "\"\r\n");
        Form1 form(dir.workspace, prompt);
        prompt.expectMessage(kFallback, QStringLiteral("错误"), Icon::Warning);
        form.Form_Load();
        prompt.verify();
        EXPECT_EQ(dir.workspace.BankRoot(), dir.file("tiku/"));
        EXPECT_EQ(form.Text5->text(), dir.path());
        EXPECT_FALSE(form.lblLocalData->isVisibleTo(&form));
        // The saved path stays for the day the share is back.
        EXPECT_EQ(readAll(dir.file("workpath.cfg")), "\"" + path.toUtf8() + "\"\r\n");
    }
}

TEST_F(Startup, SavedWorkPathWithoutTrailingSeparatorIsUsed)
{
    makeShare();
    writeAll(dir.file("workpath.cfg"), QDir::cleanPath(share.path()).toUtf8() + "\r\n");
    Form1 form(dir.workspace, prompt);
    form.Form_Load();  // no message expected
    EXPECT_FALSE(form.lblLocalData->isVisibleTo(&form));
    EXPECT_EQ(form.Text5->text(), workPath());
    EXPECT_EQ(dir.workspace.BankRoot(), workPath() + "tiku/");
    EXPECT_TRUE(QFileInfo::exists(workPath() + "tiku/样板学科/题库样本－生物.TIK"));
    // The master user file replaced the local copy.
    EXPECT_EQ(localUsers(), QStringList{"MASTER"});
}

TEST_F(Startup, ExistingUpperCaseBankDirectoryIsReused)
{
    makeShare();
    QDir().mkdir(workPath() + "TIKU");
    writeAll(dir.file("workpath.cfg"), "\"" + workPath().toUtf8() + "\"\r\n");
    Form1 form(dir.workspace, prompt);
    form.Form_Load();
    EXPECT_EQ(dir.workspace.BankRoot(), workPath() + "TIKU/");
    EXPECT_FALSE(QFileInfo::exists(workPath() + "tiku"));
}

TEST_F(Startup, BareValueIsCutAtACommaQuotedValueKeepsIt)
{
    makeShare();
    // Bare: cut at the comma, so the share's path alone remains and is valid.
    writeAll(dir.file("workpath.cfg"), workPath().toUtf8() + ",ignored\r\n");
    {
        Form1 form(dir.workspace, prompt);
        form.Form_Load();
        EXPECT_EQ(form.Text5->text(), workPath());
    }
    // Quoted: the comma belongs to the path, which then does not exist.
    writeAll(dir.file("workpath.cfg"), "\"" + workPath().toUtf8() + ",x\"\r\n");
    Form1 form(dir.workspace, prompt);
    prompt.expectMessage(kFallback, QStringLiteral("错误"), Icon::Warning);
    form.Form_Load();
    EXPECT_EQ(dir.workspace.BankRoot(), dir.file("tiku/"));
}

TEST_F(Startup, ProgramDirectoryItselfIsAValidWorkPath)
{
    writeAll(dir.file("workpath.cfg"), "\"" + dir.path().toUtf8() + "\"\r\n");
    Form1 form(dir.workspace, prompt);
    form.Form_Load();
    EXPECT_EQ(dir.workspace.BankRoot(), dir.file("tiku/"));
    EXPECT_EQ(localUsers(), QStringList{"SYSTEM"});  // copied onto itself: unchanged
}

TEST_F(Startup, EveryStartRestoresTheSampleBank)
{
    {
        Form1 form(dir.workspace, prompt);
        form.Form_Load();
    }
    writeAll(dir.file("tiku/样板学科/题库样本－生物.TIK"), "edited by a teacher");
    Form1 form(dir.workspace, prompt);
    form.Form_Load();
    EXPECT_EQ(readAll(dir.file("tiku/样板学科/题库样本－生物.TIK")), "shipped sample");
}

TEST_F(Startup, MissingSampleAndUnreadableUserFile)
{
    QFile::remove(dir.file("sample.tik"));
    writeAll(dir.file("tiku.psw"), "not a database at all");
    Form1 form(dir.workspace, prompt);
    // The user file is named in a message of its own; every login then fails.
    prompt.expectMessageStartingWith(QStringLiteral("无法打开用户文件"), QStringLiteral("错误"), Icon::Warning);
    form.Form_Load();
    prompt.verify();
    EXPECT_FALSE(QFileInfo::exists(dir.file("tiku/样板学科/题库样本－生物.TIK")));
    form.Text1->setText("SYSTEM");
    form.Command8->click();
    EXPECT_TRUE(form.Frame1->isVisibleTo(&form));
}

TEST_F(Startup, WorkPathPanelAcceptsWithEnterAndRestarts)
{
    makeShare();
    Form1 form(dir.workspace, prompt);
    form.Form_Load();
    QSignalSpy restart(&form, &Form1::restartRequested);

    form.mnuWorkPath->setEnabled(true);
    form.mnuWorkPath->trigger();
    EXPECT_TRUE(form.Frame3->isVisibleTo(&form));
    EXPECT_EQ(form.keys()->defaultButton(), form.Command14);
    EXPECT_EQ(form.keys()->cancelButton(), form.Command15);

    // A directory without a user file is refused and nothing is written.
    form.Text5->setText(dir.file("tiku"));
    prompt.expectMessage(QStringLiteral("路径设置错误或该计算机未打开！"), QStringLiteral("提示"), Icon::Warning);
    QTest::keyClick(form.Text5, Qt::Key_Return);
    prompt.verify();
    EXPECT_EQ(form.Text5->text(), dir.file("tiku/"));
    EXPECT_TRUE(form.Frame3->isVisibleTo(&form));
    EXPECT_EQ(QFileInfo(dir.file("workpath.cfg")).size(), 0);
    EXPECT_EQ(restart.count(), 0);

    form.Text5->setText(QDir::cleanPath(share.path()));
    prompt.expectMessage(QStringLiteral("路径设置成功，系统将重新运行！"), QStringLiteral("提示"), Icon::Warning);
    QTest::keyClick(form.Text5, Qt::Key_Return);
    prompt.verify();
    EXPECT_FALSE(form.Frame3->isVisibleTo(&form));
    EXPECT_EQ(restart.count(), 1);
    EXPECT_EQ(readAll(dir.file("workpath.cfg")), "\"" + workPath().toUtf8() + "\"\r\n");
}

TEST_F(Startup, WorkPathPanelEscHidesWithoutSaving)
{
    Form1 form(dir.workspace, prompt);
    form.Form_Load();
    form.showWorkPathPanel();
    form.Text5->setText(QStringLiteral("/typed/but/not/saved"));
    QTest::keyClick(form.Text5, Qt::Key_Escape);
    EXPECT_FALSE(form.Frame3->isVisibleTo(&form));
    EXPECT_EQ(form.Text5->text(), QStringLiteral("/typed/but/not/saved"));
    EXPECT_EQ(QFileInfo(dir.file("workpath.cfg")).size(), 0);
}
