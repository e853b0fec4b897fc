#pragma once

#include "platform/ui/NibOwner.h"
#include "platform/ui/TableViewCell.h"

#include <memory>

namespace ui {
class Label;
}

// A chapter row of the notes directory: the chapter's name. Its look comes from the layout file "ChapterNote".
class ChapterNote : public ui::TableViewCell, public ui::NibOwner {
public:
    static std::shared_ptr<ChapterNote> create();

    std::shared_ptr<ui::Label> title() const { return m_title; }
    void setTitle(const std::shared_ptr<ui::Label>& title) { m_title = title; }

    void bindNib(ui::NibBindings& bindings) override;

protected:
    ChapterNote();

private:
    std::shared_ptr<ui::Label> m_title;
};
