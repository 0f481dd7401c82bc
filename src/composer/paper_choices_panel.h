#pragma once
// The teacher's choices for how a paper is laid out, in the header pane ("试卷选项"): how
// scores are labelled, whether the answers are a whole answer sheet or a key of the answers
// alone, and how many blank lines each question of a type leaves for answering. They are
// kept beside the header settings (paper/paper_choices.h).

#include "paper/paper_choices.h"

#include <QGroupBox>
#include <functional>

class QButtonGroup;
class QComboBox;
class QRadioButton;
class QSpinBox;

namespace qm {

class PaperChoicesPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit PaperChoicesPanel(QWidget* parent = nullptr);

    QRadioButton* ScorePercent;  // 百分比标注：一、单选题(20%)　1.(2%)
    QRadioButton* ScorePoints;   // 分数标注：一、单选题（每小题2分，共20分）　1．
    QRadioButton* AnswerSheet;   // 答卷：全卷附答案
    QRadioButton* AnswerKey;     // 参考答案：只列答案
    QComboBox* LinesType;        // the question type whose blank lines are set
    QSpinBox* LinesCount;        // 每题后留空行: blank lines after each question of that type

    // The question types of the paper, offered in LinesType when the panel is shown.
    void setTypes(std::function<QStringList()> types) { m_types = std::move(types); }
    paper::PaperChoices choices() const { return m_choices; }
    void setChoices(const paper::PaperChoices& choices);

    // Lists the paper's types, keeping the one chosen when it is still there.
    void listTypes();

public Q_SLOTS:
    // Another type chosen: its blank lines are shown.
    void LinesType_Click();
    // The blank lines of the chosen type changed.
    void LinesCount_Change();

private:
    QButtonGroup* m_scores;
    QButtonGroup* m_answers;
    paper::PaperChoices m_choices;
    std::function<QStringList()> m_types;
    bool m_showing = false;
};

}  // namespace qm
