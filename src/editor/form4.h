#pragma once
// The window "导入说明": the statement of the batch question file format.

#include <QWidget>

class QPlainTextEdit;

namespace qm {

class Form4 : public QWidget {
    Q_OBJECT
public:
    explicit Form4(QWidget* parent = nullptr);

    QPlainTextEdit* Text1;  // the format statement, for reading and copying
};

}  // namespace qm
