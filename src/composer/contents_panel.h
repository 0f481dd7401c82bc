#pragma once
// The drawn questions of the automatic composition window ("组卷内容"): drawing them from
// the count grid, the list of them by section with their numbers, a preview of the chosen
// one, and replacing it by another question of the same kind.

#include "selection/draw.h"

#include <QGroupBox>
#include <memory>

class QPushButton;
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
    QTimer* Timer2;             // keeps 更　换 and 出　卷 in step (1000 ms)

    // The drawn questions, in the list's order.
    const QList<selection::ComposedRow>& rows() const { return m_rows; }
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
    // A click on the composed list: the question of that row is previewed.
    void MSFlexGrid3_Click();
    void Timer2_Timer();

private:
    void showRows();
    void preview(int row);

    Form3& m_form;
    QList<selection::ComposedRow> m_rows;
    QString m_bankPath;
    int m_selected = 0;
    std::unique_ptr<selection::RandomSource> m_random;
};

}  // namespace qm
