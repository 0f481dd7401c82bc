#pragma once
// The paper view of the paper-library window: the paper and its answer sheet on two tabs,
// the particulars, the counters, paging, saving, filing a waiting paper, deleting, the
// import from two RTF files and the word-processor round trip.
//
// "保存试卷" (Command3) is the unsaved-change marker: any edit of a document or of the
// particulars enables it while a library is open, showing a paper disables it, and
// whatever would replace the shown paper offers to save first. Which boxes changed, which
// paper is shown and whether a paper waits is kept by the window's LibraryCursor.

#include "bankstore/library_cursor.h"

#include <QGroupBox>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTabBar;

namespace qm {

class Form7;
class RichTextBox;
struct PaperParticulars;

class PaperView : public QGroupBox {
    Q_OBJECT
public:
    explicit PaperView(Form7& form);

    QTabBar* TabStrip1;         // 试卷 | 答卷
    RichTextBox* RichTextBox1;  // the paper (under 试卷)
    RichTextBox* RichTextBox2;  // the answer sheet (under 答卷)
    QLineEdit* Text5;           // 卷名
    QLineEdit* Text6;           // 出卷人
    QLineEdit* Text7;           // 教研组
    QLineEdit* Text8;           // 科室
    QLineEdit* Text9;           // 时间
    QLabel* Label4;             // 共 n 份: the number of papers
    QLabel* Label7;             // 第 k 份: the position of the paper shown
    QPushButton* Command1;      // 上一份
    QPushButton* Command2;      // 下一份
    QPushButton* Command19;     // 跳到
    QLineEdit* Text4;           // the position to jump to
    QPushButton* Command3;      // 保存试卷
    QPushButton* Command4;      // WORD处理
    QPushButton* Command18;     // 删除试卷
    QPushButton* Command5;      // 关　闭
    QLabel* LabelCompanion;     // the paper filed together with the waiting one (the B paper)

    // The box of the chosen tab.
    RichTextBox* shownBox() const;
    // Opens the library chosen in the list (after offering to save the shown paper) and
    // shows its last paper, unless a paper waits.
    void openLibrary();
    // Shows the cursor's paper of the open library.
    void ShowJk();
    // Shown again from the menu: the shown paper is read again, unless it has changes or
    // a paper waits.
    void refresh();
    // The state without a library: nothing to page through, the boxes emptied unless a
    // paper waits.
    void clearLibrary();
    // If the shown paper has unsaved changes, asks whether to save them first: Yes saves,
    // No drops them. A waiting paper is not asked about: it keeps waiting. False when the
    // saving failed (after saying why).
    bool offerToSave();
    // "导入试卷": a paper and its answer sheet from two RTF files, filed at once.
    void importPaper();
    // Receives a paper to be filed (see Form7::receivePaper), after offering to save the
    // shown paper's changes and to file a paper still waiting. False when the paper was not
    // taken (saving failed, or no library was chosen to file the waiting one in).
    bool receivePaper(const QByteArray& paperRtf, const QByteArray& answersRtf, PaperOrigin origin,
                      const QString& name);
    // The same for composed papers: the first waits in the boxes, the others (the B paper)
    // are filed with it, each with its own name and the particulars typed for the first.
    // Filing records the uses of their questions.
    bool receivePapers(const QList<ComposedPaper>& papers, PaperOrigin origin);

public Q_SLOTS:
    void TabStrip1_Click();
    void Command1_Click();
    void Command2_Click();
    void Command19_Click();
    void Command3_Click();
    void Command4_Click();
    void Command18_Click();
    void Command5_Click();

private:
    LibraryCursor& cursor() const;
    // Shows a stored paper (RichTextBox1) or its answers (RichTextBox2) in `box`, laid out
    // as the RTF says: the box writes it back on the same sheets.
    void showRtf(RichTextBox* box, const QByteArray& rtf);
    // An edit of a box: it counts while a library is open or a paper waits.
    void edited(LibraryCursor::Box box);
    // "保存试卷" as the cursor says.
    void showSaveState();
    PaperParticulars particulars() const;
    void setParticulars(const PaperParticulars& particulars);
    // The number of papers of the open library; 0 when none is open or it cannot be read
    // (after saying why).
    int paperCount();
    void emptyBoxes();
    // The counters: `count` papers, the cursor's shown.
    void showPosition(int count);
    // "上一份" and "下一份" as the cursor's position of `count` allows.
    void setNavigation(int count);
    // "上一份" (-1) and "下一份" (+1): the paper that many places away, within the library.
    void step(int delta);
    // AddJk: the two boxes and the particulars as a new last paper of `library`, with the
    // papers filed together with it; the uses of their questions are recorded in their
    // banks and the waiting ends. False after saying why not.
    bool fileAsNewPaper(const QString& library);
    // LabelCompanion as the cursor says.
    void showCompanions();
    // SaveJk: every changed document and the particulars into the shown paper.
    bool SaveJk();

    Form7& m_form;
    QStackedWidget* m_boxes;
    // True while the window itself fills the boxes: that is no edit.
    bool m_showing = false;
};

}  // namespace qm
