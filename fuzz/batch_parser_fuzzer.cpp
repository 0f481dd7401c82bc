// libFuzzer target: a batch question file of arbitrary bytes goes the way the import takes
// it, short of the bank: decoded and checked, then read question by question with every
// name request answered (some with a name, some cancelled), and each question and answer
// turned into the RTF that would be stored. Nothing may crash, hang or run past the text.

#include "import/batch_parser.h"
#include "rtf/rich_text.h"

#include <QByteArray>
#include <QGuiApplication>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace qm::import;
    const BatchFile file = batchFileFromBytes(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!file.format)
        return 0;

    BatchImport batch(file.text, *file.format);
    int asked = 0;
    const NameAsker ask = [&asked](const NameRequest& request) -> std::optional<QString> {
        switch (asked++ % 3) {
        case 0: return QStringLiteral("名%1").arg(request.code);
        case 1: return QString();
        default: return std::nullopt;
        }
    };
    qsizetype position = batch.position();
    while (std::optional<ImportQuestion> q = batch.next(ask)) {
        // The scan only moves forward and stays inside the text.
        if (batch.position() < position || batch.position() > batch.size())
            std::abort();
        position = batch.position();
        qm::rtfFromPlainText(q->question);
        qm::rtfFromPlainText(q->answer);
    }
    (void)batch.endMessage();
    return 0;
}
