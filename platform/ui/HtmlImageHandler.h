#pragma once

#include <QHash>
#include <QImage>
#include <QObject>
#include <QTextObjectInterface>

class QTextDocument;

namespace ui {

// Draws a page's images in place of QTextDocument's own handler, whose bilinear stretch
// samples only a few of a figure's pixels for each one it shows: a large figure shrunk to the
// line lost thin lines that fell between the samples. A figure shown smaller than its bitmap is
// scaled smoothly (every pixel counted) to the device pixels it covers, and kept at that size
// for the next drawing; sizes, and figures shown at their own size or larger, stay Qt's.
class HtmlImageHandler : public QObject, public QTextObjectInterface {
public:
    // Takes the place of the document layout's image handler.
    explicit HtmlImageHandler(QTextDocument& document);

    QSizeF intrinsicSize(QTextDocument* document, int position, const QTextFormat& format) override;
    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument* document, int position,
                    const QTextFormat& format) override;

    // What qobject_cast asks: the layout takes a handler only through this interface, and the
    // class has no moc of its own to answer for it.
    void* qt_metacast(const char* name) override;

private:
    QTextObjectInterface* m_qtHandler;   // the layout's own, owned by the layout
    struct Key {
        qint64 image;
        QSize pixels;
        bool operator==(const Key&) const = default;
    };
    friend size_t qHash(const Key& key, size_t seed) { return qHashMulti(seed, key.image, key.pixels.width(), key.pixels.height()); }
    QHash<Key, QImage> m_shrunk;
};

} // namespace ui
