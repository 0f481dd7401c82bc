#pragma once
// The panel "拷出文件" of the bank window: copying the chosen bank to another place.

#include "widgets/file_copy_panel.h"

namespace qm {

class Form2;

class CopyOutPanel : public FileCopyPanel {
    Q_OBJECT
public:
    explicit CopyOutPanel(Form2& form);

    DriveListBox* Drive1;    // the place to copy to
    DirListBox* Dir2;        // the directory to copy to
    QLineEdit* Text13;       // 拷出文件名称
    QPushButton* Command43;  // 拷　出
    QPushButton* Command44;  // 取　消

    // Shows the panel, starting in the home directory the first time.
    void open();

public Q_SLOTS:
    // Text13 becomes the chosen bank's name in the directory of Dir2.
    void Dir2_Change();
    void Command43_Click();
    void Command44_Click();

protected:
    void confirm() override { Command43_Click(); }
    void directoryChanged() override { Dir2_Change(); }

private:
    Form2& m_form;
};

}  // namespace qm
