#pragma once
// The assembled paper of a composition window ("样卷显示"): the paper and the answer sheet
// side by side with the formatting bar, each editable here or in the word processor,
// exported as PDF for printing, or handed to the paper library.

#include "paper/layout.h"
#include "widgets/formattingbar.h"

#include <QGroupBox>
#include <functional>
#include <memory>

class QPushButton;
class QRadioButton;
class QTextDocument;

namespace qm {

class Prompt;
class RichTextBox;
class Workspace;

class PaperPanel : public QGroupBox {
    Q_OBJECT
public:
    PaperPanel(Workspace& workspace, Prompt& prompt, QWidget* parent = nullptr,
               const FormattingBarOptions& barOptions = FormattingBarOptions::compositionWindow());
    ~PaperPanel() override;

    RichTextBox* RichTextBox3;  // 样卷：the paper
    RichTextBox* RichTextBox4;  // 答卷：the answer sheet
    FormattingBar* FormatBar;   // acts on the box that last had the focus
    QPushButton* Command11;     // 关　闭
    QPushButton* Command12;     // WORD编辑样卷
    QPushButton* Command13;     // WORD编辑答卷
    QPushButton* Command14;     // 试卷存储管理
    QPushButton* CommandPdf;    // 导出PDF
    QRadioButton* OptionA;      // A卷: the boxes show the A paper (shown only with two papers)
    QRadioButton* OptionB;      // B卷: the boxes show the B paper

    // Replaces both documents, laid out on the sheets of `layout` (the paper with its sealing
    // strip, the answers without); one paper, no switch.
    void setDocuments(const QTextDocument& paper, const QTextDocument& answers,
                      paper::PaperLayout layout = paper::PaperLayout::A4);
    // Two papers, A and B, on the same sheets: the boxes show A, OptionA and OptionB switch
    // between them, and what is edited in either stays with it.
    void setParallelDocuments(const QTextDocument& paperA, const QTextDocument& answersA, const QTextDocument& paperB,
                              const QTextDocument& answersB, paper::PaperLayout layout = paper::PaperLayout::A4);
    // True while the panel holds two papers.
    bool parallel() const { return m_otherPaper != nullptr; }
    // The paper (0) or the B paper (1) and its answer sheet, whether shown or not.
    QTextDocument* paperOf(int which) const;
    QTextDocument* answersOf(int which) const;
    // Which paper the boxes show: 0 A (or the only one), 1 B.
    int shown() const { return m_shown; }
    // The sheets the papers are laid out on.
    paper::PaperLayout layout() const { return m_layout; }
    // The files of the window that an export may not replace.
    void setFilesInUse(std::function<QStringList()> files) { m_filesInUse = std::move(files); }

public Q_SLOTS:
    void Command11_Click();
    void Command12_Click();
    void Command13_Click();
    void Command14_Click();
    // Writes the paper and the answer sheet as two PDF files: the chosen name, and the
    // same name ending in "答卷". Both replace what was there, or neither does; only a PDF
    // or a new name is written over, never a file the window uses.
    void CommandPdf_Click();
    // The boxes show the A / the B paper.
    void OptionA_Click();
    void OptionB_Click();

Q_SIGNALS:
    // "关　闭".
    void closed();
    // "试卷存储管理": the paper is to be stored in a paper library.
    void archiveRequested();

private:
    // The sheets both boxes write their RTF for, and the PDF is laid out on.
    void setSheets(paper::PaperLayout layout);
    // The boxes show paper `which`; the other one is kept aside.
    void showPaper(int which);

    Workspace& m_ws;
    Prompt& m_prompt;
    std::function<QStringList()> m_filesInUse;
    paper::PaperLayout m_layout = paper::PaperLayout::A4;
    // The paper the boxes do not show, while there are two.
    std::unique_ptr<QTextDocument> m_otherPaper;
    std::unique_ptr<QTextDocument> m_otherAnswers;
    int m_shown = 0;
};

}  // namespace qm
