#pragma once
// Making the controls of a window: each carries its control name as its object name, so
// code and tests find it by that name.

#include <QSize>
#include <QString>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace qm {

// A push button that Enter presses only while it is the window's default button.
QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption);
QLineEdit* makeLineEdit(QWidget* parent, const QString& name);
QCheckBox* makeCheckBox(QWidget* parent, const QString& name, const QString& caption);
// An option of `group`, which reports it by `id`.
QRadioButton* makeOption(QWidget* parent, QButtonGroup* group, const QString& name, const QString& caption, int id);
// Gives a window `preferred` size where the screen has room for it, else the room the
// screen leaves less a margin for the taskbar and the title bar (its layout still keeps
// it from shrinking below what its controls need). A 1024×768 screen gets at most
// 1024×700.
void sizeToScreen(QWidget* window, const QSize& preferred);
// The size sizeToScreen gives on a screen whose free area is `available`.
QSize sizeOnScreen(const QSize& preferred, const QSize& available);
// The box hides what is typed, showing "*" for each character.
void makePasswordBox(QLineEdit* edit);
// The box selects its whole text whenever it gets the focus.
void selectAllOnFocus(QLineEdit* edit);

}  // namespace qm
