#pragma once
// FormattingBar: the row of formatting buttons that stands over the two editable rich-text
// boxes of an editing window (question and answer in the bank window, paper and answer
// sheet in the two composition windows). It sets bold, italic, underline, font, size and
// alignment of the selected text, copies, pastes, deletes, undoes and inserts the
// underlined blank of a fill-in question.
//
// The bar acts on the box that last had the focus (`ActiveBox`: 1 or 2, 0 before either box
// had it); the bold/italic/underline buttons act on both boxes at once. Its controls carry
// the names the windows use (`Command48` ... `Command64`, `Combo6`, `Text15`), so a window's
// findChild finds them.

#include <QWidget>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace qm {

class RichTextBox;

// What differs between the windows that use the bar.
struct FormattingBarOptions {
    // A box that gets the focus collapses the other box's selection to its start, so the
    // bold/italic/underline buttons change only the text selected in the box last used.
    bool collapseOtherSelection = true;
    // Ctrl+B, Ctrl+I and Ctrl+U in either box toggle bold, italic and underline.
    bool toggleKeys = true;
    // The font box applies its text as the font at every edit (typing included), not only
    // when a font is chosen from its list.
    bool fontOnEveryEdit = false;

    // The bank window (Form2): all of the above as defaulted.
    static FormattingBarOptions bankWindow() { return {}; }
    // The automatic composition window (Form3): selections of both boxes stay, no keys.
    static FormattingBarOptions compositionWindow() { return {false, false, false}; }
    // The manual composition window (Form5): as Form3, the font applied at every edit.
    static FormattingBarOptions manualWindow() { return {false, false, true}; }
};

class FormattingBar : public QWidget {
    Q_OBJECT
public:
    FormattingBar(RichTextBox* box1, RichTextBox* box2, const FormattingBarOptions& options = {},
                  QWidget* parent = nullptr);

    // 1 or 2: the box that last had the focus; 0 before either had it.
    int ActiveBox() const { return m_active; }
    // The box named by ActiveBox, nullptr for 0.
    RichTextBox* activeBox() const;
    RichTextBox* box(int which) const { return which == 1 ? m_box1 : which == 2 ? m_box2 : nullptr; }

    QPushButton* Command48;  // B: bold on (both boxes)
    QPushButton* Command49;  // I: italic on
    QPushButton* Command50;  // U: underline on
    QPushButton* Command51;  // B: bold off
    QPushButton* Command52;  // I: italic off
    QPushButton* Command53;  // U: underline off
    QPushButton* Command54;  // copy (active box)
    QPushButton* Command55;  // paste
    QPushButton* Command56;  // align left
    QPushButton* Command57;  // centre
    QPushButton* Command58;  // align right
    QPushButton* Command62;  // insert an underlined blank
    QPushButton* Command63;  // delete the selection
    QPushButton* Command64;  // undo
    QComboBox* Combo6;       // 字体: every font of the system
    QLineEdit* Text15;       // 字号

public Q_SLOTS:
    void Command48_Click();
    void Command49_Click();
    void Command50_Click();
    void Command51_Click();
    void Command52_Click();
    void Command53_Click();
    void Command54_Click();
    void Command55_Click();
    void Command56_Click();
    void Command57_Click();
    void Command58_Click();
    void Command62_Click();
    void Command63_Click();
    void Command64_Click();
    // A font chosen in Combo6 (or, with fontOnEveryEdit, typed): the active box's selection
    // gets it.
    void Combo6_Click(const QString& family);
    // Text15 edited: the active box's selection gets the size it holds (0 or less is ignored).
    void Text15_Change();
    // A box got the focus: it becomes the active box.
    void boxGotFocus(int which);
    // The selection of a box moved: the font and size boxes show its font and size, or
    // nothing where it mixes several.
    void boxSelChange(int which);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPushButton* addButton(const QString& name, const QString& caption, const QString& tip);
    template <typename F>
    void onBothBoxes(F apply);
    template <typename F>
    void onActiveBox(F apply);

    RichTextBox* m_box1;
    RichTextBox* m_box2;
    FormattingBarOptions m_options;
    int m_active = 0;
};

}  // namespace qm
