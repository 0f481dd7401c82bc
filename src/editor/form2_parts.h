#pragma once
// What the files making up the bank window share: the captions of its two-press buttons
// and the helpers that make its controls.

#include <QString>

class QLineEdit;
class QPushButton;
class QWidget;

namespace qm::form2 {

inline const QString kAdd = QStringLiteral("添　加");
inline const QString kDelete = QStringLiteral("删　除");
inline const QString kModify = QStringLiteral("修　改");
inline const QString kConfirm = QStringLiteral("确　定");
inline const QString kError = QStringLiteral("错误");

// A push button with its control name, which Enter presses only when it is the default.
QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption);
QLineEdit* makeLineEdit(QWidget* parent, const QString& name);
// The box selects its whole text whenever it gets the focus.
void selectAllOnFocus(QLineEdit* edit);

}  // namespace qm::form2
