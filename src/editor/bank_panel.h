#pragma once
// The bank panel "题库录入" of the bank window: the subject and bank choice, the chosen
// bank's particulars, creating, deleting and describing banks, and the buttons that open
// the other panels and run the import, the merge and the format statement.

#include <QGroupBox>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTimer;

namespace qm {

class EditStep;
class FileListBox;
class Form2;

class BankPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit BankPanel(Form2& form);

    QComboBox* Combo1;       // 学科名称: subject
    FileListBox* File1;      // 题库名称: banks of the subject
    QLineEdit* Text6;        // 题库名称 (mc)
    QLineEdit* Text1;        // 适用专业 (zy)
    QLineEdit* Text2;        // 适用大纲 (dg)
    QLineEdit* Text3;        // 建库人员 (jk)
    QLineEdit* Text4;        // 审定人员 (sd)
    QLineEdit* Text5;        // 启用时间 (qy)
    QPushButton* Command1;   // 添　加: create a bank
    QPushButton* Command2;   // 删　除: delete the bank
    QPushButton* Command3;   // 修　改: edit the particulars
    QPushButton* Command5;   // 取　消: cancel a pending bank action
    QPushButton* Command9;   // 学科管理: the subject panel
    QPushButton* Command41;  // 拷入题库: the copy-in panel
    QPushButton* Command42;  // 拷出题库: the copy-out panel
    QPushButton* Command8;   // 退　出: back to the main window
    QPushButton* Command4;   // 设　置: the attribute-list panels
    QPushButton* Command27;  // 题库录入: the entry pane
    QPushButton* Command40;  // 导入题库: batch import
    QPushButton* Command60;  // 导入说明: the format statement
    QPushButton* Command59;  // 合并题库: merge another bank
    QTimer* Timer1;          // keeps the buttons in step with the choice (500 ms)

    // True from the creation of a new bank file until its particulars are confirmed or
    // the creation is cancelled.
    bool CreatingBank = false;
    // The add, delete and change steps of this panel.
    EditStep* step() const { return m_step; }
    // Everything an add, change or delete here or in the entry pane must keep from being
    // used until it ends: the choice of subject and bank, and what changes files.
    QList<QWidget*> choiceControls() const;

    // Shows the chosen bank's particulars (empty boxes, after saying why, when it cannot
    // be read).
    void showParticulars();
    void clearParticulars();

public Q_SLOTS:
    void Combo1_Click();
    void File1_Click();
    void Timer1_Timer();
    // First press of `pressed`: the panel is locked until the step ends.
    void DisableCmd(QPushButton* pressed);

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command8_Click();
    void Command9_Click();
    void Command27_Click();
    void Command40_Click();
    void Command41_Click();
    void Command42_Click();
    void Command59_Click();
    void Command60_Click();

    // 创　建 of the create panel made `path`: its particulars wait for the confirming press.
    void bankCreated(const QString& path);

private:
    Form2& m_form;
    EditStep* m_step;
    QString m_newBankPath;  // the bank file made by "创　建" until it is confirmed
};

}  // namespace qm
