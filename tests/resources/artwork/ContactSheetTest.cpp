#include "resources/artwork/ContactSheet.h"

#include "resources/ArtworkTable.h"

#include <QSet>

#include <gtest/gtest.h>

using namespace artwork;

// Every image gets a cell, and no cell's picture area is left empty.
TEST(ContactSheet, ShowsEveryImageInItsOwnCell)
{
    const QImage sheet = ContactSheet::render();
    const int count = int(ArtworkTable::entries().size());
    const int cellHeight = ContactSheet::pictureHeight + ContactSheet::labelHeight;
    const int rows = (count + ContactSheet::columns - 1) / ContactSheet::columns;
    ASSERT_EQ(sheet.width(), ContactSheet::columns * ContactSheet::cellWidth);
    ASSERT_EQ(sheet.height(), rows * cellHeight);
    for (int i = 0; i < count; ++i) {
        const QRect picture((i % ContactSheet::columns) * ContactSheet::cellWidth + 8, (i / ContactSheet::columns) * cellHeight + 8,
                            ContactSheet::cellWidth - 16, ContactSheet::pictureHeight - 16);
        QSet<QRgb> colours;
        for (int y = picture.top(); y <= picture.bottom() && colours.size() < 3; y += 3) {
            for (int x = picture.left(); x <= picture.right() && colours.size() < 3; x += 3)
                colours.insert(sheet.pixel(x, y));
        }
        EXPECT_GE(colours.size(), 3) << ArtworkTable::entries()[size_t(i)].name.toStdString();
    }
}
