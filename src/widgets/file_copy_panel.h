#pragma once
// A panel for copying a file in from another place or out to one: a place list, a directory
// list, optionally a file list, a name box and the two buttons that confirm and cancel.
// The panel does what is the same in every window: a place that cannot be read leaves the
// lists as they were, a click on a file fills the name box, a double click confirms that
// file at once, and while the panel is open Enter confirms and Esc cancels. What the
// confirming button copies, what it checks first and what it says when the copy is not done
// belong to each window's panel, which derives from this one and names the controls.

#include <QGroupBox>

class QLineEdit;
class QPushButton;

namespace qm {

class DialogKeys;
class DirListBox;
class DriveListBox;
class FileListBox;
class Prompt;

// The names and texts of one window's copy panel.
struct FileCopySetup {
    QString frame;    // the panel's object name
    QString caption;  // its frame caption
    QString drive;    // object name of the place list
    QString dir;      // object name of the directory list
    QString file;     // object name of the file list; "" for a panel without one
    QString pattern;  // the files the file list shows ("*.tik")
    QString name;     // object name of the name box
    QString nameLabel;
    // The label above the place list; a panel that has one shows the name box first.
    QString placeLabel;
    QString confirm, confirmCaption;  // the confirming button
    QString cancel, cancelCaption;    // the cancelling button
    // A click on a file puts its whole path into the name box (else only its name).
    bool clickGivesPath = false;
};

class FileCopyPanel : public QGroupBox {
    Q_OBJECT
public:
    FileCopyPanel(QWidget* window, DialogKeys* keys, const FileCopySetup& setup);

    DriveListBox* places() const { return m_places; }
    DirListBox* directories() const { return m_dirs; }
    // The file list, nullptr in a panel without one.
    FileListBox* files() const { return m_files; }
    QLineEdit* nameBox() const { return m_name; }
    QPushButton* confirmButton() const { return m_confirm; }
    QPushButton* cancelButton() const { return m_cancel; }

public Q_SLOTS:
    // A place chosen in the place list: the directory list goes there, unless the place
    // cannot be read (a medium taken out, a share gone): then the lists stay as they were.
    void placeChosen(const QString& place);
    // A file clicked or chosen with the keys: its name, or its whole path, into the name box.
    void fileChosen();
    // A file double-clicked: chosen, and confirmed at once.
    void fileConfirmed();
    // Hides the panel; Enter and Esc no longer press its buttons.
    void dismiss();

protected:
    // Readies the shown panel: the lists start in the home directory the first time (later
    // the place chosen last stays) and the file list is read again; the two buttons become
    // the window's Enter and Esc buttons; the focus goes to the name box (to the directory
    // list when the name box is only shown).
    void start();
    // What the confirming button does.
    virtual void confirm() = 0;
    // The directory list went to another directory, or the panel was readied.
    virtual void directoryChanged() {}
    // CopyFileWithPrompt under the busy pointer.
    static int copy(Prompt& prompt, const QString& source, const QString& target);

private:
    DialogKeys* m_keys;
    bool m_clickGivesPath;
    DriveListBox* m_places;
    DirListBox* m_dirs;
    FileListBox* m_files = nullptr;
    QLineEdit* m_name;
    QPushButton* m_confirm;
    QPushButton* m_cancel;
};

}  // namespace qm
