#pragma once
// The panel "拷出试卷库" of the paper-library window: copying the chosen library to another
// directory under its own name.

#include "widgets/file_copy_panel.h"

namespace qm {

class Form7;

class LibraryCopyOutPanel : public FileCopyPanel {
    Q_OBJECT
public:
    explicit LibraryCopyOutPanel(Form7& form);

    QLineEdit* Text3;        // 拷出文件：the chosen library's file name
    DriveListBox* Drive2;    // the place to copy to
    DirListBox* Dir2;        // 拷出路径：
    QPushButton* Command16;  // 确  定
    QPushButton* Command13;  // 取  消

    // Shows the panel for the chosen library, starting in the home directory the first time.
    void open();

public Q_SLOTS:
    void Command16_Click();
    void Command13_Click();

protected:
    void confirm() override { Command16_Click(); }

private:
    Form7& m_form;
};

}  // namespace qm
