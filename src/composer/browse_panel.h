#pragma once
// Browsing the questions the filters of the manual composition window choose: the count
// ("共…题"), the position of the shown one ("第…题"), moving through them, the question and
// its answer, and "选　中", which picks the shown question into the paper.

#include "bankstore/bank_file.h"

#include <QWidget>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace qm {

class Form5;
class RichTextBox;
class SearchPanel;

class BrowsePanel : public QWidget {
    Q_OBJECT
public:
    explicit BrowsePanel(Form5& form);

    QPushButton* Command1;      // 预览题目
    QPushButton* Command2;      // 上一题
    QPushButton* Command3;      // 下一题
    QLineEdit* Text3;           // the position to jump to
    QPushButton* Command4;      // 跳到
    QPushButton* Command5;      // 选　中
    QLabel* Label9;             // the number of matching questions
    QLabel* Label22;            // the position of the shown one, from 1 (0 when none)
    QLabel* LabelUsage;         // the shown question's uses: "未用过" or "已用 N 次，最近 日期《卷名》"
    RichTextBox* RichTextBox5;  // 题目：
    RichTextBox* RichTextBox6;  // 参考答案：
    QTimer* Timer1;             // keeps the browsing buttons in step
    SearchPanel* Search;        // 查找题目: the questions found become the ones browsed

    int count() const { return int(m_ids.size()); }
    // The shown question; nothing when none is shown or it left the bank meanwhile.
    const std::optional<Question>& shown() const { return m_shown; }
    // Runs the filters' query and shows the first match; with no bank chosen, nothing
    // matches.
    void query();
    // The questions of the chosen bank holding the words of `query` are browsed instead of
    // the filters' ones, and listed in the search panel.
    void findQuestions(const QString& query);
    // Shows the question with this 编号 from the ones browsed.
    void showQuestionById(qint64 id);

public Q_SLOTS:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Timer1_Timer();
    // Shows the question at the current position and its answer.
    void ShowTimu();

private:
    void setPosition(int position);

    Form5& m_form;
    QList<qint64> m_ids;  // 编号 of the matching questions, in bank order
    int m_position = 0;
    std::optional<Question> m_shown;
};

}  // namespace qm
