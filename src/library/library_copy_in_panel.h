#pragma once
// The panel "拷入试卷库" of the paper-library window: copying a library file from another
// place into the chosen subject's library directory.

#include <QGroupBox>

class QLineEdit;
class QPushButton;

namespace qm {

class DirListBox;
class DriveListBox;
class FileListBox;
class Form7;

class LibraryCopyInPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit LibraryCopyInPanel(Form7& form);

    DriveListBox* Drive1;    // the place to copy from
    DirListBox* Dir1;        // the directory to copy from
    FileListBox* File2;      // its *.juk files
    QLineEdit* Text2;        // 源试卷库名：
    QPushButton* Command14;  // 确  定
    QPushButton* Command15;  // 取  消

    // Shows the panel, starting in the home directory the first time.
    void open();

public Q_SLOTS:
    void Drive1_Change(const QString& drive);
    void File2_Click();
    void File2_DblClick();
    void Command14_Click();
    void Command15_Click();

private:
    Form7& m_form;
};

}  // namespace qm
