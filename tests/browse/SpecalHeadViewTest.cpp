#include "browse/SpecalHeadView.h"

#include "appbase/CommonUtil.h"
#include "browse/SpecialEditBtn.h"
#include "browse/SpecialName.h"
#include "browse/SpecialRowControls.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "tests/support/AppTest.h"

#include <QJsonObject>

namespace {

using SpecalHeadViewTest = AppTest;

TEST_F(SpecalHeadViewTest, ConnectorSetsTheRowsSizeAndSwapsWithTheState)
{
    const QString normal = CommonUtil::getImageName("special_scroll_04", ".png");
    const QString expanded = CommonUtil::getImageName("special_scroll_05", ".png");
    auto row = SpecalHeadView::create();
    row->setFrame(ui::Rect(5, 7, 1, 1));
    row->initheadView(normal, expanded);

    const ui::Size size = CommonUtil::scaledSize(ui::Image::named(normal), CommonUtil::getScaleX());
    ASSERT_GT(size.width, 0);
    EXPECT_TRUE(sameRect(row->frame(), ui::Rect(0, 0, size.width, size.height)));
    EXPECT_EQ(row->subviews().front(), row->headView()) << "the connector lies under the controls";

    row->setExpand();
    EXPECT_EQ(row->headView()->image().name(), expanded);
    row->setFrame(ui::Rect(3, 3, 3, 3));
    row->setColl();
    EXPECT_EQ(row->headView()->image().name(), normal);
    EXPECT_TRUE(sameRect(row->frame(), ui::Rect(0, 0, size.width, size.height)));

    auto missing = SpecalHeadView::create();
    missing->initheadView("no_such_image.png", "no_such_image.png");
    EXPECT_TRUE(sameRect(missing->frame(), ui::Rect()));
}

TEST_F(SpecalHeadViewTest, EachControlOwnsItsOwnTags)
{
    auto button = SpecialEditBtn::create();
    auto other = SpecialEditBtn::create();
    auto name = SpecialName::create();
    EXPECT_FALSE(button->data() || button->code() || button->editType());

    QJsonObject record{{"code", "N1"}, {"name", "节"}};
    SpecialRowControls::tag(*button, record, QStringLiteral("K1"), QStringLiteral("2"));
    record.insert("code", "changed");
    EXPECT_EQ(button->data()->value("code"), "N1") << "the tag is the button's own copy";
    EXPECT_EQ(button->code(), QString("K1"));
    EXPECT_EQ(button->editType(), QString("2"));
    EXPECT_FALSE(other->data() || other->code() || other->editType());
    EXPECT_FALSE(name->data() || name->code() || name->editType());

    SpecialRowControls::tag(*name, record, std::nullopt, QStringLiteral("0"));
    EXPECT_FALSE(name->code());
    EXPECT_EQ(button->editType(), QString("2"));
}

TEST_F(SpecalHeadViewTest, NameIsMeasuredInItsOwnFontAndNeverGetsANegativeWidth)
{
    auto name = SpecialName::create();
    // Latin letters come out wider in bold than in the plain font.
    const QString text = QStringLiteral("Hello world mmm 2024");
    name->setText(text);
    const double countX = 10000;
    SpecialRowControls::layoutName(*name, countX);
    EXPECT_EQ(name->font(), ui::Font::boldSystemFont(14));
    EXPECT_EQ(name->visibleLines(), QStringList{text}) << "the whole name on one line, nothing cut";
    EXPECT_GE(name->frame().width(), ui::Font::boldSystemFont(14).widthOfText(text));

    // A count label left of where names start leaves the name no room.
    SpecialRowControls::layoutName(*name, 10);
    EXPECT_EQ(name->frame().width(), 0);
    EXPECT_EQ(name->frame().x(), SpecialRowControls::alongX(60));
}

} // namespace
