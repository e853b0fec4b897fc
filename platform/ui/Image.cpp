#include "platform/ui/Image.h"

#include "platform/core/Bundle.h"
#include "platform/core/Log.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>

namespace ui {

namespace {

QHash<QString, Image>& cache()
{
    static QHash<QString, Image> images;
    return images;
}

// What named() found, by name, for the resource folder it looked in: building the path costs
// more than the lookup, and a screen asks for the same few names over and over.
struct NamedCache {
    QString folder;
    QHash<QString, Image> images;
};

NamedCache& namedCache()
{
    static NamedCache named;
    return named;
}

// "name", "name.png" and "name.jpg" all name a file; a bare name means PNG.
QString fileNameFor(const QString& name)
{
    if (!QFileInfo(name).suffix().isEmpty())
        return name;
    return name + QStringLiteral(".png");
}

// Artwork is stored with an alpha channel even where every pixel is opaque (backgrounds). Such
// a bitmap is already a valid RGB32 one, bit for bit: one look at its alpha (which stops at the
// first see-through pixel) lets the painter draw it by its opaque fast paths instead of blending,
// and the renderer skip what it covers.
void markOpaque(QImage& image)
{
    if (image.format() != QImage::Format_ARGB32)
        return;
    const int width = image.width(), height = image.height();
    for (int y = 0; y < height; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            if (qAlpha(line[x]) != 255)
                return;
        }
    }
    image.reinterpretAsFormat(QImage::Format_RGB32);
}

} // namespace

Image Image::named(const QString& name)
{
    if (name.isEmpty()) {
        core::log(QStringLiteral("Image"), QStringLiteral("no image named \"\""));
        return {};
    }
    const QString folder = core::Bundle::resourcePath();
    auto& named = namedCache();
    if (named.folder != folder) {
        named.images.clear();
        named.folder = folder;
    }
    if (auto it = named.images.constFind(name); it != named.images.constEnd())
        return *it;
    const QString path = QDir(folder).filePath(fileNameFor(name));
    auto it = cache().constFind(path);
    Image image = it != cache().constEnd() ? *it : fromFile(path);
    if (image.isNull()) {
        core::log(QStringLiteral("Image"), QStringLiteral("no image named \"%1\" in %2").arg(name, folder));
        return {};
    }
    cache().insert(path, image);
    image.m_name = name;
    named.images.insert(name, image);
    return image;
}

Size Image::pixelSizeNamed(const QString& name)
{
    const QString folder = core::Bundle::resourcePath();
    const auto& named = namedCache();
    if (named.folder == folder) {
        if (auto it = named.images.constFind(name); it != named.images.constEnd())
            return it->pixelSize();
    }
    // Only the header is read; the bitmap is decoded when something draws it.
    const QSize size = name.isEmpty() ? QSize() : QImageReader(QDir(folder).filePath(fileNameFor(name))).size();
    if (!size.isValid())
        return Image::named(name).pixelSize();   // logs the missing image as named() does
    return {static_cast<double>(size.width()), static_cast<double>(size.height())};
}

Image Image::fromQImage(const QImage& qimage, double scale)
{
    Image image;
    image.m_image = qimage;
    image.m_scale = scale > 0 ? scale : 1.0;
    return image;
}

Image Image::fromFile(const QString& path, double scale)
{
    QImage qimage;
    if (!QFileInfo::exists(path) || !qimage.load(path))
        return {};
    markOpaque(qimage);
    return fromQImage(qimage, scale);
}

Size Image::pixelSize() const
{
    return {static_cast<double>(m_image.width()), static_cast<double>(m_image.height())};
}

Size Image::size() const
{
    return pixelSize() * (1.0 / m_scale);
}

void Image::clearCache()
{
    cache().clear();
    namedCache().images.clear();
}

bool Image::operator==(const Image& o) const
{
    return m_scale == o.m_scale && m_image == o.m_image;
}

} // namespace ui
