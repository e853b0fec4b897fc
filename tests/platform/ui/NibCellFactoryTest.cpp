#include "platform/ui/NibCellFactory.h"

#include "platform/core/Bundle.h"
#include "platform/core/Log.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/TableViewDataSource.h"
#include "platform/ui/TableViewDelegate.h"
#include "platform/ui/Window.h"
#include "tests/support/UiFixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace ui;

namespace {

// Rows and section headers that come only from what the table dequeues.
class Source : public TableViewDataSource, public TableViewDelegate {
public:
    int numberOfRowsInSection(TableView&, int) override { return 3; }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& table, const IndexPath&) override
    {
        return table.dequeueReusableCellWithIdentifier(QStringLiteral("row"));
    }
    std::shared_ptr<View> viewForHeaderInSection(TableView& table, int) override
    {
        return table.dequeueReusableHeaderFooterViewWithIdentifier(QStringLiteral("head"));
    }
    std::optional<double> heightForHeaderInSection(TableView&, int) override { return 30; }
};

QString labelText(const std::shared_ptr<View>& view)
{
    for (const auto& sub : view->subviews()) {
        if (auto label = std::dynamic_pointer_cast<Label>(sub))
            return label->text();
        if (const QString text = labelText(sub); !text.isEmpty())
            return text;
    }
    return {};
}

class NibCellFactoryTest : public UiFixture {
protected:
    void SetUp() override
    {
        UiFixture::SetUp();
        QDir(folder.path()).mkdir(QStringLiteral("layouts"));
        write("Cell", R"([{"class": "TableViewCell", "frame": [0, 0, 320, 44],
                          "subviews": [{"class": "Label", "frame": [10, 0, 300, 44], "properties": {"text": "from the file"}}]}])");
        write("Header", R"([{"class": "View", "frame": [0, 0, 320, 30],
                            "subviews": [{"class": "Label", "frame": [10, 0, 300, 30], "properties": {"text": "heading"}}]}])");
        write("TwoCells", R"([{"class": "TableViewCell"}, {"class": "TableViewCell"}])");
        write("PlainView", R"([{"class": "View"}])");
        core::Bundle::setResourcePath(folder.path());
        window = Window::create(Rect(0, 0, 320, 480));
        window->makeKeyAndVisible();
        table = TableView::create(Rect(0, 0, 320, 480));
        table->setDataSource(source);
        table->setDelegate(source);
        window->addSubview(table);
    }

    void TearDown() override
    {
        core::Bundle::setResourcePath(QString());
        UiFixture::TearDown();
    }

    void write(const char* name, const char* objects)
    {
        QFile file(folder.path() + QStringLiteral("/layouts/") + QLatin1String(name) + QStringLiteral(".json"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(R"({"objects": )") + objects + "}");
    }

    QTemporaryDir folder;
    std::shared_ptr<Source> source = std::make_shared<Source>();
    std::shared_ptr<Window> window;
    std::shared_ptr<TableView> table;
};

} // namespace

TEST_F(NibCellFactoryTest, RegisteredFilesBuildTheRowsAndHeadersTheTableDequeues)
{
    table->registerNib(QStringLiteral("Cell"), QStringLiteral("row"));
    table->registerNibForHeaderFooterView(QStringLiteral("Header"), QStringLiteral("head"));
    table->reloadData();
    table->layoutIfNeeded();

    const auto cells = table->visibleCells();
    ASSERT_EQ(cells.size(), 3u);
    for (const auto& cell : cells) {
        EXPECT_EQ(labelText(cell), QStringLiteral("from the file"));
        EXPECT_EQ(cell->reuseIdentifier(), QStringLiteral("row"));
    }
    EXPECT_NE(cells[0], cells[1]);   // each row has a cell of its own, built anew
    ASSERT_TRUE(table->headerViewForSection(0));
    EXPECT_EQ(labelText(table->headerViewForSection(0)), QStringLiteral("heading"));

    // A reload hands the same cells back: they were filed under the identifier they took.
    table->reloadData();
    table->layoutIfNeeded();
    const auto again = table->visibleCells();
    ASSERT_EQ(again.size(), 3u);
    for (const auto& cell : again)
        EXPECT_NE(std::find(cells.begin(), cells.end(), cell), cells.end());
}

TEST_F(NibCellFactoryTest, AFileThatIsNoSingleCellGivesNoCellAndSaysWhy)
{
    core::LogCapture log;
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"TwoCells", "exactly one object, not 2"},
        {"PlainView", "must hold a table cell"},
        {"Missing", "cannot read"},
    };
    for (const auto& [file, says] : cases) {
        SCOPED_TRACE(file);
        log.clear();
        table->registerNib(QString::fromLatin1(file), QStringLiteral("row"));
        EXPECT_FALSE(table->dequeueReusableCellWithIdentifier(QStringLiteral("row")));
        EXPECT_TRUE(log.contains(QString::fromLatin1(says))) << log.lines().join('\n').toStdString();
    }
    // A plain view is a header's kind; an empty name takes the registration back.
    table->registerNibForHeaderFooterView(QStringLiteral("PlainView"), QStringLiteral("head"));
    EXPECT_TRUE(table->dequeueReusableHeaderFooterViewWithIdentifier(QStringLiteral("head")));
    table->registerNibForHeaderFooterView(QString(), QStringLiteral("head"));
    EXPECT_FALSE(table->dequeueReusableHeaderFooterViewWithIdentifier(QStringLiteral("head")));
}
