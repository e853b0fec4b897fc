#include "platform/ui/HtmlImageHandler.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPixmap>
#include <QTextDocument>
#include <QTextFormat>
#include <QUrl>
#include <cstring>

namespace ui {

namespace {

// Figures kept at their shown size: a page shows a few, and a web view redraws rarely.
constexpr int kShrunkLimit = 16;

} // namespace

HtmlImageHandler::HtmlImageHandler(QTextDocument& document)
    : QObject(&document)
    , m_qtHandler(document.documentLayout()->handlerForObject(QTextFormat::ImageObject))
{
    document.documentLayout()->registerHandler(QTextFormat::ImageObject, this);
}

void* HtmlImageHandler::qt_metacast(const char* name)
{
    if (name && std::strcmp(name, qobject_interface_iid<QTextObjectInterface*>()) == 0)
        return static_cast<QTextObjectInterface*>(this);
    return QObject::qt_metacast(name);
}

QSizeF HtmlImageHandler::intrinsicSize(QTextDocument* document, int position, const QTextFormat& format)
{
    return m_qtHandler ? m_qtHandler->intrinsicSize(document, position, format) : QSizeF();
}

void HtmlImageHandler::drawObject(QPainter* painter, const QRectF& rect, QTextDocument* document, int position,
                                  const QTextFormat& format)
{
    // Local files come as pixmaps, fetched and data: figures as images.
    const QVariant resource = document->resource(QTextDocument::ImageResource, QUrl(format.toImageFormat().name()));
    const bool isPixmap = resource.userType() == QMetaType::QPixmap;
    const QPixmap pixmap = isPixmap ? resource.value<QPixmap>() : QPixmap();
    const QImage image = isPixmap ? QImage() : resource.value<QImage>();
    const QSize size = isPixmap ? pixmap.size() : image.size();
    const QTransform toDevice = painter->deviceTransform();
    const QSize pixels = toDevice.mapRect(rect).size().toSize();
    const bool shrinks = !size.isEmpty() && toDevice.type() <= QTransform::TxScale && !pixels.isEmpty()
        && (pixels.width() < size.width() || pixels.height() < size.height());
    if (!shrinks) {
        if (m_qtHandler)
            m_qtHandler->drawObject(painter, rect, document, position, format);
        return;
    }
    const Key key{isPixmap ? pixmap.cacheKey() : image.cacheKey(), pixels};
    auto it = m_shrunk.constFind(key);
    if (it == m_shrunk.cend()) {
        if (m_shrunk.size() >= kShrunkLimit)
            m_shrunk.clear();
        const QImage source = isPixmap ? pixmap.toImage() : image;
        it = m_shrunk.insert(key, source.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    painter->drawImage(rect, *it);
}

} // namespace ui
