#pragma once

#include "appbase/ChromeViewController.h"

#include <memory>

namespace ui {
class Control;
}

// The feedback menu "反馈与评分": the feedback button opens the form; the rating button below
// it has no action.
class FeedAndScroooViewController : public ChromeViewController {
public:
    static std::shared_ptr<FeedAndScroooViewController> create();

    void feedClick(const std::shared_ptr<ui::Control>& sender);

protected:
    FeedAndScroooViewController();

    void viewDidLoad() override;
};
