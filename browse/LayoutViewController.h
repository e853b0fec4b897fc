#pragma once

#include "platform/ui/NibOwner.h"
#include "platform/ui/ViewController.h"

#include <QString>
#include <memory>

namespace ui {
class Button;
class Control;
}

// A screen whose views come from a layout file of the same name: the file's root view becomes
// the screen's view, and its back control (action "backClick") dismisses the screen. A file
// that cannot be loaded leaves a plain view and a log line, never a crash.
class LayoutViewController : public ui::ViewController, public ui::NibOwner {
public:
    static constexpr const char* kBackCaption = "返回";

    void bindNib(ui::NibBindings& bindings) override;
    // Dismisses the screen and nothing else: what it holds stays set.
    void backClick(const std::shared_ptr<ui::Control>& sender);

    // The back control found in the layout (labelled kBackCaption); null when none loaded.
    std::shared_ptr<ui::Button> backButton() const { return m_backButton; }
    // Why the layout did not load; empty when it did.
    QString layoutError() const { return m_layoutError; }

protected:
    explicit LayoutViewController(QString layoutName);

    void loadView() override;
    // The screen's own outlets besides "view".
    virtual void bindOutlets(ui::NibBindings& bindings) = 0;

private:
    void findBackButton();

    QString m_layoutName;
    QString m_layoutError;
    std::shared_ptr<ui::View> m_root;
    std::shared_ptr<ui::Button> m_backButton;
};
