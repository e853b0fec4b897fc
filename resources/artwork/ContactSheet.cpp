#include "resources/artwork/ContactSheet.h"

#include "resources/ArtworkTable.h"
#include "resources/artwork/ArtworkPainter.h"
#include "resources/artwork/DrawKit.h"

#include <QPainter>

namespace artwork {

namespace {

// A checkerboard shows where an image is transparent.
void paintCheckerboard(QPainter& p, const QRectF& area)
{
    p.save();
    p.setClipRect(area);
    const int step = 8;
    for (int y = int(area.top()); y < area.bottom(); y += step) {
        for (int x = int(area.left()); x < area.right(); x += step) {
            const bool dark = ((x - int(area.left())) / step + (y - int(area.top())) / step) % 2;
            p.fillRect(QRect(x, y, step, step), dark ? QColor(0xD8, 0xD8, 0xD8) : QColor(0xF4, 0xF4, 0xF4));
        }
    }
    p.restore();
}

void paintCell(QPainter& p, const QRect& cell, const ArtworkEntry& entry)
{
    const QRect frame = cell.adjusted(6, 6, -6, -ContactSheet::labelHeight);
    const QImage image = ArtworkPainter::paint(entry);
    // Small images are shown at 1:1 so their detail can be judged; large ones shrink to fit.
    QSizeF shown = QSizeF(entry.size);
    if (shown.width() > frame.width() || shown.height() > frame.height())
        shown.scale(QSizeF(frame.size()), Qt::KeepAspectRatio);
    const QRectF target(frame.center().x() - shown.width() / 2 + 0.5, frame.center().y() - shown.height() / 2 + 0.5,
                        shown.width(), shown.height());
    paintCheckerboard(p, target);
    p.drawImage(target, image);
    const QRectF label(cell.left() + 4, frame.bottom() + 2, cell.width() - 8, ContactSheet::labelHeight - 4);
    DrawKit::caption(p, label.adjusted(0, 0, 0, -label.height() / 2), entry.name, QColor(0x20, 0x20, 0x20), 15, Qt::AlignCenter,
                     false);
    const QString size = QStringLiteral("%1 × %2").arg(entry.size.width()).arg(entry.size.height());
    DrawKit::caption(p, label.adjusted(0, label.height() / 2, 0, 0), size, QColor(0x60, 0x60, 0x60), 13, Qt::AlignCenter,
                     false);
}

} // namespace

QImage ContactSheet::render()
{
    const auto& entries = ArtworkTable::entries();
    const int cellHeight = pictureHeight + labelHeight;
    const int rows = (int(entries.size()) + columns - 1) / columns;
    QImage sheet(columns * cellWidth, rows * cellHeight, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter p(&sheet);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    for (int i = 0; i < int(entries.size()); ++i) {
        const QRect cell((i % columns) * cellWidth, (i / columns) * cellHeight, cellWidth, cellHeight);
        p.setPen(QColor(0xE0, 0xE0, 0xE0));
        p.drawRect(cell.adjusted(0, 0, -1, -1));
        paintCell(p, cell, entries[size_t(i)]);
    }
    p.end();
    return sheet;
}

} // namespace artwork
