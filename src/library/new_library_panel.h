#pragma once
// The panel "新建试卷库" of the paper-library window: the name of a new library, made as a
// copy of the empty template jk.jk in the chosen subject's library directory.

#include <QGroupBox>

class QLineEdit;
class QPushButton;

namespace qm {

class Form7;

class NewLibraryPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit NewLibraryPanel(Form7& form);

    QLineEdit* Text1;        // 输入试卷库名称：
    QPushButton* Command11;  // 确　定
    QPushButton* Command12;  // 取　消

    // Shows the panel with the focus in the name box.
    void open();

public Q_SLOTS:
    void Command11_Click();
    void Command12_Click();

private:
    Form7& m_form;
};

}  // namespace qm
