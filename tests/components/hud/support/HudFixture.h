#pragma once

#include "components/hud/ProgressHUD.h"
#include "components/hud/ProgressHUDDelegate.h"
#include "platform/ui/Layer.h"
#include "platform/ui/Window.h"
#include "tests/support/UiFixture.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class RecordingHUDDelegate : public ProgressHUDDelegate {
public:
    explicit RecordingHUDDelegate(std::shared_ptr<QStringList> events) : m_events(std::move(events)) {}
    void hudWasHidden(const std::shared_ptr<ProgressHUD>&) override { m_events->append(QStringLiteral("delegate")); }

private:
    std::shared_ptr<QStringList> m_events;
};

// Holds submitted work until the test says that it ends.
struct ManualExecutor {
    std::vector<std::function<void()>> tasks;
    ProgressHUD::Executor executor()
    {
        return [this](std::function<void()> task) { tasks.push_back(std::move(task)); };
    }
    void runAll()
    {
        for (auto& task : std::exchange(tasks, {}))
            task();
    }
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

    // Added to the host, reporting into `events`, not shown.
    std::shared_ptr<ProgressHUD> addHUD()
    {
        auto hud = ProgressHUD::createWithView(host);
        host->addSubview(hud);
        hud->setDelegate(delegate);
        return hud;
    }
    ProgressHUD::Block recordCompletion()
    {
        return [events = events] { events->append(QStringLiteral("completion")); };
    }
    static double shownAlpha(const ProgressHUD& hud) { return hud.layer()->presentation()->opacity(); }

    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ui::View> host;
    std::shared_ptr<QStringList> events = std::make_shared<QStringList>();
    std::shared_ptr<RecordingHUDDelegate> delegate = std::make_shared<RecordingHUDDelegate>(events);
};
