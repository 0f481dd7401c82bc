#include "widgets/editstep.h"

#include "widgets/dialogkeys.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

using namespace qm;

namespace {

// A panel with add, delete, change and cancel, a list and a name box.
struct Panel {
    QWidget window;
    DialogKeys* keys = new DialogKeys(&window);
    QPushButton* add = new QPushButton(QStringLiteral("添　加"), &window);
    QPushButton* remove = new QPushButton(QStringLiteral("删　除"), &window);
    QPushButton* change = new QPushButton(QStringLiteral("修　改"), &window);
    QPushButton* cancel = new QPushButton(QStringLiteral("取　消"), &window);
    QListWidget* list = new QListWidget(&window);
    QLineEdit* name = new QLineEdit(&window);
    QTimer* timer = new QTimer(&window);
    int synced = 0;
    EditStep step{keys, cancel};

    Panel()
    {
        cancel->setEnabled(false);
        timer->start(500);
        step.setTimers({timer}, [this] { ++synced; });
    }
};

}  // namespace

TEST(EditStep, FirstPressWaitsForTheSecondAndCancelRestoresEverything)
{
    Panel p;
    p.name->setEnabled(false);  // disabled before the step: stays disabled after it
    p.step.begin(p.remove, {p.add, p.change, p.list, p.name});
    EXPECT_TRUE(p.step.pending());
    EXPECT_TRUE(p.step.confirming(p.remove));
    EXPECT_FALSE(p.step.confirming(p.add));
    EXPECT_EQ(p.remove->text(), QStringLiteral("确　定"));
    EXPECT_FALSE(p.add->isEnabled());
    EXPECT_FALSE(p.change->isEnabled());
    EXPECT_FALSE(p.list->isEnabled());
    EXPECT_TRUE(p.cancel->isEnabled());
    EXPECT_FALSE(p.timer->isActive());
    EXPECT_EQ(p.keys->defaultButton(), p.remove);
    EXPECT_EQ(p.keys->cancelButton(), p.cancel);

    QSignalSpy ended(&p.step, &EditStep::ended);
    p.step.end();
    EXPECT_FALSE(p.step.pending());
    EXPECT_EQ(p.remove->text(), QStringLiteral("删　除"));
    EXPECT_TRUE(p.add->isEnabled());
    EXPECT_TRUE(p.change->isEnabled());
    EXPECT_TRUE(p.list->isEnabled());
    EXPECT_FALSE(p.name->isEnabled());
    EXPECT_FALSE(p.cancel->isEnabled());
    EXPECT_TRUE(p.timer->isActive());
    EXPECT_EQ(p.synced, 1);
    EXPECT_EQ(p.keys->defaultButton(), nullptr);
    EXPECT_EQ(p.keys->cancelButton(), nullptr);
    EXPECT_EQ(ended.count(), 1);

    // Ending again changes nothing.
    p.step.end();
    EXPECT_EQ(ended.count(), 1);
    EXPECT_EQ(p.synced, 1);
}

TEST(EditStep, AnotherFirstPressEndsThePendingStepBeforeOpeningItsOwn)
{
    Panel p;
    // Renaming locks only the list: add stays usable, and pressing it switches the step.
    p.step.begin(p.change, {p.list});
    p.step.begin(p.add, {p.remove, p.change, p.list});
    EXPECT_EQ(p.change->text(), QStringLiteral("修　改"));
    EXPECT_EQ(p.add->text(), QStringLiteral("确　定"));
    EXPECT_FALSE(p.change->isEnabled());
    EXPECT_FALSE(p.list->isEnabled());
    EXPECT_EQ(p.keys->defaultButton(), p.add);
    p.step.end();
    for (QWidget* w : std::initializer_list<QWidget*>{p.add, p.remove, p.change, p.list})
        EXPECT_TRUE(w->isEnabled());
    EXPECT_EQ(p.add->text(), QStringLiteral("添　加"));
}
