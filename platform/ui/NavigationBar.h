#pragma once

#include "platform/ui/View.h"

#include <memory>
#include <vector>

namespace ui {

class Label;
class NavigationItem;

// The bar along the top of a navigation controller's view. It shows the title of its top
// item (the top controller's navigation item) and follows that title as it changes.
class NavigationBar : public View {
public:
    static constexpr double kHeight = 44;

    static std::shared_ptr<NavigationBar> create(const Rect& frame = Rect());
    ~NavigationBar() override;

    // One item per controller on the stack, the top one last.
    const std::vector<std::shared_ptr<NavigationItem>>& items() const { return m_items; }
    void setItems(std::vector<std::shared_ptr<NavigationItem>> items);
    std::shared_ptr<NavigationItem> topItem() const;

    std::shared_ptr<Label> titleLabel() const { return m_titleLabel; }

protected:
    explicit NavigationBar(const Rect& frame);
    void layoutSubviews() override;

private:
    void followTopItem();
    void stopFollowingTopItem();

    std::vector<std::shared_ptr<NavigationItem>> m_items;
    std::shared_ptr<Label> m_titleLabel;
};

} // namespace ui
