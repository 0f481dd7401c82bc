#pragma once
// The paper-library window "试卷管理": the libraries (.Juk files) of a subject, kept in
// ProgramDir + "tiku/" + subject, and the papers of the open library with their answer
// sheets and particulars. Composed papers wait here until they are filed. The window is
// composed of its panels:
//   Library   "试卷库"        LibraryPanel        subject, library list, whole-library commands
//   Frame1    "新建试卷库"    NewLibraryPanel     the name of a new library
//   Frame2    "拷入试卷库"    LibraryCopyInPanel  copying a library in
//   Frame3    "拷出试卷库"    LibraryCopyOutPanel copying the chosen library out
//   Paper                     PaperView           the paper shown, paging, saving, filing

#include "bankstore/library_cursor.h"

#include <QWidget>

class QComboBox;

namespace qm {

class DialogKeys;
class FileListBox;
class LibraryCopyInPanel;
class LibraryCopyOutPanel;
class LibraryPanel;
class NewLibraryPanel;
class PaperView;
class Prompt;
class Workspace;

class Form7 : public QWidget {
    Q_OBJECT
public:
    Form7(Workspace& workspace, Prompt& prompt, QWidget* parent = nullptr);
    ~Form7() override;

    LibraryPanel* Library;        // 试卷库
    NewLibraryPanel* Frame1;      // 新建试卷库
    LibraryCopyInPanel* Frame2;   // 拷入试卷库
    LibraryCopyOutPanel* Frame3;  // 拷出试卷库
    PaperView* Paper;             // the paper view

    // What the panels share of the library panel.
    QComboBox* Combo1;   // 学科名称
    FileListBox* File1;  // 试卷库列表

    // The open library, the paper shown, a paper waiting to be filed, the changed boxes.
    LibraryCursor cursor;

    Workspace& workspace() const { return m_ws; }
    Prompt& prompt() const { return m_prompt; }
    DialogKeys* keys() const { return m_keys; }
    // The library directory of the chosen subject, "" when no subject is chosen.
    QString libraryDir() const;
    // The library chosen in the list, "" when none.
    QString selectedLibrary() const;
    // Says `text` in a message box titled "错误" with the warning icon.
    void reportError(const QString& text);
    // Shows `panel` over the paper view, hiding the other panels.
    void showPanel(QWidget* panel);

public Q_SLOTS:
    // The subject list, as the bank window rebuilt it; a subject still listed stays chosen.
    void setSubjects(const QStringList& subjects);
    // Before the window is shown: the first subject is chosen when none is, and the shown
    // paper is read again.
    void open();
    // A composed paper to be filed: both documents as RTF, where it comes from and the name
    // its header gives it. The first library of the subject is chosen when none is. False
    // when the paper was not taken (see PaperView::receivePaper).
    bool receivePaper(const QByteArray& paperRtf, const QByteArray& answersRtf, PaperOrigin origin,
                      const QString& name);
    // Composed papers to be filed together, with their questions (see
    // PaperView::receivePapers).
    bool receivePapers(const QList<ComposedPaper>& papers, PaperOrigin origin);

protected:
    // The close box does what "关　闭" does.
    void closeEvent(QCloseEvent* event) override;

private:
    Workspace& m_ws;
    Prompt& m_prompt;
    DialogKeys* m_keys;
};

}  // namespace qm
