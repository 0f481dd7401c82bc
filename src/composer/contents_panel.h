#pragma once
// The drawn questions of the automatic composition window ("组卷内容"): drawing them from
// the count grid, the list of them by section with their numbers, a preview of the chosen
// one, and replacing it by another question of the same kind.

#include "selection/draw.h"

#include <QGroupBox>
#include <memory>

class QCheckBox;
class QComboBox;
class QPushButton;
class QRadioButton;
class QTimer;

namespace qm {

class FlexGrid;
class Form3;
class RichTextBox;

class ContentsPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit ContentsPanel(Form3& form);
    ~ContentsPanel() override;

    FlexGrid* MSFlexGrid3;      // the composed list: 题型 题号 编号 小题分, and N S F hidden
    RichTextBox* RichTextBox6;  // 题目内容预览
    QPushButton* Command41;     // 预出卷: draw
    QPushButton* Command43;     // 更　换: replace the chosen question
    QPushButton* Command22;     // 出　卷: the paper from the drawn questions
    QPushButton* Command42;     // 关　闭
    QPushButton* CommandAB;     // 出AB卷: an A and a B paper that share no question
    QCheckBox* CheckUnused;     // 优先出未用过的题: the least used questions of a row first
    QComboBox* ComboRecent;  // 不避开近期用过的题, or the questions used in the last 3, 6, 12 months left out
    QRadioButton* OptionListA;  // A卷: the list shows the A paper's questions (after 出AB卷)
    QRadioButton* OptionListB;  // B卷: the list shows the B paper's questions
    QTimer* Timer2;             // keeps 更　换 and 出　卷 in step (1000 ms)

    // The drawn questions, in the list's order: of the only paper, or of the A paper.
    const QList<selection::ComposedRow>& rows() const { return m_rows; }
    // The B paper's, after "出AB卷"; empty otherwise.
    const QList<selection::ComposedRow>& rowsB() const { return m_rowsB; }
    // True when "出AB卷" drew the questions.
    bool parallel() const { return m_parallel; }
    // What the draw prefers, as the check box and the list say (dates from today).
    selection::DrawChoices choices() const;
    // The bank they were drawn from: previews, replacements and the paper read it, whatever
    // bank is chosen since.
    const QString& bankPath() const { return m_bankPath; }
    QString bankFileName() const;
    // Where draws and replacements take their chance from (the clock by default).
    void setRandom(std::unique_ptr<selection::RandomSource> random);

public Q_SLOTS:
    void Command41_Click();
    void Command43_Click();
    void Command22_Click();
    void Command42_Click();
    void CommandAB_Click();
    void OptionListA_Click();
    void OptionListB_Click();
    // A click on the composed list: the question of that row is previewed.
    void MSFlexGrid3_Click();
    void Timer2_Timer();

private:
    // The list shown: A's (or the only one) or B's.
    QList<selection::ComposedRow>& shownRows() { return m_showB ? m_rowsB : m_rows; }
    const QList<selection::ComposedRow>& shownRows() const { return m_showB ? m_rowsB : m_rows; }
    // The questions drawn are these (B's empty for one paper), from the bank at `path`.
    void takeDraw(const QString& path, const QList<selection::ComposedRow>& rows,
                  const QList<selection::ComposedRow>& rowsB, bool parallel);
    // Shows the list of A (false) or of B (true).
    void showList(bool b);
    void showRows();
    void preview(int row);

    Form3& m_form;
    QList<selection::ComposedRow> m_rows;
    QList<selection::ComposedRow> m_rowsB;
    bool m_parallel = false;
    bool m_showB = false;
    QString m_bankPath;
    int m_selected = 0;
    std::unique_ptr<selection::RandomSource> m_random;
};

}  // namespace qm
