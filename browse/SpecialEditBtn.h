#pragma once

#include "browse/RowTag.h"
#include "platform/ui/Button.h"

#include <memory>

// A tree row's start button, carrying its row's tag.
class SpecialEditBtn : public RowTagged<ui::Button> {
public:
    static std::shared_ptr<SpecialEditBtn> create();

protected:
    SpecialEditBtn();
};
