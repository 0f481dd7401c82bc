#pragma once
// The automatic composition window "智能组卷": the teacher describes a paper by criteria
// (question types in section order, chapters and their units, difficulties, whether scores
// matter); the window shows how many bank questions each combination has, takes the number
// to draw and the section totals, draws the questions and keeps plans of the same shape.
// The window is composed of its panels:
//   Bank      "题库选项："     BankChoicePanel  subject, bank and its particulars
//   Criteria                  CriteriaPanel    the chosen lists, their candidate panels,
//                                               the chapter/unit grid and the options
//   Counts    "出题数设置"     CountGridPanel   the count grid and the paper total
//   Contents  "组卷内容"       ContentsPanel    the drawn questions, preview and replacement
//   Plans     "出题方案保存"   PlanPanel        saving and opening composition plans
//   Frame2    "卷面设置"       HeaderPane       the paper header and its settings
//   Paper     "样卷显示"       PaperPanel       the assembled paper and answer sheet

#include "composer/composition_window.h"

class QPushButton;

namespace qm {

class BankChoicePanel;
class ContentsPanel;
class CountGridPanel;
class CriteriaPanel;
class HeaderPane;
class PaperPanel;
class PlanPanel;
class Prompt;
class Workspace;

class Form3 : public CompositionWindow {
    Q_OBJECT
public:
    Form3(Workspace& workspace, Prompt& prompt, QWidget* parent = nullptr);
    ~Form3() override;

    BankChoicePanel* Bank;
    CriteriaPanel* Criteria;
    CountGridPanel* Counts;
    ContentsPanel* Contents;
    PlanPanel* Plans;
    HeaderPane* Frame2;
    PaperPanel* Paper;

    QPushButton* Command5;   // 自动出卷: the panel of the drawn questions
    QPushButton* Command44;  // 保存方案
    QPushButton* Command45;  // 打开方案
    QPushButton* Command6;   // 卷面编辑: the header pane (enabled once questions are drawn)
    QPushButton* Command7;   // 试卷存档: the paper to a paper library (likewise)
    QPushButton* Command1;   // 退　出

    // Shows `panel` in the pop-up column beside the count grid, hiding the other pop-ups.
    void showPopup(QWidget* panel);
    // Hides the pop-up column when no pop-up is shown any more.
    void popupClosed();
    // Shows the drawn questions ("自动出卷") or, again, the criteria and the count grid.
    void showContents(bool show);
    // "出　卷": the paper and the answer sheet from the drawn questions, shown in "样卷显示";
    // after "出AB卷" both papers, each with its variant in the header.
    void assemble();

    // Opens the window with the bank window's subjects. The subject and bank chosen before
    // stay when they are still there; otherwise the first subject is chosen.
    void open(const QStringList& subjects);
    // The number of sections of the paper: of the drawn questions once they are drawn,
    // else of the count grid's rows that draw, else of the chosen types.
    int sectionCount() const;
    // Also the bank the questions were drawn from.
    QStringList filesInUse() const override;

public Q_SLOTS:
    void Command1_Click();
    void Command5_Click();
    void Command44_Click();
    void Command45_Click();
    void Command6_Click();
    void Command7_Click();

Q_SIGNALS:
    // "退　出": the window and the bank window are hidden.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    // The questions of the paper as it was assembled.
    QList<QuestionRef> paperQuestions() const override;
    // Both papers after "出AB卷", each named by its header.
    QList<ComposedPaper> composedPapers() const override;

private:
    // The pages of the work area, in this order.
    enum Page { CriteriaPage, ContentsPage, HeaderPage, PaperPage };
    // The header settings with the variant of paper `which` (0 A, 1 B).
    paper::HeaderSettings variantSettings(int which) const;
    // After the header is accepted with two papers: each gets the header of its variant.
    void placeVariantHeaders();
    QWidget* m_popups;
    // The questions of the papers as assembled: of the only (or the A) paper, and of B.
    QList<QuestionRef> m_assembled[2];
};

}  // namespace qm
