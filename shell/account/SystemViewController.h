#pragma once

#include "appbase/ChromeViewController.h"

#include <memory>

namespace ui {
class Control;
class Label;
}

// The settings menu "系统设置": four stacked image buttons (account information, practice
// settings, style, feedback), the version line and sign-out.
class SystemViewController : public ChromeViewController {
public:
    static std::shared_ptr<SystemViewController> create();

    void accountClick(const std::shared_ptr<ui::Control>& sender);
    void noticeClick(const std::shared_ptr<ui::Control>& sender);
    void styleClick(const std::shared_ptr<ui::Control>& sender);
    void feedBackClick(const std::shared_ptr<ui::Control>& sender);
    // Signs out without saving: the store keeps the old account until the next save.
    void loginOutClick(const std::shared_ptr<ui::Control>& sender);

    std::shared_ptr<ui::Label> versionLabel() const { return m_versionLabel.lock(); }

protected:
    SystemViewController();

    void viewDidLoad() override;

private:
    using Action = void (SystemViewController::*)(const std::shared_ptr<ui::Control>&);

    // Adds a centred menu button with its top at y; returns its bottom.
    double addMenuButton(const QString& image, const QString& caption, double y, Action action);
    void addVersion(double y);

    std::weak_ptr<ui::Label> m_versionLabel;
};
