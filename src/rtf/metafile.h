#pragma once
// Metafile pictures (WMF, EMF) as SVG: the converter program quellmark-metafile does the
// work with libwmf and libemf2svg in a process of its own, under limits of memory and
// time; a file that cannot be converted in them is reported as such, and the program
// keeps showing its placeholder.

#include "rtf/metafile_scan.h"

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QRectF>
#include <QString>
#include <QTransform>

#include <memory>

class QPainter;
class QSvgRenderer;

namespace qm {

struct MetafileFile {
    metafile::Format format = metafile::Format::Wmf;
    QByteArray bytes;
};

struct MetafileSvg {
    enum Status : uint8_t {
        Done,      // `svg` holds the drawing
        Refused,   // the file is damaged or too large to try (its records do not add up)
        Failed,    // the converter could not draw it
        TooLarge,  // the drawing is larger than any picture of a question
        TimedOut,  // the converter took too long and was stopped
        Crashed,   // the converter ended without an answer (its memory limit, a fault)
        NoConverter,
    };
    Status status = Failed;
    QByteArray svg;
};

// Where the converter program is: $QUELLMARK_METAFILE_CONVERTER when set, else beside the
// running program, where the package installs it, or in the build's program directory;
// empty when it is nowhere.
QString metafileConverterPath();

// Converts the files in one run of the converter (a new run after one that had to be
// stopped). Each picture has one second; a batch gives up after its second stopped run,
// leaving the rest Failed. The answers are in the order of `files`.
QList<MetafileSvg> convertMetafiles(const QList<MetafileFile>& files);
// The same with the converter program at `converter` (tests hand a stand-in).
QList<MetafileSvg> convertMetafiles(const QList<MetafileFile>& files, const QString& converter);

// The converter's SVG made ready for drawing: WMF text comes as bytes with their font's
// character set, which this decodes (code pages, symbol fonts) into ordinary SVG text,
// and an SVG without the SVG namespace gets it. Empty when the SVG is not well formed.
QByteArray finishMetafileSvg(const QByteArray& svg);

// A converted metafile ready to be drawn: its shapes drawn by Qt SVG, its text by the
// painter as text (Qt SVG draws text as outlines, which a PDF reader cannot search or
// copy).
class MetafileDrawing {
public:
    // The drawing of a finished SVG (finishMetafileSvg); null when it is not a drawing.
    static std::shared_ptr<const MetafileDrawing> fromSvg(const QByteArray& svg);

    // Draws the picture stretched into `rect`.
    void draw(QPainter* painter, const QRectF& rect) const;
    // Its text, the pieces in drawing order.
    QStringList texts() const;
    // The size of its SVG, what keeping it costs.
    qsizetype cost() const { return cost_; }

    struct Text {
        QTransform transform;  // where the text's own coordinates lie in the SVG
        QPointF at;
        QString family;
        double size = 0;
        int weight = 400;
        bool italic = false;
        QColor color;
        int anchor = 0;  // 0 start, 1 middle, 2 end
        QString text;
    };

private:
    std::shared_ptr<QSvgRenderer> shapes_;
    QRectF viewBox_;
    QList<Text> texts_;
    qsizetype cost_ = 0;
};

}  // namespace qm
