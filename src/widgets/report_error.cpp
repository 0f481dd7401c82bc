#include "widgets/report_error.h"

#include "core/prompt.h"

namespace qm {

void reportError(Prompt& prompt, const QString& text)
{
    prompt.message(text, QStringLiteral("错误"), Icon::Warning, Buttons::Ok);
}

}  // namespace qm
