#pragma once
// The entry pane "题库录入" of the bank window: one question of the chosen bank at a time
// with its answer and attributes, navigation, adding, changing and deleting questions,
// the formatting bar and the hand-offs to the word processor. Its caption counts the
// questions.

#include <QGroupBox>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;

namespace qm {

class EditStep;
class FormattingBar;
class Form2;
class RichTextBox;
class SearchPanel;
enum class AttributeList;

class EntryPane : public QGroupBox {
    Q_OBJECT
public:
    explicit EntryPane(Form2& form);

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
    QPushButton* Command65;     // 查找重复题: the duplicates window on the chosen bank
    SearchPanel* Search;        // 查找题目: Text90, Command90, List90
    QLabel* LabelUsage;  // 使用: "未用过" or "已用 N 次，最近 日期《卷名》" of the question shown
    FormattingBar* FormatBar;  // formatting of the two boxes (Command48 … Command64, Combo6, Text15)
    QTimer* Timer4;            // keeps the navigation buttons in step (300 ms)

    int CurrentQuestion = -1;      // position of the question shown; -1 none (or the last when reading)
    int QuestionCount = 0;         // questions in the bank as last counted
    bool BrowseCancelled = false;  // Esc pressed while the whole-bank document is built
    // 1 when the question box last had the focus, 2 the answer box, 0 neither yet.
    int ActiveBox() const;
    EditStep* step() const { return m_step; }

    // "题库录入": shows the pane (with the setting panels behind it) on the chosen bank.
    void open();
    // Another bank or subject was chosen: the pane follows it, or closes without a bank.
    void bankChanged();

public Q_SLOTS:
    // Shows question n (-1 = the last) of the chosen bank.
    void ShowQuestion(int n);
    // Stores the boxes as a new question at the end (n = -1), which is then the one shown,
    // or over the question shown (n >= 0). False, after saying why, when nothing was
    // written and the step should stay open.
    bool SaveQuestion(int n);
    // Deletes the question shown (at n) of `bank` and shows the one now at n (or the last).
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
    void Command65_Click();
    void Timer4_Timer();
    // The search box's words: the questions of the chosen bank holding them, listed.
    void findQuestions(const QString& query);
    // A question chosen in the list of results (or in the duplicates window): shown.
    void showQuestionById(qint64 id);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showCounter();
    // Sets an attribute box to a question's value, adding the value to the box (and to the
    // bank's list table) when it is missing.
    void setAttributeBox(QComboBox* box, const QString& value, std::optional<AttributeList> table);
    void fillAttributeBoxes();
    // The first press of add, delete or change: the pane waits for the confirming press.
    void startEntryStep(QPushButton* pressed);
    // The checks of a confirming press of add or change; false after saying what is missing.
    bool entryChecksPass();
    // Says that another computer deleted the question shown, and shows the one now there.
    void questionVanished();
    // LabelUsage for the question shown.
    void showUsage();

    Form2& m_form;
    EditStep* m_step;
    QProgressBar* m_browseProgress;  // shown while the whole-bank document is built
    // The question shown: its 编号 and the remark, which the pane does not show and a change
    // keeps (使用 is the store's, which a change leaves).
    qint64 m_shownId = 0;
    QString m_shownRemark;
};

}  // namespace qm
