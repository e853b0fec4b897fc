#include "platform/ui/Image.h"

#include "platform/core/Bundle.h"
#include "platform/core/Log.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace ui {

namespace {

QHash<QString, Image>& cache()
{
    static QHash<QString, Image> images;
    return images;
}

// "name", "name.png" and "name.jpg" all name a file; a bare name means PNG.
QString fileNameFor(const QString& name)
{
    if (!QFileInfo(name).suffix().isEmpty())
        return name;
    return name + QStringLiteral(".png");
}

} // namespace

Image Image::named(const QString& name)
{
    if (name.isEmpty()) {
        core::log(QStringLiteral("Image"), QStringLiteral("no image named \"\""));
        return {};
    }
    const QString path = QDir(core::Bundle::resourcePath()).filePath(fileNameFor(name));
    auto it = cache().constFind(path);
    if (it != cache().constEnd()) {
        Image found = *it;
        found.m_name = name;
        return found;
    }
    Image image = fromFile(path);
    if (image.isNull()) {
        core::log(QStringLiteral("Image"), QStringLiteral("no image named \"%1\" in %2").arg(name, core::Bundle::resourcePath()));
        return {};
    }
    image.m_name = name;
    cache().insert(path, image);
    return image;
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
}

bool Image::operator==(const Image& o) const
{
    return m_scale == o.m_scale && m_image == o.m_image;
}

} // namespace ui
