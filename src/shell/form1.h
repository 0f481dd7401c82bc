#pragma once
// The main window: start-up, the menus from which every other window is opened, the login
// panel, the user management panel and the work-path panel.

#include <QMainWindow>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace qm {

class DialogKeys;
class EditStep;
class FlexGrid;
class Form8;
class Prompt;
class Workspace;

// The main window's note when no work path was ever set: the banks are kept under
// `bankRoot` on this computer, and where a shared work path is set.
QString localDataNotice(const QString& bankRoot);

class Form1 : public QMainWindow {
    Q_OBJECT
public:
    Form1(Workspace& workspace, Prompt& prompt, QWidget* parent = nullptr);

    // Login panel "口令核对".
    QGroupBox* Frame1;
    QLineEdit* Text1;       // 用户名称
    QLineEdit* Text2;       // 工作口令 (shown as '*')
    QPushButton* Command8;  // 确　定: log in

    // User management panel "口令设置".
    QGroupBox* Frame2;
    FlexGrid* MSFlexGrid1;   // the users: 用户名 | 口令
    QLineEdit* Text3;        // user name being edited
    QLineEdit* Text4;        // password being edited
    QPushButton* Command9;   // 增　加
    QPushButton* Command10;  // 修　改
    QPushButton* Command11;  // 删　除
    QPushButton* Command12;  // 取　消
    QPushButton* Command13;  // 关　闭

    // Work-path panel "工作路径设置".
    QGroupBox* Frame3;
    QLineEdit* Text5;        // the work path
    QPushButton* Command14;  // 确　定
    QPushButton* Command15;  // 取　消

    // Shown when no work path was ever set: the banks are kept on this computer.
    QLabel* lblLocalData;

    // Navigation commands, never shown; the menu entries click them.
    QPushButton* Command1;  // 题库录入: question banks
    QPushButton* Command2;  // 智能组卷
    QPushButton* Command3;  // 试卷管理
    QPushButton* Command4;  // 关　　于
    QPushButton* Command5;  // 退　　出
    QPushButton* Command6;  // 手工组卷

    // Menus and their entries.
    QMenu* mnuSystem;
    QAction* mnuPassword;  // &P 口令设置
    QAction* mnuWorkPath;  // &W 工作路径设置
    QAction* mnuAbout;     // &A 关　于
    QAction* mnuExit;      // &Q 退出系统
    QMenu* mnuLibrary;     // &L 库管理
    QAction* mnuBanks;     // &T 题库录入
    QAction* mnuPapers;    // &J 试卷管理
    QMenu* mnuCompose;     // &P 组卷
    QAction* mnuManual;    // &M 手工组卷
    QAction* mnuAuto;      // &A 智能组卷
    QAction* mnuHelp;      // &H 帮助: the user guide

    DialogKeys* keys() const { return m_keys; }
    // The user name of the last login check, upper-cased.
    QString currentUser() const { return m_currentUser; }
    // The about window, created on first use.
    Form8* about();

public Q_SLOTS:
    // Start-up: program directory, work path, data directories, sample bank, user file.
    void Form_Load();

    // Login.
    bool CheckPass();
    void Command8_Click();

    // User management.
    void MSFlexGrid1_Click();
    void Mov();
    void Command9_Click();
    void Command10_Click();
    void Command11_Click();
    void Command12_Click();
    void Command13_Click();

    // Work path.
    bool CheckDir(const QString& path);
    bool GetWorkPath();
    void SaveWorkPath();
    void Fcopy();
    void showWorkPathPanel();
    void showUserPanel();
    void Command14_Click();
    void Command15_Click();

    // Navigation.
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void mnuHelp_Click();

Q_SIGNALS:
    // Start-up has set BankRoot: the bank window points at it and rebuilds its subject
    // list, and the paper-library window copies that list.
    void bankRootReady();
    void showBanks();          // 题库录入
    void showAutoCompose();    // 智能组卷
    void showLibrary();        // 试卷管理
    void showManualCompose();  // 手工组卷
    void showHelp();           // 帮助: the user guide
    // "退出系统": end the program at once, without asking any window.
    void exitRequested();
    // A new work path was saved: start the program anew and end this one.
    void restartRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Closing the main window ends the program as "退出系统" does.
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    QWidget* buildLoginPanel();
    QWidget* buildUserPanel();
    QWidget* buildWorkPathPanel();
    QString userFilePath() const;
    // Copies the sample bank and the sample plan into the sample subject under `bankRoot`.
    void copySamples(const QString& bankRoot);
    // Reads the user file into the grid; the list stays empty when it cannot be read.
    void loadUsers();
    void reportStoreError(const QString& error);

    Workspace& m_ws;
    Prompt& m_prompt;
    DialogKeys* m_keys;
    EditStep* m_userStep;  // the add, change and delete of the user panel
    Form8* m_about = nullptr;
    QString m_currentUser;
};

}  // namespace qm
