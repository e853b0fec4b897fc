// A tree view built from a layout file, with rows and headers from registered layout files.
#include "components/tree/TreeView.h"

#include "components/tree/TreeNodeInfo.h"
#include "components/tree/TreeViewDataSource.h"
#include "platform/core/Bundle.h"
#include "platform/ui/Label.h"
#include "platform/ui/Nib.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/TouchInjector.h"
#include "platform/ui/Window.h"
#include "support/OutlineSource.h"
#include "tests/support/UiFixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

std::shared_ptr<ui::Label> labelIn(const std::shared_ptr<ui::View>& view)
{
    for (const auto& sub : view->subviews()) {
        if (auto label = std::dynamic_pointer_cast<ui::Label>(sub))
            return label;
        if (auto label = labelIn(sub))
            return label;
    }
    return nullptr;
}

// Rows come from the registered file, named by the item.
class FileRowSource : public TreeViewDataSource {
public:
    FileRowSource() : m_outline({{"A", false, {{"A1"}, {"A2"}}}, {"B"}}), m_source(m_outline.source()) {}

    long numberOfChildrenOfItem(TreeView&, const std::shared_ptr<TreeItem>& item) override { return m_source.numberOfChildren(item); }
    std::shared_ptr<TreeItem> child(TreeView&, long index, const std::shared_ptr<TreeItem>& item) override
    {
        return m_source.child(index, item);
    }
    std::shared_ptr<ui::TableViewCell> cellForItem(TreeView& tree, const std::shared_ptr<TreeItem>& item,
                                                   const std::shared_ptr<TreeNodeInfo>&) override
    {
        auto cell = tree.dequeueReusableCellWithIdentifier(QStringLiteral("row"));
        if (cell)
            labelIn(cell)->setText(QString::fromStdString(nameOf(item)));
        return cell;
    }
    std::shared_ptr<TreeItem> item(const std::string& name) const { return m_outline.item(name); }

private:
    OutlineSource m_outline;
    TreeNodeCollectionController::Source m_source;
};

class TreeViewLayoutFileTest : public UiFixture {
protected:
    void SetUp() override
    {
        UiFixture::SetUp();
        QDir(folder.path()).mkdir(QStringLiteral("layouts"));
        write("Tree", R"({"objects": [{"class": "TreeView", "frame": [0, 95, 320, 385]}]})");
        write("Row", R"({"objects": [{"class": "TableViewCell", "frame": [0, 0, 320, 44],
            "subviews": [{"class": "Label", "frame": [10, 0, 300, 44]}]}]})");
        write("Heading", R"({"objects": [{"class": "View", "frame": [0, 0, 320, 30],
            "subviews": [{"class": "Label", "frame": [10, 0, 300, 30], "properties": {"text": "Chapters"}}]}]})");
        core::Bundle::setResourcePath(folder.path());
        TreeView::registerLayoutClass();
    }
    void TearDown() override
    {
        core::Bundle::setResourcePath(QString());
        UiFixture::TearDown();
    }

    void write(const char* name, const char* json)
    {
        QFile file(folder.path() + QStringLiteral("/layouts/") + QLatin1String(name) + QStringLiteral(".json"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(json);
    }

    std::vector<std::string> shownRows(TreeView& tree)
    {
        std::vector<std::string> rows;
        for (const auto& cell : tree.visibleCells()) {
            const auto label = labelIn(cell);
            rows.push_back(label ? label->text().toStdString() : "(not from the file)");
        }
        return rows;
    }

    QTemporaryDir folder;
};

} // namespace

TEST_F(TreeViewLayoutFileTest, ATreeFromAFileFillsItsFrameAndShowsRowsFromARegisteredFile)
{
    const auto result = ui::Nib::load(QStringLiteral("Tree"));
    ASSERT_TRUE(result) << result.error.toStdString();
    const auto treeView = std::dynamic_pointer_cast<TreeView>(result.topLevelObjects.front());
    ASSERT_TRUE(treeView);
    auto& tree = *treeView;
    EXPECT_EQ(tree.frame(), ui::Rect(0, 95, 320, 385));
    EXPECT_EQ(tree.subviews().front()->frame(), ui::Rect(0, 0, 320, 385));   // its table

    auto source = std::make_shared<FileRowSource>();
    tree.setDataSource(source);
    tree.registerNib(QStringLiteral("Row"), QStringLiteral("row"));
    auto window = ui::Window::create(ui::Rect(0, 0, 320, 480));
    window->addSubview(treeView);
    window->makeKeyAndVisible();
    tree.reloadData();
    window->layoutIfNeeded();
    EXPECT_EQ(shownRows(tree), names({"A", "B"}));
    EXPECT_EQ(tree.visibleCells().front()->reuseIdentifier(), QStringLiteral("row"));

    ASSERT_TRUE(ui::TouchInjector::tap(*tree.cellForItem(source->item("A"))));
    step(1);
    window->layoutIfNeeded();
    EXPECT_EQ(shownRows(tree), names({"A", "A1", "A2", "B"}));

    tree.registerNibForHeaderFooterView(QStringLiteral("Heading"), QStringLiteral("heading"));
    const auto heading = tree.dequeueReusableHeaderFooterViewWithIdentifier(QStringLiteral("heading"));
    ASSERT_TRUE(heading);
    EXPECT_EQ(labelIn(heading)->text(), QStringLiteral("Chapters"));
}
