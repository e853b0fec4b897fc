#pragma once

#include <QImage>
#include <QString>

namespace artwork {

struct ArtworkEntry;

// Paints the table's images and writes them as "<name>.png".
class ArtworkPainter {
public:
    // A transparent image of the entry's size with its recipe painted on it; a null image
    // when no recipe exists for the name.
    static QImage paint(const ArtworkEntry& entry);

    // Writes every table image into dir (created when missing). Stops at the first fault.
    bool writeAll(const QString& dir);
    QString errorString() const { return m_error; }

private:
    bool fail(const QString& message);

    QString m_error;
};

} // namespace artwork
