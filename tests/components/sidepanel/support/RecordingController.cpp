#include "RecordingController.h"

#include "platform/ui/Screen.h"
#include "platform/ui/View.h"

namespace {
QString flag(bool animated) { return animated ? QStringLiteral("animated") : QStringLiteral("instant"); }
QString sideName(SidePanelSide side) { return QString::number(static_cast<unsigned>(side)); }
}

std::shared_ptr<RecordingController> RecordingController::create(const QString& name, std::shared_ptr<QStringList> journal)
{
    return std::shared_ptr<RecordingController>(new RecordingController(name, std::move(journal)));
}

RecordingController::RecordingController(const QString& name_, std::shared_ptr<QStringList> journal)
    : name(name_), m_journal(std::move(journal))
{
}

void RecordingController::loadView()
{
    auto view = ui::View::create(ui::Screen::main().bounds());
    view->setBackgroundColor(name == QStringLiteral("menu") ? ui::Color::fromRGB(0x2E7D32) : ui::Color::fromRGB(0x1565C0));
    setView(view);
}

void RecordingController::note(const QString& event)
{
    if (m_journal)
        m_journal->append(name + QLatin1Char(' ') + event);
}

void RecordingController::viewWillAppear(bool) { note(QStringLiteral("willAppear")); }
void RecordingController::viewDidAppear(bool) { note(QStringLiteral("didAppear")); }
void RecordingController::viewWillDisappear(bool) { note(QStringLiteral("willDisappear")); }
void RecordingController::viewDidDisappear(bool) { note(QStringLiteral("didDisappear")); }

void RecordingController::willOpenViewSide(SidePanelController&, SidePanelSide side, bool animated)
{
    note(QStringLiteral("willOpen %1 %2").arg(sideName(side), flag(animated)));
}

void RecordingController::didOpenViewSide(SidePanelController&, SidePanelSide side, bool animated)
{
    note(QStringLiteral("didOpen %1 %2").arg(sideName(side), flag(animated)));
}

void RecordingController::willCloseViewSide(SidePanelController&, SidePanelSide side, bool animated)
{
    note(QStringLiteral("willClose %1 %2").arg(sideName(side), flag(animated)));
}

void RecordingController::didCloseViewSide(SidePanelController&, SidePanelSide side, bool animated)
{
    note(QStringLiteral("didClose %1 %2").arg(sideName(side), flag(animated)));
}

void RecordingController::didBounceViewSideOpeningController(SidePanelController&, SidePanelSide side,
                                                             const std::shared_ptr<ui::ViewController>& controller)
{
    auto recording = std::dynamic_pointer_cast<RecordingController>(controller);
    note(QStringLiteral("didBounceOpening %1 %2").arg(sideName(side), recording ? recording->name : QString()));
}

void RecordingController::didBounceViewSideClosingController(SidePanelController&, SidePanelSide side,
                                                             const std::shared_ptr<ui::ViewController>& controller)
{
    auto recording = std::dynamic_pointer_cast<RecordingController>(controller);
    note(QStringLiteral("didBounceClosing %1 %2").arg(sideName(side), recording ? recording->name : QString()));
}

std::optional<bool> RecordingController::shouldOpenViewSide(SidePanelController&, SidePanelSide side)
{
    if (openAnswer)
        note(QStringLiteral("shouldOpen %1").arg(sideName(side)));
    return openAnswer;
}

std::optional<bool> RecordingController::shouldCloseViewSide(SidePanelController&, SidePanelSide side, bool animated)
{
    if (closeAnswer)
        note(QStringLiteral("shouldClose %1 %2").arg(sideName(side), flag(animated)));
    return closeAnswer;
}

std::optional<double> RecordingController::changesLedge(SidePanelController&, double ledge, SidePanelSide)
{
    if (!ledgeAnswer)
        return std::nullopt;
    return ledgeAnswer(ledge);
}
