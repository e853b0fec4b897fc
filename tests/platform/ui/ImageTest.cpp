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
        ASSERT_TRUE(dir.isValid());
        core::Bundle::setResourcePath(dir.path());
        Image::clearCache();
    }
    void TearDown() override
    {
        core::Bundle::setResourcePath(QString());
        Image::clearCache();
    }
    void writePng(const QString& fileName, int w, int h, QColor color = Qt::red)
    {
        QImage image(w, h, QImage::Format_ARGB32);
        image.fill(color);
        ASSERT_TRUE(image.save(dir.filePath(fileName), "PNG"));
    }
    QTemporaryDir dir;
};

TEST_F(ImageTest, NamedLookupWithOrWithoutTheExtension)
{
    writePng("back_btn.png", 60, 44);
    for (const QString name : {"back_btn", "back_btn.png"}) {
        const Image image = Image::named(name);
        ASSERT_FALSE(image.isNull()) << name.toStdString();
        EXPECT_EQ(image.pixelSize(), Size(60, 44));
        EXPECT_EQ(image.size(), Size(60, 44));
        EXPECT_EQ(image.name(), name);
    }
}

TEST_F(ImageTest, LookupsAreCachedUntilCleared)
{
    writePng("tile.png", 10, 10);
    const Image first = Image::named("tile");
    writePng("tile.png", 20, 20);
    EXPECT_EQ(Image::named("tile").pixelSize(), Size(10, 10));
    Image::clearCache();
    EXPECT_EQ(Image::named("tile").pixelSize(), Size(20, 20));
    EXPECT_EQ(first.pixelSize(), Size(10, 10));
}

TEST_F(ImageTest, AnotherResourceFolderGivesItsOwnImageOfTheSameName)
{
    writePng("tile.png", 10, 10);
    ASSERT_EQ(Image::named("tile").pixelSize(), Size(10, 10));
    QTemporaryDir other;
    QImage(30, 30, QImage::Format_ARGB32).save(other.filePath("tile.png"), "PNG");
    core::Bundle::setResourcePath(other.path());
    EXPECT_EQ(Image::named("tile").pixelSize(), Size(30, 30));
    core::Bundle::setResourcePath(dir.path());
    EXPECT_EQ(Image::named("tile").pixelSize(), Size(10, 10));
}

TEST_F(ImageTest, MissingImageIsZeroSizedAndLogsOneLine)
{
    core::LogCapture log;
    const Image missing = Image::named("no_such_image");
    EXPECT_TRUE(missing.isNull());
    EXPECT_EQ(missing.size(), Size(0, 0));
    EXPECT_EQ(missing.pixelSize(), Size(0, 0));
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(log.contains("no_such_image"));

    // A file that is not an image counts as missing.
    QFile junk(dir.filePath("junk.png"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a png");
    junk.close();
    EXPECT_TRUE(Image::named("junk").isNull());
    EXPECT_EQ(log.lines().size(), 2);
}

TEST_F(ImageTest, ScaleDividesThePixelSize)
{
    QImage pixels(90, 30, QImage::Format_ARGB32);
    pixels.fill(Qt::blue);
    const Image image = Image::fromQImage(pixels, 2);
    EXPECT_EQ(image.pixelSize(), Size(90, 30));
    EXPECT_EQ(image.size(), Size(45, 15));
    EXPECT_EQ(image, Image::fromQImage(pixels, 2));
    EXPECT_FALSE(image == Image::fromQImage(pixels, 1));
}

} // namespace
