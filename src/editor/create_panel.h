#pragma once
// The panel "创建题库" of the bank window: the name of a new bank.

#include <QGroupBox>

class QLineEdit;
class QPushButton;

namespace qm {

class Form2;

class CreatePanel : public QGroupBox {
    Q_OBJECT
public:
    explicit CreatePanel(Form2& form);

    QLineEdit* Text7;       // 请输入题库名称
    QPushButton* Command6;  // 创　建
    QPushButton* Command7;  // 取　消

    // Shows the panel with the name box ready for typing.
    void open();

public Q_SLOTS:
    void Command6_Click();
    void Command7_Click();

private:
    Form2& m_form;
};

}  // namespace qm
