#pragma once

#include <QSize>
#include <QString>

#include <optional>
#include <vector>

namespace artwork {

// One named image of the bundle and the pixel size it is painted at.
struct ArtworkEntry {
    QString name;   // base name, without ".png"
    QSize size;     // pixels
};

// The single list of every image the client loads. Sizes are chosen for a 480 x 854 pixel
// screen, where every layout scale factor is 1.0 and an image shows at its pixel size; other
// screens scale them. Layouts, the drawing tool and the tests all read them from here so
// they cannot drift apart.
class ArtworkTable {
public:
    static const std::vector<ArtworkEntry>& entries();

    // Accepts the base name or the file name ("back_btn" or "back_btn.png").
    static std::optional<QSize> pixelSize(const QString& name);
    static bool contains(const QString& name);

    // "back_btn.png" -> "back_btn"; any other text is returned unchanged.
    static QString baseName(const QString& name);
};

} // namespace artwork
