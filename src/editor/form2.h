#pragma once
// The bank window "题库录入": subjects and their bank files, the bank's particulars, the
// attribute lists, and the entry pane for the questions.

#include <QWidget>
#include <optional>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTimer;

namespace qm {

class BankFile;
class BankWindowActions;
class DialogKeys;
class DirListBox;
class DriveListBox;
class FileListBox;
class FlexGrid;
class FormattingBar;
class Prompt;
class RichTextBox;
class Workspace;
enum class AttributeList;

// One attribute-list panel: the list table shown in a grid and in a list box, a name box
// and the add/delete/rename/cancel buttons.
struct AttributePanel {
    AttributeList table;
    QGroupBox* frame = nullptr;
    FlexGrid* grid = nullptr;
    QListWidget* list = nullptr;
    QLineEdit* name = nullptr;
    QPushButton* add = nullptr;
    QPushButton* remove = nullptr;
    QPushButton* rename = nullptr;
    QPushButton* cancel = nullptr;
};

class Form2 : public QWidget {
    Q_OBJECT
public:
    Form2(Workspace& workspace, Prompt& prompt, QWidget* parent = nullptr);
    ~Form2() override;

    // --- Bank panel "Bankwell" ---
    QGroupBox* Frame1;
    QComboBox* Combo1;       // 学科名称: subject
    FileListBox* File1;      // 题库名称: banks of the subject
    QLineEdit* Text6;        // 题库名称 (mc)
    QLineEdit* Text1;        // 适用专业 (zy)
    QLineEdit* Text2;        // 适用大纲 (dg)
    QLineEdit* Text3;        // 建库人员 (jk)
    QLineEdit* Text4;        // 审定人员 (sd)
    QLineEdit* Text5;        // 启用时间 (qy)
    QPushButton* Command1;   // 添　加: create a bank
    QPushButton* Command2;   // 删　除: delete the bank
    QPushButton* Command3;   // 修　改: edit the particulars
    QPushButton* Command5;   // 取　消: cancel a pending bank action
    QPushButton* Command9;   // 学科管理
    QPushButton* Command41;  // 拷入题库
    QPushButton* Command42;  // 拷出题库
    QPushButton* Command8;   // 退　出
    QPushButton* Command4;   // 设　置: the attribute-list panels
    QPushButton* Command27;  // 题库录入: the entry pane
    QPushButton* Command40;  // 导入题库
    QPushButton* Command60;  // 导入说明
    QPushButton* Command59;  // 合并题库
    QTimer* Timer1;          // keeps the bank panel's buttons in step (500 ms)

    // --- Create panel "创建题库" ---
    QGroupBox* Frame2;
    QLineEdit* Text7;        // 请输入题库名称
    QPushButton* Command6;   // 创　建
    QPushButton* Command7;   // 取　消

    // --- Subject panel "学科管理" ---
    QGroupBox* Frame3;
    QListWidget* List1;      // the subjects
    QLineEdit* Text8;        // 学科名称
    QPushButton* Command10;  // 添　加
    QPushButton* Command11;  // 删　除
    QPushButton* Command12;  // 修　改
    QPushButton* Command13;  // 取　消
    QPushButton* Command14;  // 关　闭
    DirListBox* Dir1;        // the subject directories under BankRoot (not shown)
    FileListBox* File2;      // files of a subject being renamed (not shown)
    QTimer* Timer2;          // subject panel buttons (500 ms)

    // --- Copy-out panel "拷出文件" ---
    QGroupBox* Frame8;
    DriveListBox* Drive1;
    DirListBox* Dir2;
    QLineEdit* Text13;       // 拷出文件名称
    QPushButton* Command43;  // 拷　出
    QPushButton* Command44;  // 取　消

    // --- Copy-in panel "拷入文件" ---
    QGroupBox* Frame9;
    DriveListBox* Drive2;
    DirListBox* Dir3;
    FileListBox* File3;      // *.tik
    QLineEdit* Text14;       // 拷入文件名称
    QPushButton* Command46;  // 拷　入
    QPushButton* Command45;  // 取　消

    // --- Attribute-list panels ---
    QGroupBox* Frame4;  // 题型设置
    FlexGrid* MSFlexGrid2;
    QListWidget* List2;
    QLineEdit* Text9;
    QPushButton* Command15;  // 添　加
    QPushButton* Command16;  // 删　除
    QPushButton* Command17;  // 修　改
    QPushButton* Command18;  // 取　消
    QGroupBox* Frame5;  // 章节设置
    FlexGrid* MSFlexGrid3;
    QListWidget* List3;
    QLineEdit* Text10;
    QPushButton* Command22;  // 添　加
    QPushButton* Command21;  // 删　除
    QPushButton* Command20;  // 修　改
    QPushButton* Command19;  // 取　消
    QPushButton* Command70;  // 上
    QPushButton* Command71;  // 下
    QPushButton* Command72;  // 题库按章节排序
    QGroupBox* Frame6;  // 难度设置
    FlexGrid* MSFlexGrid4;
    QListWidget* List4;
    QLineEdit* Text11;
    QPushButton* Command26;  // 添　加
    QPushButton* Command25;  // 删　除
    QPushButton* Command24;  // 修　改
    QPushButton* Command23;  // 取　消
    QGroupBox* Frame10;  // 单元设置
    FlexGrid* MSFlexGrid1;
    QListWidget* List5;
    QLineEdit* Text17;
    QPushButton* Command66;  // 添　加
    QPushButton* Command67;  // 删　除
    QPushButton* Command68;  // 修　改
    QPushButton* Command69;  // 取　消
    QTimer* Timer3;          // the panels' buttons (500 ms)

    // --- Entry pane "题库录入" (its caption is the counter of the questions) ---
    QGroupBox* Frame7;
    RichTextBox* RichTextBox1;  // 题目: the question
    RichTextBox* RichTextBox2;  // 参考答案: the reference answer
    QComboBox* Combo2;          // 章节 (choose only)
    QComboBox* Combo3;          // 题型 (choose only)
    QComboBox* Combo4;          // 难度 (a name may be typed)
    QComboBox* Combo5;          // 分值: 1 to 20, or typed
    QComboBox* Combo7;          // 单元 (choose only)
    QPushButton* Command30;     // 第一题
    QPushButton* Command31;     // 上一题
    QPushButton* Command32;     // 下一题
    QPushButton* Command33;     // 最末题
    QPushButton* Command29;     // 跳至第 … 题
    QLineEdit* Text12;          // the number to jump to
    QPushButton* Command34;     // 添　加
    QPushButton* Command35;     // 删　除
    QPushButton* Command36;     // 修　改
    QPushButton* Command37;     // 取　消
    QPushButton* Command28;     // 关　闭: close the pane
    QPushButton* Command38;     // WORD编辑: the question in the word processor
    QPushButton* Command39;     // WORD编辑: the answer in the word processor
    QPushButton* Command47;     // WORD浏览所有题目
    FormattingBar* FormatBar;   // formatting of the two boxes (Command48 … Command64, Combo6, Text15)
    QTimer* Timer4;             // keeps the navigation buttons in step (300 ms)

    // The window state shared with the entry pane.
    int CurrentQuestion = -1;   // position of the question shown; -1 none (or the last when reading)
    int QuestionCount = 0;      // questions in the bank as last counted
    bool CreatingBank = false;
    bool BrowseCancelled = false;  // Esc pressed while the whole-bank document is built
    // 1 when the question box last had the focus, 2 the answer box, 0 neither yet.
    int ActiveBox() const;

    DialogKeys* keys() const { return m_keys; }
    Prompt& prompt() const { return m_prompt; }
    Workspace& workspace() const { return m_ws; }
    // The import, format statement, merge and sort buttons.
    BankWindowActions* actions() const { return m_actions; }
    // The chosen bank, "" when none is chosen.
    QString bankPath() const;
    // The four attribute panels: types, chapters, difficulties, units.
    const QList<AttributePanel>& attributePanels() const { return m_panels; }

public Q_SLOTS:
    // Points the lists at BankRoot and rebuilds the subjects (start-up).
    void attachBankRoot();
    void RefreshXueKe();
    void Combo1_Click();
    void File1_Click();
    void Timer1_Timer();
    void DisableCmd();

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();
    void Command8_Click();
    void Command9_Click();

    // Subjects.
    void List1_Click();
    void Timer2_Timer();
    void DisableXueKeCmd();
    void Command10_Click();
    void Command11_Click();
    void Command12_Click();
    void Command13_Click();
    void Command14_Click();

    // Copying banks out and in.
    void Command42_Click();
    void Command43_Click();
    void Command44_Click();
    void Dir2_Change();
    void Command41_Click();
    void Command46_Click();
    void Command45_Click();
    void File3_Click();

    // Attribute lists.
    void Command4_Click();
    void DataReFresh();
    void Timer3_Timer();
    void Command70_Click();
    void Command71_Click();

    // The entry pane.
    void Command27_Click();
    // Shows question n (-1 = the last) of the chosen bank in the pane.
    void ShowQuestion(int n);
    // Stores the pane's boxes as question n of the chosen bank (-1 = as a new question at
    // the end, which then is the one shown). False, after saying why, when the bank could
    // not be written.
    bool SaveQuestion(int n);
    // Deletes question n of `bank` and shows the one that now stands at n (or the last).
    bool DelText(const QString& bank, int n);
    void Command28_Click();
    void Command29_Click();
    void Command30_Click();
    void Command31_Click();
    void Command32_Click();
    void Command33_Click();
    void Command34_Click();
    void Command35_Click();
    void Command36_Click();
    void Command37_Click();
    void Command38_Click();
    void Command39_Click();
    void Command47_Click();
    void Timer4_Timer();

Q_SIGNALS:
    // The subject list was rebuilt with these subjects (the paper library copies them).
    void subjectsRefreshed(const QStringList& subjects);
    // "退　出": the main window comes to the front.
    void showMainWindow();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildBankPanel();
    QWidget* buildCreatePanel();
    QWidget* buildSubjectPanel();
    QWidget* buildCopyOutPanel();
    QWidget* buildCopyInPanel();
    QWidget* buildAttributePanels();
    QWidget* buildEntryPane();
    // The counter caption of the entry pane.
    void showCounter();
    // Sets an attribute box to a question's value, adding the value to the box (and to the
    // bank's list table) when it is missing.
    void setAttributeBox(QComboBox* box, const QString& value, std::optional<AttributeList> table);
    // Fills the attribute boxes from the lists (opening the pane).
    void fillAttributeBoxes();
    // The first press of add, delete or change: the pane waits for the confirming press.
    void startEntryStep(QPushButton* pressed);
    // The checks of a confirming press of add or change; false after saying what is missing.
    bool entryChecksPass();
    // Another bank or subject was chosen while the pane is open.
    void entryBankChanged();
    AttributePanel makeAttributePanel(AttributeList table, const QString& frameName, const QString& caption,
                                      const QString& gridName, const QString& gridLabel,
                                      const QString& listName, const QString& textName, const QString& nameLabel,
                                      const QStringList& buttonNames);
    void connectAttributePanel(int index);
    void attributeAdd(int index);
    void attributeRemove(int index);
    void attributeRename(int index);
    void attributeCancel(int index);
    void attributeListClick(int index);
    void openAttributeStep(int index, QPushButton* pressed);
    // Closes the attribute-list panels if they are open.
    void closeSettings();
    void moveChapter(int delta);
    void showParticulars();
    void clearParticulars();
    void reportError(const QString& text);

    Workspace& m_ws;
    Prompt& m_prompt;
    DialogKeys* m_keys;
    BankWindowActions* m_actions = nullptr;
    QString m_newBankPath;  // the bank file made by "创　建" until it is confirmed
    QList<AttributePanel> m_panels;
    QWidget* m_settingsArea = nullptr;
    QProgressBar* m_browseProgress = nullptr;  // shown while the whole-bank document is built
    QLabel* m_placeholder = nullptr;
};

}  // namespace qm
