#pragma once

#include "browse/RowTag.h"
#include "platform/ui/Label.h"

#include <memory>

// A tree row's name label; like the start button it carries its row's tag.
class SpecialName : public RowTagged<ui::Label> {
public:
    static std::shared_ptr<SpecialName> create();

protected:
    SpecialName();
};
