#pragma once
// One pop-up panel of the automatic composition window for choosing the values of a
// criterion: the candidates (the bank's values not chosen yet) and the buttons that move
// entries between them and the window's list of chosen values. The window has four: for
// question types, chapters, difficulties and the units of one chapter.

#include <QGroupBox>

class QLabel;
class QListWidget;
class QPushButton;

namespace qm {

// The names of one panel's controls and its captions.
struct CandidatePanelNames {
    QString frame, caption, list, choose, remove, chooseAll, removeAll, close;
};

class CandidatePanel : public QGroupBox {
    Q_OBJECT
public:
    // `chosen` is the window's list the panel adds to and removes from. With a
    // `chosenLabel` the panel shows that list itself, left of its buttons, and the
    // candidates under `candidateLabel`.
    CandidatePanel(QWidget* parent, QListWidget* chosen, const CandidatePanelNames& names,
                   const QString& chosenLabel = {}, const QString& candidateLabel = {});

    QListWidget* chosen() const { return m_chosen; }
    QLabel* label;           // a line above the lists (the unit panel names its chapter)
    QListWidget* list;       // the candidates
    QPushButton* choose;     // < 选中
    QPushButton* remove;     // 删除 >
    QPushButton* chooseAll;  // <<全选
    QPushButton* removeAll;  // 全删>>
    QPushButton* close;      // 关闭

    // Replaces the candidates by `values` without those already chosen, in order.
    void fill(const QStringList& values);

    // The moves; each returns whether anything moved. A moved entry goes to the end of the
    // other list.
    bool chooseSelected();
    bool removeSelected();
    bool chooseEverything();
    bool removeEverything();

    // Enables exactly the buttons that can act now.
    void updateButtons();

private:
    QListWidget* m_chosen;
};

}  // namespace qm
