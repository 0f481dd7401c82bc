#pragma once
// Making the controls of a window: each carries its control name as its object name, so
// code and tests find it by that name.

#include <QString>

class QLineEdit;
class QPushButton;
class QWidget;

namespace qm {

// A push button that Enter presses only while it is the window's default button.
QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption);
QLineEdit* makeLineEdit(QWidget* parent, const QString& name);
// The box hides what is typed, showing "*" for each character.
void makePasswordBox(QLineEdit* edit);
// The box selects its whole text whenever it gets the focus.
void selectAllOnFocus(QLineEdit* edit);

}  // namespace qm
