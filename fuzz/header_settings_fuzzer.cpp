// libFuzzer target: a header settings file (JuanMian.cfg) of arbitrary bytes is read as the
// composition windows read it. Nothing may crash or hang; settings that were read and can
// be written read back the same.

#include "paper/header_settings.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace qm::paper;
    const HeaderSettings settings = parseSettings(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
    // A text with a quote, a line break or a character GBK lacks is refused with a reason.
    QString error;
    const std::optional<QByteArray> bytes = settingsBytes(settings, &error);
    if (!bytes) {
        if (error.isEmpty())
            std::abort();
        return 0;
    }
    if (parseSettings(*bytes) != settings)
        std::abort();
    return 0;
}
