#pragma once
// The window "查找重复题" of the bank window: the pairs of questions of the chosen bank
// that are the same or nearly so (bankstore/duplicates.h), the same ones first, then the
// near ones, most alike first; the two questions of the chosen pair side by side with
// their answers; and "删除其中一道", which deletes the one of the two chosen below it, by
// its 编号, after asking.

#include <QString>
#include <QWidget>

class QButtonGroup;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTreeWidget;

namespace qm {

class Prompt;
class RichTextBox;

class DuplicatesWindow : public QWidget {
    Q_OBJECT
public:
    DuplicatesWindow(Prompt& prompt, QWidget* parent = nullptr);

    QComboBox* Combo1;          // 相似度不低于: 1 (只找相同的), 0.95, 0.9, 0.85, 0.8
    QPushButton* Command1;      // 查　找
    QLabel* Label1;             // how many pairs were found
    QTreeWidget* List1;         // the pairs: 编号, 编号, 相似度
    RichTextBox* RichTextBox1;  // the first question of the pair
    RichTextBox* RichTextBox2;  // its answer
    RichTextBox* RichTextBox3;  // the second question
    RichTextBox* RichTextBox4;  // its answer
    QRadioButton* Option1;      // the first question (编号 …)
    QRadioButton* Option2;      // the second question (编号 …)
    QPushButton* Command2;      // 删除其中一道
    QPushButton* Command3;      // 关　闭

    // Shows the window on the bank and finds its pairs at the chosen similarity.
    void open(const QString& bankPath);
    const QString& bankPath() const { return m_bank; }

public Q_SLOTS:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

Q_SIGNALS:
    // A question was deleted here: the bank window shows the bank as it is now.
    void questionDeleted();

private:
    // Shows the two questions of the chosen pair.
    void showPair();

    Prompt& m_prompt;
    QButtonGroup* m_choice;
    QString m_bank;
};

}  // namespace qm
