#pragma once

#include "platform/ui/NibOwner.h"
#include "platform/ui/TableViewCell.h"

#include <memory>

namespace ui {
class Label;
}

// The directory row of the notes directory: the directory's name. Its look comes from the layout file "NodeDir".
class NodeDir : public ui::TableViewCell, public ui::NibOwner {
public:
    static std::shared_ptr<NodeDir> create();

    std::shared_ptr<ui::Label> title() const { return m_title; }
    void setTitle(const std::shared_ptr<ui::Label>& title) { m_title = title; }

    void bindNib(ui::NibBindings& bindings) override;

protected:
    NodeDir();

private:
    std::shared_ptr<ui::Label> m_title;
};
