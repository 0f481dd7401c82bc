#pragma once
// Where the paper-library window stands: which library is open, which of its papers is
// shown, whether a paper waits in the boxes to be filed (and where it comes from), and
// which boxes the teacher changed since they were filled. The window asks it what to do and
// tells it what happened; it does no reading or writing itself.

#include "bankstore/filing.h"

#include <QList>
#include <QString>

namespace qm {

// Where a paper waiting to be filed comes from.
enum class PaperOrigin {
    None,       // no paper waits
    Automatic,  // "智能组卷"
    Manual,     // "手工组卷"
    Imported,   // "导入试卷": two RTF files
};

// The caller code of an origin: "" "3" "5" "zj".
QString callerCode(PaperOrigin origin);

class LibraryCursor {
public:
    // The boxes of a paper whose changes are tracked.
    enum Box { PaperBox = 1, AnswerBox = 2, Particulars = 4 };

    // The open library's path, "" when none.
    const QString& library() const { return m_library; }
    bool isOpen() const { return !m_library.isEmpty(); }
    // The position of the paper shown, from 1; 0 when none is.
    int position() const { return m_position; }
    // A paper waits in the boxes to be filed.
    bool waiting() const { return m_origin != PaperOrigin::None; }
    PaperOrigin origin() const { return m_origin; }

    // The library at `path` with `count` papers is open; its last paper is the current one.
    void open(const QString& path, int count);
    // No library is open.
    void close();
    // The paper at `position` (clamped to 1 … count) is the current one; 0 when the
    // library has none. Returns the position.
    int moveTo(int position, int count);
    // The paper `delta` places away, within the library of `count` papers.
    int step(int delta, int count) { return moveTo(m_position + delta, count); }

    // A paper arrives to be filed; its boxes are filled, nothing is changed yet. It holds
    // `questions`, whose uses filing records, and `companions` are filed with it (the B
    // paper beside an A paper).
    void receive(PaperOrigin origin, const QList<QuestionRef>& questions = {},
                 const QList<ComposedPaper>& companions = {});
    // The waiting paper was filed: nothing waits and nothing is changed.
    void filed();
    // The questions of the waiting paper and the papers filed with it; empty when none waits.
    const QList<QuestionRef>& waitingQuestions() const { return m_questions; }
    const QList<ComposedPaper>& companions() const { return m_companions; }

    // The window filled the boxes from the library (or emptied them): nothing is changed.
    void shown() { m_changed = 0; }
    // The teacher edited `box`; counts only while a library is open or a paper waits.
    void edited(Box box);
    // True when `box` (or, without one, any box) was changed since it was shown.
    bool changed(int boxes = PaperBox | AnswerBox | Particulars) const { return (m_changed & boxes) != 0; }
    // Changes of a shown paper that offering to save is about: a waiting paper is saved
    // by filing it, not asked about.
    bool unsavedChanges() const { return !waiting() && isOpen() && m_position > 0 && changed(); }

private:
    QString m_library;
    int m_position = 0;
    PaperOrigin m_origin = PaperOrigin::None;
    QList<QuestionRef> m_questions;
    QList<ComposedPaper> m_companions;
    int m_changed = 0;
};

}  // namespace qm
