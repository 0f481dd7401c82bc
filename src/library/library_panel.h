#pragma once
// The library panel of the paper-library window: the subject, its libraries, and the
// commands on whole libraries (new, delete, copy in and out, merge) and the import.

#include <QGroupBox>

class QComboBox;
class QPushButton;
class QTimer;

namespace qm {

class FileListBox;
class Form7;

class LibraryPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit LibraryPanel(Form7& form);

    QComboBox* Combo1;       // 学科名称
    FileListBox* File1;      // 试卷库列表: the *.Juk files of the subject's library directory
    QPushButton* Command6;   // 新建卷库: the new-library panel
    QPushButton* Command17;  // 删除卷库
    QPushButton* Command7;   // 拷入卷库: the copy-in panel
    QPushButton* Command8;   // 拷出卷库: the copy-out panel
    QPushButton* Command10;  // 合并卷库: another library's papers into the open one
    QPushButton* Command9;   // 导入试卷: a paper from two RTF files
    QTimer* Timer1;          // keeps the library commands in step with the choice (500 ms)

public Q_SLOTS:
    // A subject chosen: its libraries listed, the open library closed.
    void Combo1_Click();
    // A library chosen: it is opened.
    void File1_Click();
    void Timer1_Timer();
    void Command6_Click();
    void Command17_Click();
    void Command7_Click();
    void Command8_Click();
    void Command10_Click();
    void Command9_Click();

private:
    Form7& m_form;
};

}  // namespace qm
