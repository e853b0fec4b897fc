#pragma once

#include "platform/core/Bundle.h"
#include "platform/ui/Image.h"

#include <QColor>
#include <QImage>
#include <QTemporaryDir>

// A resource folder of plain option images of chosen pixel sizes, so that layout cases do
// not depend on the app's artwork. Named "<w>x<h>_01.png" (normal) and "_02.png" (selected).
class OptionImageFolder {
public:
    OptionImageFolder()
    {
        core::Bundle::setResourcePath(m_dir.path());
        ui::Image::clearCache();
    }
    ~OptionImageFolder()
    {
        core::Bundle::setResourcePath(QString());
        ui::Image::clearCache();
    }

    // Writes both images of the size; returns {selected, normal} names.
    std::pair<QString, QString> images(int w, int h)
    {
        const QString base = QStringLiteral("%1x%2").arg(w).arg(h);
        write(base + QStringLiteral("_01.png"), w, h, Qt::white);
        write(base + QStringLiteral("_02.png"), w, h, Qt::blue);
        return {base + QStringLiteral("_02.png"), base + QStringLiteral("_01.png")};
    }

    QString path() const { return m_dir.path(); }

private:
    void write(const QString& name, int w, int h, const QColor& color)
    {
        QImage image(w, h, QImage::Format_ARGB32);
        image.fill(color);
        image.save(m_dir.filePath(name));
    }

    QTemporaryDir m_dir;
};
