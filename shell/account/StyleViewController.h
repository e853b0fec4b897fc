#pragma once

#include "appbase/ChromeViewController.h"
#include "platform/ui/Geometry.h"

#include <memory>

class StyleViewControllerDelegate;
namespace ui {
class Control;
}

// "风格设置": the four home backgrounds as a two-by-two grid; a tap sets that style, tells the
// delegate (the home screen) and closes. Nothing is saved here.
class StyleViewController : public ChromeViewController {
public:
    static std::shared_ptr<StyleViewController> create();

    std::shared_ptr<StyleViewControllerDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<StyleViewControllerDelegate>& delegate) { m_delegate = delegate; }

    void style1Clcik(const std::shared_ptr<ui::Control>& sender);
    void style2Clcik(const std::shared_ptr<ui::Control>& sender);
    void style3Clcik(const std::shared_ptr<ui::Control>& sender);
    void style4Clcik(const std::shared_ptr<ui::Control>& sender);

protected:
    StyleViewController();

    void viewDidLoad() override;
    void releaseReferences() override;

private:
    using Action = void (StyleViewController::*)(const std::shared_ptr<ui::Control>&);

    void addThumbnail(int style, const ui::Rect& frame, Action action);
    void choose(int style);

    std::weak_ptr<StyleViewControllerDelegate> m_delegate;
};
