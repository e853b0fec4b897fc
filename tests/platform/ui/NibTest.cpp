#include "platform/ui/Nib.h"

#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/NibBindings.h"
#include "platform/ui/NibOwner.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/TextField.h"
#include "platform/ui/WebView.h"
#include "tests/support/UiFixture.h"


using namespace ui;

namespace {

// A screen as the notes screens are: outlets for its views and a back action.
class ScreenOwner : public NibOwner {
public:
    std::shared_ptr<View> view;
    std::shared_ptr<TableView> dirList;
    std::shared_ptr<Label> ctitle;
    std::shared_ptr<WebView> webView;
    int backClicks = 0;

    void bindNib(NibBindings& b) override
    {
        b.outlet("view", view).outlet("dirList", dirList).outlet("ctitle", ctitle).outlet("webView", webView);
        b.action("backClick", [this](const std::shared_ptr<Control>&) { ++backClicks; });
    }
};

// A table cell class of the app, with its own outlet.
class TitledCell : public TableViewCell, public NibOwner {
public:
    static std::shared_ptr<TitledCell> create() { return std::shared_ptr<TitledCell>(new TitledCell()); }
    std::shared_ptr<Label> title;
    void bindNib(NibBindings& b) override { b.outlet("title", title); }

protected:
    TitledCell() : TableViewCell(TableViewCellStyle::Default, QString()) {}
};

class NibTest : public UiFixture {
protected:
    void SetUp() override
    {
        UiFixture::SetUp();
        Nib::registerClass("NodeDir", [] { return TitledCell::create(); });
        Nib::registerClass("ChapterNote", [] { return TitledCell::create(); });
    }

    std::shared_ptr<ScreenOwner> owner = std::make_shared<ScreenOwner>();
};

} // namespace

TEST_F(NibTest, TheNotesScreensBindTheirViewsAndBackAction)
{
    for (const char* name : {"NoteDirView", "ShowNote"}) {
        auto screen = std::make_shared<ScreenOwner>();
        const Nib::Result result = Nib::load(name, screen);
        ASSERT_TRUE(result.ok()) << result.error.toStdString();
        ASSERT_EQ(result.topLevelObjects, std::vector<std::shared_ptr<View>>{screen->view}) << name;
        const std::vector<std::shared_ptr<View>> parts = name == QLatin1String("ShowNote")
            ? std::vector<std::shared_ptr<View>>{screen->ctitle, screen->webView}
            : std::vector<std::shared_ptr<View>>{screen->dirList};
        for (const auto& part : parts)
            EXPECT_TRUE(part && part->isDescendantOfView(screen->view.get()) && !part->frame().isEmpty()) << name;
        std::shared_ptr<Button> back;   // the first button
        for (const auto& sub : screen->view->subviews())
            back = back ? back : std::dynamic_pointer_cast<Button>(sub);
        ASSERT_TRUE(back) << name;
        back->sendActionsForControlEvents(ControlEvent::TouchUpInside);
        EXPECT_EQ(screen->backClicks, 1) << name;
    }

    // Each cell file ends with its cell and its title label, loaded with the screen as owner.
    for (const char* name : {"NodeDir", "ChapterNote"}) {
        const Nib::Result result = Nib::load(name, owner);   // loaded with the screen as owner
        ASSERT_TRUE(result.ok()) << result.error.toStdString();
        auto cell = std::dynamic_pointer_cast<TitledCell>(result.topLevelObjects.back());
        ASSERT_TRUE(cell) << name;
        ASSERT_TRUE(cell->title) << name;
        EXPECT_EQ(cell->title->superview(), cell->contentView()) << name;
        EXPECT_FALSE(owner->view) << name;   // the screen's outlets are not touched
    }
}

TEST_F(NibTest, EveryFaultIsAMessageSayingWhatAndWhere)
{
    const std::pair<const char*, const char*> cases[] = {   // the file, what the message says
        {R"({"objects": [{"class": "View", "id": "v"}], "owner": {"outlets": {"view": "v", "gadget": "v"}}})",
         "the owner has no outlet \"gadget\" (at owner)"},
        {R"({"objects": [{"class": "View", "subviews": [{"class": "Gadget"}]}]})",
         "unknown class \"Gadget\" (at objects[0].subviews[0])"},
        {R"({"objects": [{"class": "Label", "properties": {"colour": "#FF0000"}}]})",
         "unknown property \"colour\" (at objects[0])"},
        {R"({"objects": [{"class": "View", "properties": {"backgroundColor": "red"}}]})",
         "property \"backgroundColor\" expects a colour (at objects[0])"},
        {R"({"objects": [{"class": "Button", "actions": {"touchUpInside": "frontClick"}}]})",
         "the owner has no action \"frontClick\" (at objects[0])"},
        {R"({"objects": [{"class": "Label", "actions": {"touchUpInside": "backClick"}}]})",
         "class \"Label\" is no control and sends no actions"},
        {R"({"objects": [{"class": "Label", "id": "t"}], "owner": {"outlets": {"dirList": "t"}}})",
         "outlet \"dirList\" of the owner cannot hold a \"Label\" (at owner)"},
        {R"({"objects": [{"class": "View", "id": "a", "subviews": [{"class": "View", "id": "a"}]}]})",
         "the id \"a\" is used twice (at objects[0])"},
        {R"({"objects": [{"class": "View", "subview": []}]})", "unknown key \"subview\" (at objects[0])"},
        {R"({"objects": [)", "not JSON"},
    };
    for (const auto& [json, message] : cases) {
        auto fresh = std::make_shared<ScreenOwner>();
        const Nib::Result result = Nib::loadData(json, fresh, "sample");
        EXPECT_FALSE(result.ok()) << json;
        EXPECT_TRUE(result.error.startsWith("layout \"sample\": ")) << result.error.toStdString();
        EXPECT_TRUE(result.error.contains(QString::fromUtf8(message))) << result.error.toStdString();
        EXPECT_FALSE(fresh->view || fresh->ctitle || fresh->dirList) << json;
    }
    EXPECT_EQ(Nib::load("NoSuchLayout").error.left(31), "layout \"NoSuchLayout\": cannot r");
}

TEST_F(NibTest, PropertiesAndFramesAreSet)
{
    const QByteArray file = R"({"objects": [
        {"class": "TextField", "frame": [1, 2, 30, 40],
         "properties": {"placeholder": "请输入账号", "secureTextEntry": true, "borderStyle": "roundedRect",
                        "font": {"size": 14, "bold": true}, "textAlignment": "center", "tag": 7,
                        "backgroundColor": "#FF000080"}},
        {"class": "Label", "properties": {"text": "备考专区", "numberOfLines": 0, "font": 12}}]})";
    auto result = Nib::loadData(file, nullptr);
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    auto field = std::dynamic_pointer_cast<TextField>(result.topLevelObjects.at(0));
    auto label = std::dynamic_pointer_cast<Label>(result.topLevelObjects.at(1));
    ASSERT_TRUE(field && label);
    EXPECT_EQ(field->frame(), Rect(1, 2, 30, 40));
    EXPECT_EQ(field->placeholder(), QStringLiteral("请输入账号"));
    EXPECT_TRUE(field->isSecureTextEntry() && field->borderStyle() == TextBorderStyle::RoundedRect);
    EXPECT_EQ(field->font(), Font::boldSystemFont(14));
    EXPECT_EQ(field->textAlignment(), TextAlignment::Center);
    EXPECT_NEAR(field->backgroundColor().alpha(), 128 / 255.0, 1e-9);
    EXPECT_EQ(label->numberOfLines(), 0);
    EXPECT_EQ(label->font(), Font::systemFont(12));
}
