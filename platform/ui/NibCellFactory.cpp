#include "platform/ui/NibCellFactory.h"

#include "platform/core/Log.h"
#include "platform/ui/Nib.h"
#include "platform/ui/TableViewCell.h"

namespace ui {

namespace {

std::shared_ptr<View> loadSingle(const QString& layoutName, const char* kind)
{
    const Nib::Result result = Nib::load(layoutName);
    if (!result) {
        core::log(QStringLiteral("Nib"), result.error);
        return nullptr;
    }
    if (result.topLevelObjects.size() != 1) {
        core::log(QStringLiteral("Nib"), QStringLiteral("layout \"%1\": a registered %2 file must hold exactly one object, not %3")
                                             .arg(layoutName, QLatin1String(kind))
                                             .arg(result.topLevelObjects.size()));
        return nullptr;
    }
    return result.topLevelObjects.front();
}

} // namespace

TableView::CellFactory NibCellFactory::cell(const QString& layoutName)
{
    if (layoutName.isEmpty())
        return nullptr;
    return [layoutName](const QString&) -> std::shared_ptr<TableViewCell> {
        auto view = loadSingle(layoutName, "cell");
        auto cell = std::dynamic_pointer_cast<TableViewCell>(view);
        if (view && !cell)
            core::log(QStringLiteral("Nib"), QStringLiteral("layout \"%1\": a registered cell file must hold a table cell").arg(layoutName));
        return cell;
    };
}

TableView::ViewFactory NibCellFactory::headerFooterView(const QString& layoutName)
{
    if (layoutName.isEmpty())
        return nullptr;
    return [layoutName](const QString&) { return loadSingle(layoutName, "header or footer"); };
}

} // namespace ui
