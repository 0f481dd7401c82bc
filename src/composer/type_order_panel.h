#pragma once
// "调整题型顺序" of the manual composition window: the question types in section order,
// moved up and down one place at a time. Only while nothing is picked, because a pick's key
// holds its type's place.

#include <QGroupBox>

class QListWidget;
class QPushButton;

namespace qm {

class Form5;

class TypeOrderPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit TypeOrderPanel(Form5& form);

    QListWidget* List2;      // the types, in section order
    QPushButton* Command19;  // 向上
    QPushButton* Command20;  // 向下
    QPushButton* Command21;  // 关闭

    // Shows the panel with the types of the type filter.
    void open(const QStringList& types);

public Q_SLOTS:
    void Command19_Click();
    void Command20_Click();
    void Command21_Click();

private:
    // Moves the chosen type by `step` places when it can; the type filter follows.
    void move(int step);
    Form5& m_form;
};

}  // namespace qm
