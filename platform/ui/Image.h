#pragma once

#include "platform/ui/Geometry.h"

#include <QImage>
#include <QString>

namespace ui {

// A bitmap with a scale (pixels per point). A value type; copies share the pixels.
//
// named() looks the file up in the bundle's resource folder, with or without ".png", and
// caches what it loaded by path. A missing or unreadable image is a null Image: its sizes
// are 0 × 0, and the failed lookup logs one line. Layout rules use pixelSize() (the
// bitmap's size); size() is the size in points, pixels / scale.
class Image {
public:
    Image() = default;
    static Image named(const QString& name);
    // The named image's pixel size without decoding it, for layouts that only measure it.
    static Size pixelSizeNamed(const QString& name);
    static Image fromQImage(const QImage& image, double scale = 1.0);
    static Image fromFile(const QString& path, double scale = 1.0);   // null when unreadable

    bool isNull() const { return m_image.isNull(); }
    explicit operator bool() const { return !isNull(); }
    Size pixelSize() const;
    Size size() const;
    double scale() const { return m_scale; }
    const QImage& qimage() const { return m_image; }
    QString name() const { return m_name; }   // the name it was looked up by, if any

    // Drops every cached bitmap (tests that rewrite files under the same name).
    static void clearCache();

    // Same pixels, same scale.
    bool operator==(const Image& o) const;

private:
    QImage m_image;
    double m_scale = 1.0;
    QString m_name;
};

} // namespace ui
