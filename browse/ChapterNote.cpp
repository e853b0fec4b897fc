#include "browse/ChapterNote.h"

#include "platform/ui/Label.h"
#include "platform/ui/NibBindings.h"

std::shared_ptr<ChapterNote> ChapterNote::create()
{
    return std::shared_ptr<ChapterNote>(new ChapterNote());
}

ChapterNote::ChapterNote()
    : ui::TableViewCell(ui::TableViewCellStyle::Default, QString())
{
}

void ChapterNote::bindNib(ui::NibBindings& bindings)
{
    bindings.outlet(QStringLiteral("title"), m_title);
}
