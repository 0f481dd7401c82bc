#pragma once
// The panel "拷入试卷库" of the paper-library window: copying a library file from another
// place into the chosen subject's library directory.

#include "widgets/file_copy_panel.h"

namespace qm {

class Form7;

class LibraryCopyInPanel : public FileCopyPanel {
    Q_OBJECT
public:
    explicit LibraryCopyInPanel(Form7& form);

    DriveListBox* Drive1;    // the place to copy from
    DirListBox* Dir1;        // the directory to copy from
    FileListBox* File2;      // its *.juk files; a click puts the file's name into Text2
    QLineEdit* Text2;        // 源试卷库名：
    QPushButton* Command14;  // 确  定
    QPushButton* Command15;  // 取  消

    // Shows the panel, starting in the home directory the first time.
    void open();

public Q_SLOTS:
    void Command14_Click();
    void Command15_Click();

protected:
    void confirm() override { Command14_Click(); }

private:
    Form7& m_form;
};

}  // namespace qm
