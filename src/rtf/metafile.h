#pragma once
// Metafile pictures (WMF, EMF) as SVG: the converter program quellmark-metafile does the
// work with libwmf and libemf2svg in a process of its own, under limits of memory and
// time; a file that cannot be converted in them is reported as such, and the program
// keeps showing its placeholder.

#include "rtf/metafile_scan.h"

#include <QByteArray>
#include <QList>
#include <QString>

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

}  // namespace qm
