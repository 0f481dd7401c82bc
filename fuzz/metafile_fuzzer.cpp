// libFuzzer target: metafile pictures from arbitrary bytes. The first byte chooses WMF or
// EMF. The record walk runs here; what it lets through goes to the converter program
// (which runs under its own limits and may fail, but never for longer than its time),
// and what comes back is finished and drawn. The same bytes also go to the
// SVG finishing as if the converter had written them.

#include "rtf/metafile.h"
#include "rtf/metafile_scan.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

namespace {

void draw(const QByteArray& svg)
{
    const std::shared_ptr<const qm::MetafileDrawing> drawing = qm::MetafileDrawing::fromSvg(svg);
    if (!drawing)
        return;
    QImage image(64, 32, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    drawing->draw(&painter, QRectF(0, 0, 64, 32));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const auto format = data[0] & 1 ? qm::metafile::Format::Emf : qm::metafile::Format::Wmf;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    draw(qm::finishMetafileSvg(bytes));
    const qm::metafile::Scan scan = qm::metafile::scan(format, data + 1, size - 1);
    if (!scan.ok)
        return 0;
    const QList<qm::MetafileSvg> svgs = qm::convertMetafiles({{format, bytes}});
    if (svgs.size() == 1 && svgs[0].status == qm::MetafileSvg::Done)
        draw(qm::finishMetafileSvg(svgs[0].svg));
    return 0;
}
