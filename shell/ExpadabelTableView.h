#pragma once

#include "platform/ui/TableView.h"
#include "shell/HeadViewDelegate.h"

#include <memory>
#include <vector>

class ExpadabelTableViewDelegate;
class HeadView;

// The accordion's table: it owns the group heads, one per section, and remembers the head
// tapped last.
class ExpadabelTableView : public ui::TableView, public HeadViewDelegate {
public:
    static std::shared_ptr<ExpadabelTableView> create(const ui::Rect& frame);

    void selectedWith(const std::shared_ptr<HeadView>& head) override;

    std::shared_ptr<ExpadabelTableViewDelegate> expadabledelegate() const { return m_expadabledelegate.lock(); }
    void setExpadabledelegate(const std::shared_ptr<ExpadabelTableViewDelegate>& delegate)
    {
        m_expadabledelegate = delegate;
    }
    std::vector<std::shared_ptr<HeadView>>& heads() { return m_heads; }
    const std::vector<std::shared_ptr<HeadView>>& heads() const { return m_heads; }
    std::shared_ptr<HeadView> headview() const { return m_headview; }

protected:
    explicit ExpadabelTableView(const ui::Rect& frame);

private:
    std::weak_ptr<ExpadabelTableViewDelegate> m_expadabledelegate;
    std::vector<std::shared_ptr<HeadView>> m_heads;
    std::shared_ptr<HeadView> m_headview;
};
