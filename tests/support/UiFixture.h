#pragma once

#include "platform/core/ManualClock.h"
#include "platform/core/RunLoop.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/Application.h"
#include "platform/ui/PlatformHooks.h"
#include "platform/ui/Screen.h"

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <memory>

#include <ostream>

// Readable failure messages for Qt strings and the string lists the tests compare.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* os)
{
    *os << '[' << list.join(QStringLiteral(", ")).toStdString() << ']';
}

// Every test that touches the process-wide state starts from a fresh run loop, application,
// screen, set of hooks and accessibility registry, and leaves them so for the next one.
// Timing tests run on the manual clock; app tests pass Clock::Real and pump the run loop.
class UiFixture : public ::testing::Test {
protected:
    enum class Clock { Manual, Real };
    explicit UiFixture(Clock kind = Clock::Manual) : m_clockKind(kind) {}

    void SetUp() override
    {
        // The old clock goes first: destroyed after a new one is in place, it would uninstall that one.
        clock.reset();
        resetProcessState();
        if (m_clockKind == Clock::Manual)
            clock = std::make_unique<core::ManualClock>(100.0);
    }

    void TearDown() override
    {
        core::RunLoop::main().processPending();
        clock.reset();
        resetProcessState();
    }

    // Runs posted work and whatever falls due within `seconds` (manual clock only).
    void step(double seconds = 0) { clock->advance(seconds); }

    std::unique_ptr<core::ManualClock> clock;

private:
    static void resetProcessState()
    {
        core::RunLoop::main().reset();
        ui::Application::shared().reset();
        ui::PlatformHooks::restoreDefaults();
        ui::Accessibility::clear();
        ui::Screen::resetMain();
    }

    Clock m_clockKind;
};
