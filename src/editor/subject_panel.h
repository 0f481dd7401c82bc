#pragma once
// The panel "学科管理" of the bank window: adding, renaming and deleting subjects (the
// directories under BankRoot).

#include <QGroupBox>

class QLineEdit;
class QListWidget;
class QPushButton;
class QTimer;

namespace qm {

class DirListBox;
class EditStep;
class FileListBox;
class Form2;

class SubjectPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit SubjectPanel(Form2& form);

    QListWidget* List1;      // the subjects
    QLineEdit* Text8;        // 学科名称
    QPushButton* Command10;  // 添　加
    QPushButton* Command11;  // 删　除
    QPushButton* Command12;  // 修　改
    QPushButton* Command13;  // 取　消
    QPushButton* Command14;  // 关　闭
    DirListBox* Dir1;        // the subject directories under BankRoot (not shown)
    FileListBox* File2;      // files of a subject being renamed (not shown)
    QTimer* Timer2;          // keeps the buttons in step with the selection (500 ms)

    EditStep* step() const { return m_step; }

public Q_SLOTS:
    void List1_Click();
    void Timer2_Timer();
    // First press of `pressed`: the other buttons wait until the step ends.
    void DisableXueKeCmd(QPushButton* pressed);
    void Command10_Click();
    void Command11_Click();
    void Command12_Click();
    void Command13_Click();
    void Command14_Click();

private:
    Form2& m_form;
    EditStep* m_step;
};

}  // namespace qm
