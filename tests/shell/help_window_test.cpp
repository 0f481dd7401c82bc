// The help window without its guide file: said once, plainly, and the window stays usable.

#include "shell/help_window.h"
#include "support/scripted_prompt.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace qm;
using namespace qm::test;

TEST(HelpWindow, AMissingGuideIsReportedAndNothingElseHappens)
{
    ScriptedPrompt prompt;
    HelpWindow help(QStringLiteral("/nonexistent/guide/index.html"), prompt);
    EXPECT_EQ(help.windowTitle(), "使用说明");
    prompt.expectMessage("找不到使用说明的文件（guide/index.html），请重新安装本程序。", "错误", Icon::Warning);
    help.showSection(QString());
    prompt.verify();
    EXPECT_EQ(help.Contents->topLevelItemCount(), 0);
    // Searching an empty window finds nothing and asks nothing.
    help.Text1->setText("题库");
    help.Command1->click();
    prompt.verify();
    // Asked again, it says so again: the file may have been put back meanwhile.
    prompt.expectMessage("找不到使用说明的文件（guide/index.html），请重新安装本程序。", "错误", Icon::Warning);
    help.showSection("batch-format");
    prompt.verify();
    help.Command3->click();
    EXPECT_FALSE(help.isVisible());
}
