#pragma once

#include "appbase/ChromeViewController.h"

#include <memory>

namespace ui {
class Label;
}

// "账号信息": the signed-in account's name and password, in clear, on a panel. Read once, when
// the view loads.
class AccountInfoViewController : public ChromeViewController {
public:
    static std::shared_ptr<AccountInfoViewController> create();

    std::shared_ptr<ui::Label> nameLabel() const { return m_nameLabel.lock(); }
    std::shared_ptr<ui::Label> pwdLabel() const { return m_pwdLabel.lock(); }

protected:
    AccountInfoViewController();

    void viewDidLoad() override;

private:
    std::shared_ptr<ui::Label> addLine(double x, double y);

    std::weak_ptr<ui::Label> m_nameLabel;
    std::weak_ptr<ui::Label> m_pwdLabel;
};
