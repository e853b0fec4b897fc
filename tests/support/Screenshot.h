#pragma once

#include <QDir>
#include <QImage>
#include <QString>

// Pictures the tests write for people to look at: into $QBANK_SCREENSHOT_DIR when it is set,
// else the temporary folder, as qbank-<name>.png.
namespace screenshot {

inline QString path(const QString& name)
{
    const QString dir = qEnvironmentVariable("QBANK_SCREENSHOT_DIR", QDir::tempPath());
    QDir().mkpath(dir);
    return QDir(dir).filePath(QStringLiteral("qbank-%1.png").arg(name));
}

// False when nothing was drawn or the file could not be written.
inline bool save(const QImage& image, const QString& name)
{
    return !image.isNull() && image.save(path(name), "PNG");
}

} // namespace screenshot
