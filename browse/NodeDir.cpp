#include "browse/NodeDir.h"

#include "platform/ui/Label.h"
#include "platform/ui/NibBindings.h"

std::shared_ptr<NodeDir> NodeDir::create()
{
    return std::shared_ptr<NodeDir>(new NodeDir());
}

NodeDir::NodeDir()
    : ui::TableViewCell(ui::TableViewCellStyle::Default, QString())
{
}

void NodeDir::bindNib(ui::NibBindings& bindings)
{
    bindings.outlet(QStringLiteral("title"), m_title);
}
