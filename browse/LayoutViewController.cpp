#include "browse/LayoutViewController.h"

#include "platform/core/Log.h"
#include "platform/ui/Button.h"
#include "platform/ui/Nib.h"
#include "platform/ui/NibBindings.h"
#include "platform/ui/View.h"

LayoutViewController::LayoutViewController(QString layoutName)
    : m_layoutName(std::move(layoutName))
{
}

void LayoutViewController::bindNib(ui::NibBindings& bindings)
{
    bindings.outlet(QStringLiteral("view"), m_root);
    // Controls hold the owner weakly, so a gone screen's back control does nothing.
    bindings.action(QStringLiteral("backClick"), [this](const std::shared_ptr<ui::Control>& sender) { backClick(sender); });
    bindOutlets(bindings);
}

void LayoutViewController::loadView()
{
    const auto result = ui::Nib::load(m_layoutName, std::dynamic_pointer_cast<ui::NibOwner>(shared_from_this()));
    if (!result || !m_root) {
        m_layoutError = result ? QStringLiteral("layout \"%1\" has no view").arg(m_layoutName) : result.error;
        core::log(QStringLiteral("LayoutViewController"), m_layoutError);
        ui::ViewController::loadView();
        return;
    }
    setView(m_root);
    findBackButton();
}

void LayoutViewController::findBackButton()
{
    for (const auto& subview : m_root->subviews()) {
        if (auto button = std::dynamic_pointer_cast<ui::Button>(subview)) {
            // An image-only control: the caption is what a reader (and a test) finds it by.
            button->setAccessibilityLabel(QString::fromUtf8(kBackCaption));
            m_backButton = button;
            return;
        }
    }
}

void LayoutViewController::backClick(const std::shared_ptr<ui::Control>&)
{
    auto self = shared_from_this();
    dismissViewController(true, [] {});
}
