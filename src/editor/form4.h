#pragma once
// The window "导入说明": the statement of the batch question file format, and the way to
// the user guide's full description of it with a complete example.

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace qm {

class Form4 : public QWidget {
    Q_OBJECT
public:
    explicit Form4(QWidget* parent = nullptr);

    QPlainTextEdit* Text1;  // the format statement, for reading and copying
    QPushButton* Command1;  // 格式说明: the user guide at the batch file format

public Q_SLOTS:
    void Command1_Click();

Q_SIGNALS:
    // The user guide is wanted at the section with this anchor.
    void guideRequested(const QString& anchor);
};

}  // namespace qm
