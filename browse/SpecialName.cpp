#include "browse/SpecialName.h"

std::shared_ptr<SpecialName> SpecialName::create()
{
    return std::shared_ptr<SpecialName>(new SpecialName());
}

SpecialName::SpecialName()
    : RowTagged(ui::Rect())
{
}
