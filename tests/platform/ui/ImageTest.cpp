#include "platform/ui/Image.h"

#include "platform/core/Bundle.h"
#include "platform/core/Log.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ui;

namespace {

class ImageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        core::Bundle::setResourcePath(dir.path());
        Image::clearCache();
    }
    void TearDown() override
    {
        core::Bundle::setResourcePath(QString());
        Image::clearCache();
    }
    static void writePng(const QString& path, int side)
    {
        QImage image(side, side, QImage::Format_ARGB32);
        image.fill(Qt::red);
        ASSERT_TRUE(image.save(path, "PNG"));
    }
    QTemporaryDir dir;
};

TEST_F(ImageTest, NamedImagesAreCachedPerResourceFolderUntilCleared)
{
    writePng(dir.filePath("tile.png"), 10);
    EXPECT_EQ(Image::named("tile.png").pixelSize(), Size(10, 10));   // with or without the extension
    writePng(dir.filePath("tile.png"), 20);
    EXPECT_EQ(Image::named("tile").pixelSize(), Size(10, 10));

    QTemporaryDir other;
    writePng(other.filePath("tile.png"), 30);
    core::Bundle::setResourcePath(other.path());
    EXPECT_EQ(Image::named("tile").pixelSize(), Size(30, 30));
    core::Bundle::setResourcePath(dir.path());
    EXPECT_EQ(Image::named("tile").pixelSize(), Size(10, 10));
    Image::clearCache();
    EXPECT_EQ(Image::named("tile").pixelSize(), Size(20, 20));
}

TEST_F(ImageTest, AMissingOrBrokenImageIsEmptyAndLogsOneLine)
{
    core::LogCapture log;
    EXPECT_EQ(Image::named("no_such_image").size(), Size(0, 0));
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(log.contains("no_such_image"));
    QFile junk(dir.filePath("junk.png"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a png");
    junk.close();
    EXPECT_TRUE(Image::named("junk").isNull());
    EXPECT_EQ(log.lines().size(), 2);

    // An image's scale divides its pixel size.
    QImage pixels(90, 30, QImage::Format_ARGB32);
    pixels.fill(Qt::blue);
    EXPECT_EQ(Image::fromQImage(pixels, 2).size(), Size(45, 15));
}

} // namespace
