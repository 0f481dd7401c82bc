#pragma once
// The panel "拷入文件" of the bank window: copying a bank file from another place into
// the chosen subject.

#include "widgets/file_copy_panel.h"

namespace qm {

class Form2;

class CopyInPanel : public FileCopyPanel {
    Q_OBJECT
public:
    explicit CopyInPanel(Form2& form);

    DriveListBox* Drive2;    // the place to copy from
    DirListBox* Dir3;        // the directory to copy from
    FileListBox* File3;      // its *.tik files; a click puts the file's path into Text14
    QLineEdit* Text14;       // 拷入文件名称
    QPushButton* Command46;  // 拷　入
    QPushButton* Command45;  // 取　消

    // Shows the panel, starting in the home directory the first time.
    void open();

public Q_SLOTS:
    void Command46_Click();
    void Command45_Click();

protected:
    void confirm() override { Command46_Click(); }

private:
    Form2& m_form;
};

}  // namespace qm
