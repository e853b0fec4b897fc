#include "shell/ExpadabelTableView.h"

#include "shell/ExpadabelTableViewDelegate.h"
#include "shell/HeadView.h"

std::shared_ptr<ExpadabelTableView> ExpadabelTableView::create(const ui::Rect& frame)
{
    return std::shared_ptr<ExpadabelTableView>(new ExpadabelTableView(frame));
}

ExpadabelTableView::ExpadabelTableView(const ui::Rect& frame)
    : ui::TableView(frame, ui::TableViewStyle::Plain)
{
}

void ExpadabelTableView::selectedWith(const std::shared_ptr<HeadView>& head)
{
    m_headview = head;
    auto delegate = m_expadabledelegate.lock();
    if (!delegate)
        return;
    auto self = std::static_pointer_cast<ExpadabelTableView>(shared_from_this());
    delegate->replaseTable(*self, head);
}
