#include "browse/NoteLayoutClasses.h"

#include "browse/ChapterNote.h"
#include "browse/NodeDir.h"
#include "platform/ui/Nib.h"

void NoteLayoutClasses::registerAll()
{
    ui::Nib::registerClass(QStringLiteral("NodeDir"), [] { return NodeDir::create(); });
    ui::Nib::registerClass(QStringLiteral("ChapterNote"), [] { return ChapterNote::create(); });
}
