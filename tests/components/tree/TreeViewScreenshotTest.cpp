#include "components/tree/TreeView.h"

#include "platform/ui/Layer.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/TouchInjector.h"
#include "platform/ui/Window.h"
#include "support/OutlineDataSource.h"
#include "support/RecordingTreeDelegate.h"
#include "tests/support/PixelProbe.h"
#include "tests/support/Screenshot.h"
#include "tests/support/UiFixture.h"

#include <QImage>

using TreeViewScreenshotTest = UiFixture;

// A three-level tree with its first directory and first chapter opened by taps, drawn to
// a PNG for people to look at.
TEST_F(TreeViewScreenshotTest, ThreeLevelsPartlyExpanded)
{
    const auto window = ui::Window::create(ui::Rect(0, 0, 375, 667));
    window->setBackgroundColor(ui::Color::white());
    const auto source = std::make_shared<OutlineDataSource>(std::vector<Outline> {
        { "Directory 1", false, {
            { "Chapter 1.1", false, { { "Node 1.1.1" }, { "Node 1.1.2" } } },
            { "Chapter 1.2", false, { { "Node 1.2.1" } } } } },
        { "Directory 2", false, { { "Chapter 2.1", false, { { "Node 2.1.1" } } } } },
        { "Directory 3", false, { { "Chapter 3.1" } } },
    });
    const auto delegate = std::make_shared<RecordingTreeDelegate>();
    const auto tree = TreeView::create(ui::Rect(0, 40, 375, 627));
    tree->setDataSource(source);
    tree->setDelegate(delegate);
    window->addSubview(tree);
    window->makeKeyAndVisible();
    tree->reloadData();
    for (const char* name : { "Directory 1", "Chapter 1.1" }) {
        window->layoutIfNeeded();
        const auto cell = tree->cellForItem(source->item(name));
        ASSERT_TRUE(cell) << name;
        ui::TouchInjector::tap(*cell);
        step(1);
    }
    tree->deselectRowForItem(source->item("Chapter 1.1"), false);
    window->layoutIfNeeded();
    ASSERT_EQ(tree->numberOfRows(), 7);

    const QImage image = ui::Renderer::render(*window->layer(), window->bounds().size, 2);
    EXPECT_GT(pixels::distinctColours(image, QRect(0, 0, 600, 800)), 2) << "the rows drew nothing";
    EXPECT_TRUE(screenshot::save(image, QStringLiteral("tree-partly-expanded")));
}
