#pragma once

#include "components/hud/ProgressHUD.h"
#include "components/hud/ProgressHUDDelegate.h"
#include "platform/ui/Window.h"
#include "tests/support/UiFixture.h"

#include <QStringList>
#include <memory>

// Notes "delegate" in the journal the completions also write to, so their order shows.
struct HudJournal : ProgressHUDDelegate {
    QStringList events;
    void hudWasHidden(const std::shared_ptr<ProgressHUD>&) override { events << QStringLiteral("delegate"); }
};

// On the manual clock: a visible 320 × 568 white window whose host view fills it.
class HudFixture : public UiFixture {
protected:
    void SetUp() override
    {
        UiFixture::SetUp();
        window = ui::Window::create(ui::Rect(0, 0, 320, 568));
        window->setBackgroundColor(ui::Color::white());
        host = ui::View::create(window->bounds());
        window->addSubview(host);
        window->makeKeyAndVisible();
    }
    void TearDown() override
    {
        host.reset();
        window.reset();
        UiFixture::TearDown();
    }

    // Added to the host, reporting into the journal, not shown.
    std::shared_ptr<ProgressHUD> addHUD()
    {
        auto hud = ProgressHUD::createWithView(host);
        host->addSubview(hud);
        hud->setDelegate(journal);
        return hud;
    }
    ProgressHUD::Block recordCompletion() { return [this] { events << QStringLiteral("completion"); }; }

    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ui::View> host;
    std::shared_ptr<HudJournal> journal = std::make_shared<HudJournal>();
    QStringList& events = journal->events;
};
