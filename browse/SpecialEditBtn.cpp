#include "browse/SpecialEditBtn.h"

std::shared_ptr<SpecialEditBtn> SpecialEditBtn::create()
{
    return std::shared_ptr<SpecialEditBtn>(new SpecialEditBtn());
}

SpecialEditBtn::SpecialEditBtn()
    : RowTagged(ui::ButtonType::Custom, ui::Rect())
{
}
