// libFuzzer target: the RTF reader on arbitrary bytes must neither crash, hang nor grow
// without bound; the writer must take whatever the reader made.

#include "rtf/rtf_reader.h"
#include "rtf/rtf_writer.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QTextDocument doc;
    qm::RtfReader::read(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)), &doc);
    const QByteArray rtf = qm::RtfWriter::write(doc);
    QTextDocument again;
    qm::RtfReader::read(rtf, &again);
    return 0;
}
