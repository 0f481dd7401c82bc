#pragma once
// "出卷内容编辑" of the manual composition window: the picked list with a preview of the
// chosen pick, "删除该题" and "清空试卷". Both change only the list; the paper follows at
// the next "整理试卷".

#include <QGroupBox>

class QListWidget;
class QPushButton;
class QTimer;

namespace qm {

class Form5;
class RichTextBox;

class PickedPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit PickedPanel(Form5& form);

    QListWidget* List1;          // 已出题目：the keys of the picks, sorted
    RichTextBox* RichTextBox10;  // 预览题目：
    QPushButton* Command23;      // 删除该题
    QPushButton* Command22;      // 清空试卷
    QPushButton* Command24;      // 关  闭
    QTimer* Timer2;              // keeps the two buttons in step

public Q_SLOTS:
    // A pick chosen: its question is previewed.
    void List1_Click();
    void Command22_Click();
    void Command23_Click();
    void Command24_Click();
    void Timer2_Timer();

private:
    Form5& m_form;
};

}  // namespace qm
