#include "rtf/picture_drawing.h"

#include "rtf/metafile.h"
#include "rtf/rich_text.h"

#include <QAbstractTextDocumentLayout>
#include <QCache>
#include <QPainter>
#include <QPointer>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

#include <memory>

namespace qm {

namespace {

// The drawing of one metafile picture; none when it could not be converted.
struct VectorDrawing {
    std::shared_ptr<const MetafileDrawing> svg;
};

// What the picture drawing keeps of pictures it has converted, in bytes of SVG.
constexpr qsizetype kCacheBytes = qsizetype(64) << 20;

// The resource under which a document keeps a picture's drawing (apart from the picture's
// image resource, its placeholder, which has the picture's own name).
QUrl drawingUrl(const QString& pictureName)
{
    return QUrl(QStringLiteral("qm-vector:") + pictureName);
}

bool formatOf(const QTextImageFormat& fmt, metafile::Format* format)
{
    const QByteArray kind = fmt.property(PictureKind).toByteArray();
    return metafile::formatOfKind(kind.constData(), size_t(kind.size()), format);
}

}  // namespace

}  // namespace qm

Q_DECLARE_METATYPE(qm::VectorDrawing)

namespace qm {

// Takes the place of Qt's picture drawing in a document's layout: metafiles are drawn
// from their SVG, everything else (and a metafile that could not be converted, whose
// image resource is the placeholder) by Qt's own picture drawing, which also gives every
// picture its size.
class PictureHandler : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)
public:
    PictureHandler(QObject* parent, QObject* images) : QObject(parent), images_(images)
    {
        cache_.setMaxCost(kCacheBytes);
    }

    QSizeF intrinsicSize(QTextDocument* doc, int pos, const QTextFormat& format) override
    {
        QTextObjectInterface* images = imageHandler();
        return images ? images->intrinsicSize(doc, pos, format) : QSizeF();
    }

    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument* doc, int pos,
                    const QTextFormat& format) override
    {
        const QTextImageFormat fmt = format.toImageFormat();
        metafile::Format kind;
        if (formatOf(fmt, &kind)) {
            if (const std::shared_ptr<const MetafileDrawing> svg = drawing(doc, fmt)) {
                svg->draw(painter, rect);
                return;
            }
        }
        if (QTextObjectInterface* images = imageHandler())
            images->drawObject(painter, rect, doc, pos, format);
    }

    // The drawing of the metafile picture `fmt` of `doc`; converts first the document's
    // pictures that have none yet. Null when the picture cannot be converted.
    std::shared_ptr<const MetafileDrawing> drawing(QTextDocument* doc, const QTextImageFormat& fmt)
    {
        if (const std::optional<VectorDrawing> known = lookUp(doc, fmt.name()))
            return known->svg;
        convertPending(doc);
        const std::optional<VectorDrawing> made = lookUp(doc, fmt.name());
        return made ? made->svg : nullptr;
    }

private:
    QTextObjectInterface* imageHandler() const
    {
        return images_ ? qobject_cast<QTextObjectInterface*>(images_.data()) : nullptr;
    }

    // The drawing the document or this handler has for a picture.
    std::optional<VectorDrawing> lookUp(QTextDocument* doc, const QString& name)
    {
        const QUrl url = drawingUrl(name);
        const QVariant res = doc->resource(QTextDocument::UserResource, url);
        if (res.canConvert<VectorDrawing>())
            return res.value<VectorDrawing>();
        if (const VectorDrawing* cached = cache_.object(name)) {
            doc->addResource(QTextDocument::UserResource, url, QVariant::fromValue(*cached));
            return *cached;
        }
        return std::nullopt;
    }

    void convertPending(QTextDocument* doc)
    {
        QStringList names;
        QList<MetafileFile> files;
        for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
            for (auto it = b.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat cf = it.fragment().charFormat();
                if (!cf.isImageFormat())
                    continue;
                const QTextImageFormat img = cf.toImageFormat();
                metafile::Format kind;
                if (!formatOf(img, &kind) || names.contains(img.name()) || lookUp(doc, img.name()))
                    continue;
                names << img.name();
                files << MetafileFile{kind, img.property(PictureBytes).toByteArray()};
            }
        }
        if (files.isEmpty())
            return;
        const QList<MetafileSvg> svgs = convertMetafiles(files);
        for (qsizetype i = 0; i < names.size(); ++i) {
            VectorDrawing d;
            qsizetype cost = 1;
            if (svgs[i].status == MetafileSvg::Done) {
                d.svg = MetafileDrawing::fromSvg(finishMetafileSvg(svgs[i].svg));
                if (d.svg)
                    cost = std::max<qsizetype>(d.svg->cost(), 1);
            }
            doc->addResource(QTextDocument::UserResource, drawingUrl(names[i]), QVariant::fromValue(d));
            cache_.insert(names[i], new VectorDrawing(d), std::min(cost, kCacheBytes));
        }
    }

    QPointer<QObject> images_;
    QCache<QString, VectorDrawing> cache_;
};

bool isMetafileKind(const QByteArray& kind)
{
    metafile::Format format;
    return metafile::formatOfKind(kind.constData(), size_t(kind.size()), &format);
}

namespace {

PictureHandler* handlerOf(QTextDocument* doc)
{
    return dynamic_cast<PictureHandler*>(doc->documentLayout()->handlerForObject(QTextFormat::ImageObject));
}

}  // namespace

void drawMetafilesAsVectors(QTextDocument* doc)
{
    QAbstractTextDocumentLayout* layout = doc->documentLayout();
    QTextObjectInterface* current = layout->handlerForObject(QTextFormat::ImageObject);
    if (dynamic_cast<PictureHandler*>(current))
        return;
    auto* handler = new PictureHandler(doc, dynamic_cast<QObject*>(current));
    layout->registerHandler(QTextFormat::ImageObject, handler);
}

void copyMetafileDrawing(QTextDocument* to, const QTextDocument& from, const QString& pictureName)
{
    const QUrl url = drawingUrl(pictureName);
    const QVariant res = from.resource(QTextDocument::UserResource, url);
    if (res.canConvert<VectorDrawing>())
        to->addResource(QTextDocument::UserResource, url, res);
}

PictureLook pictureLook(QTextDocument* doc, const QTextImageFormat& format)
{
    metafile::Format kind;
    if (!formatOf(format, &kind))
        return format.hasProperty(PictureKind) && !format.property(PictureKind).toByteArray().endsWith("blip")
                   ? PictureLook::Placeholder
                   : PictureLook::Image;
    PictureHandler* handler = handlerOf(doc);
    return handler && handler->drawing(doc, format) ? PictureLook::Vector : PictureLook::Placeholder;
}

}  // namespace qm

#include "picture_drawing.moc"
