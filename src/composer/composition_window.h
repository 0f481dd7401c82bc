#pragma once
// What the two composition windows share: the pages of their work area, announcing the
// chosen bank so the bank window follows it, making the paper through the paper job and
// showing it, and handing the finished paper to the paper library.

#include "bankstore/filing.h"
#include "paper/paper_job.h"

#include <QStringList>
#include <QWidget>
#include <optional>

class QStackedWidget;

namespace qm {

class BankChoice;
class HeaderPane;
class PaperPanel;
class Prompt;
class Workspace;

class CompositionWindow : public QWidget {
    Q_OBJECT
public:
    Workspace& workspace() const { return m_ws; }
    Prompt& prompt() const { return m_prompt; }
    // Says `text` in a message box titled "错误" with the warning icon.
    void reportError(const QString& text);
    // The chosen subject and bank are announced so the bank window follows them.
    void announceBank();
    // The files the window reads while it is open: the chosen bank, the header settings and
    // the template. A file saved from the window may not be one of them.
    virtual QStringList filesInUse() const;

Q_SIGNALS:
    // The bank window should show this subject and bank ("" when none is chosen).
    void bankChosen(const QString& subject, const QString& bank);
    // "试卷存储管理" (and "试卷存档"): the paper library is to file these papers (one, or
    // the A and the B paper) with their answer sheets (RTF), each named as its header names
    // it and with the questions it holds, whose uses filing records.
    void archivePaper(const QList<ComposedPaper>& papers);

protected:
    CompositionWindow(Workspace& workspace, Prompt& prompt, const QString& name, const QString& title);
    ~CompositionWindow() override;

    // The window's bank choice, header pane and paper panel; set once by the window.
    void setParts(BankChoice* bank, HeaderPane* header, PaperPanel* paper);
    // The work area: a stack of pages, shown one at a time.
    QStackedWidget* pages() const { return m_pages; }
    void showPage(int page);
    // Makes the paper of `job` (its template and header filled in here when not given) and
    // shows it on the paper panel's page; false, after saying why, when it could not be made.
    bool makePaper(paper::PaperJob job);
    // The same without showing it: nothing, after saying why, when it could not be made.
    std::optional<paper::AssembledPaper> assemblePaper(paper::PaperJob job);
    // Shows the paper panel's page.
    void showPaper();
    // The questions of the paper the paper panel shows, with their banks.
    virtual QList<QuestionRef> paperQuestions() const = 0;
    // What "试卷存储管理" hands on: the paper panel's paper with its header's name and
    // paperQuestions().
    virtual QList<ComposedPaper> composedPapers() const;
    // Hands composedPapers() to the paper library.
    void archive();
    HeaderPane* headerPane() const { return m_header; }
    PaperPanel* paperPanel() const { return m_paper; }

private:
    Workspace& m_ws;
    Prompt& m_prompt;
    QStackedWidget* m_pages;
    BankChoice* m_bank = nullptr;
    HeaderPane* m_header = nullptr;
    PaperPanel* m_paper = nullptr;
};

}  // namespace qm
