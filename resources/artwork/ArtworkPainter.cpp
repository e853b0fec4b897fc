#include "resources/artwork/ArtworkPainter.h"

#include "resources/ArtworkTable.h"
#include "resources/artwork/ArtworkRecipes.h"

#include <QDir>
#include <QPainter>

namespace artwork {

QImage ArtworkPainter::paint(const ArtworkEntry& entry)
{
    const ArtworkRecipes::Recipe* recipe = ArtworkRecipes::all().find(entry.name);
    if (!recipe || entry.size.isEmpty())
        return {};
    QImage image(entry.size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    (*recipe)(painter, QRectF(QPointF(0, 0), QSizeF(entry.size)));
    painter.end();
    return image;
}

bool ArtworkPainter::writeAll(const QString& dir)
{
    if (!QDir().mkpath(dir))
        return fail(QStringLiteral("cannot create %1").arg(dir));
    for (const ArtworkEntry& entry : ArtworkTable::entries()) {
        const QImage image = paint(entry);
        if (image.isNull())
            return fail(QStringLiteral("no drawing for image \"%1\"").arg(entry.name));
        const QString path = QDir(dir).filePath(entry.name + QStringLiteral(".png"));
        if (!image.save(path, "PNG"))
            return fail(QStringLiteral("cannot write %1").arg(path));
    }
    return true;
}

bool ArtworkPainter::fail(const QString& message)
{
    m_error = message;
    return false;
}

} // namespace artwork
