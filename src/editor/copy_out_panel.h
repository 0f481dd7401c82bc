#pragma once
// The panel "拷出文件" of the bank window: copying the chosen bank to another place.

#include <QGroupBox>

class QLineEdit;
class QPushButton;

namespace qm {

class DirListBox;
class DriveListBox;
class Form2;

class CopyOutPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit CopyOutPanel(Form2& form);

    DriveListBox* Drive1;    // the place to copy to
    DirListBox* Dir2;        // the directory to copy to
    QLineEdit* Text13;       // 拷出文件名称
    QPushButton* Command43;  // 拷　出
    QPushButton* Command44;  // 取　消

    // Shows the panel, starting in the home directory.
    void open();

public Q_SLOTS:
    void Dir2_Change();
    void Command43_Click();
    void Command44_Click();

private:
    Form2& m_form;
};

}  // namespace qm
