#pragma once
// A search box with its list of results, alike in the bank window and in the manual
// composition window: the words typed, "查　找", how many questions were found, and one
// row per question (编号, 题型, 章节 and a line of context with the words marked). What a
// search reads is the window's: it answers `searchRequested` with showResults. Choosing a
// row (a click, or Enter on it) emits `questionChosen`.

#include "core/text_fold.h"

#include <QGroupBox>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace qm {

class SearchPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit SearchPanel(QWidget* parent = nullptr);

    QLineEdit* Text90;       // the words to find
    QPushButton* Command90;  // 查　找
    QLabel* Label90;         // "找到 N 道题" (and how many are listed when not all)
    QTreeWidget* List90;     // the questions found

    // Shows the rows of a search that found `total` questions.
    void showResults(const QList<FoundQuestion>& rows, int total);
    // Empties the list (another bank was chosen).
    void clearResults();
    // The 编号 of the row chosen; 0 when none.
    qint64 chosenId() const;

public Q_SLOTS:
    // Asks the window to search for the words typed; with none typed, says what to do.
    void Command90_Click();

Q_SIGNALS:
    void searchRequested(const QString& query);
    void questionChosen(qint64 id);
};

}  // namespace qm
