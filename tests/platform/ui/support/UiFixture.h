#pragma once

#include "platform/core/ManualClock.h"
#include "platform/core/RunLoop.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/Application.h"
#include "platform/ui/PlatformHooks.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ViewController.h"

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <memory>

#include <ostream>

// Readable failure messages for the string lists the tests compare.
inline void PrintTo(const QStringList& list, std::ostream* os)
{
    *os << '[' << list.join(QStringLiteral(", ")).toStdString() << ']';
}

namespace uitest {

// A view-layer test on the manual clock, starting from a fresh application, screen, hooks
// and run loop.
class UiFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        core::RunLoop::main().reset();
        ui::Application::shared().reset();
        ui::PlatformHooks::restoreDefaults();
        ui::Accessibility::clear();
        ui::Screen::resetMain();
        clock = std::make_unique<core::ManualClock>(100.0);
    }

    void TearDown() override
    {
        clock.reset();
        core::RunLoop::main().reset();
        ui::PlatformHooks::restoreDefaults();
        ui::Application::shared().reset();
    }

    // Runs posted work and whatever falls due within `seconds`.
    void step(double seconds = 0) { clock->advance(seconds); }

    std::unique_ptr<core::ManualClock> clock;
};

// A controller that writes its life cycle into a shared log as "name:event".
class LoggingController : public ui::ViewController {
public:
    static std::shared_ptr<LoggingController> create(const QString& name, std::shared_ptr<QStringList> log)
    {
        auto c = std::shared_ptr<LoggingController>(new LoggingController());
        c->m_name = name;
        c->m_log = std::move(log);
        return c;
    }

    void viewWillAppear(bool animated) override { add(QStringLiteral("willAppear"), animated); }
    void viewDidAppear(bool animated) override { add(QStringLiteral("didAppear"), animated); }
    void viewWillDisappear(bool animated) override { add(QStringLiteral("willDisappear"), animated); }
    void viewDidDisappear(bool animated) override { add(QStringLiteral("didDisappear"), animated); }
    void willMoveToParentViewController(const std::shared_ptr<ui::ViewController>& p) override
    {
        m_log->append(m_name + (p ? QStringLiteral(":willMove") : QStringLiteral(":willMoveNil")));
    }
    void didMoveToParentViewController(const std::shared_ptr<ui::ViewController>& p) override
    {
        m_log->append(m_name + (p ? QStringLiteral(":didMove") : QStringLiteral(":didMoveNil")));
    }

    int loadCount = 0;
    int didLoadCount = 0;
    bool manualForwarding = false;
    bool shouldAutomaticallyForwardAppearanceMethods() const override { return !manualForwarding; }

protected:
    void loadView() override
    {
        ++loadCount;
        ui::ViewController::loadView();
    }
    void viewDidLoad() override { ++didLoadCount; }

private:
    void add(const QString& event, bool) { m_log->append(m_name + QLatin1Char(':') + event); }

    QString m_name;
    std::shared_ptr<QStringList> m_log;
};

} // namespace uitest
