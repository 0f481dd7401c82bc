#pragma once
// Saving and opening composition plans in the automatic composition window: one panel,
// "出题方案保存" for saving (filled from the window, and the teacher may change it) and
// "打开出题方案" for opening, which chooses the plan's subject and bank, applies its options
// and restores its count grid cell for cell.

#include <QGroupBox>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qm {

class Form3;

class PlanPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit PlanPanel(Form3& form);

    QLineEdit* Text3;        // 学科名称
    QLineEdit* Text4;        // 题库名称
    QLineEdit* Text13;       // 适用专业
    QLineEdit* Text14;       // 适用大纲
    QCheckBox* Check6;       // 不分章节
    QCheckBox* Check1;       // 不分单元
    QCheckBox* Check7;       // 不分难度
    QCheckBox* Check8;       // 无论分值
    QLabel* Label16;         // 保存文件 / 打开文件
    QLineEdit* Text16;       // the chosen plan file
    QPushButton* Command46;  // 浏览
    QPushButton* Command47;  // 保　存 / 打　开
    QPushButton* Command59;  // 取　消

    // True while the panel saves, false while it opens.
    bool saving() const { return m_saving; }
    // Shows the panel filled from the window, for saving.
    void startSave();
    // Shows the panel with no file chosen, for opening.
    void startOpen();

public Q_SLOTS:
    void Command46_Click();
    void Command47_Click();
    void Command59_Click();

private:
    void save();
    void open();
    void close();

    Form3& m_form;
    bool m_saving = true;
};

}  // namespace qm
