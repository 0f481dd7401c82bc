#include "bankstore/library_cursor.h"

#include <algorithm>

namespace qm {

QString callerCode(PaperOrigin origin)
{
    switch (origin) {
    case PaperOrigin::Automatic: return QStringLiteral("3");
    case PaperOrigin::Manual: return QStringLiteral("5");
    case PaperOrigin::Imported: return QStringLiteral("zj");
    case PaperOrigin::None: break;
    }
    return {};
}

void LibraryCursor::open(const QString& path, int count)
{
    m_library = path;
    m_position = std::max(count, 0);
    if (!waiting())
        m_changed = 0;
}

void LibraryCursor::close()
{
    m_library.clear();
    m_position = 0;
    if (!waiting())
        m_changed = 0;
}

int LibraryCursor::moveTo(int position, int count)
{
    m_position = count < 1 ? 0 : std::clamp(position, 1, count);
    return m_position;
}

void LibraryCursor::receive(PaperOrigin origin, const QList<QuestionRef>& questions,
                            const QList<ComposedPaper>& companions)
{
    m_origin = origin;
    m_questions = origin == PaperOrigin::None ? QList<QuestionRef>() : questions;
    m_companions = origin == PaperOrigin::None ? QList<ComposedPaper>() : companions;
    m_changed = 0;
}

void LibraryCursor::filed()
{
    m_origin = PaperOrigin::None;
    m_questions.clear();
    m_companions.clear();
    m_changed = 0;
}

void LibraryCursor::edited(Box box)
{
    if (isOpen() || waiting())
        m_changed |= box;
}

}  // namespace qm
