#pragma once
// The panel "拷入文件" of the bank window: copying a bank file from another place into
// the chosen subject.

#include <QGroupBox>

class QLineEdit;
class QPushButton;

namespace qm {

class DirListBox;
class DriveListBox;
class FileListBox;
class Form2;

class CopyInPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit CopyInPanel(Form2& form);

    DriveListBox* Drive2;    // the place to copy from
    DirListBox* Dir3;        // the directory to copy from
    FileListBox* File3;      // its *.tik files
    QLineEdit* Text14;       // 拷入文件名称
    QPushButton* Command46;  // 拷　入
    QPushButton* Command45;  // 取　消

    // Shows the panel, starting in the home directory.
    void open();

public Q_SLOTS:
    void File3_Click();
    void Command46_Click();
    void Command45_Click();

private:
    Form2& m_form;
};

}  // namespace qm
