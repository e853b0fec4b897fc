#pragma once

#include "components/sidepanel/SidePanelControllerDelegate.h"
#include "components/sidepanel/SidePanelItem.h"
#include "platform/ui/Screen.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

// A contained controller that is also a delegate and writes what it is told into a shared
// journal, "<name> <event>", so tests can check order across several receivers. Sides are
// written as numbers, the animated flag as "animated" or "instant". Loading, containment,
// rotation and memory calls are written only by a controller made with `lifecycle`.
class RecordingController : public ui::ViewController, public SidePanelControllerDelegate {
public:
    using O = ui::InterfaceOrientation;
    RecordingController(QString name_, std::shared_ptr<QStringList> journal, bool lifecycle)
        : name(std::move(name_)), m_journal(std::move(journal)), m_lifecycle(lifecycle) {}
    static std::shared_ptr<RecordingController> create(const QString& name, std::shared_ptr<QStringList> journal, bool lifecycle = false)
    {
        return std::make_shared<RecordingController>(name, std::move(journal), lifecycle);
    }

    void viewWillAppear(bool) override { note(QStringLiteral("willAppear")); }
    void viewDidAppear(bool) override { note(QStringLiteral("didAppear")); }
    void viewWillDisappear(bool) override { note(QStringLiteral("willDisappear")); }
    void viewDidDisappear(bool) override { note(QStringLiteral("didDisappear")); }
    void viewDidLoad() override { noteLifecycle(QStringLiteral("viewDidLoad")); }
    void didReceiveMemoryWarning() override { noteLifecycle(QStringLiteral("memoryWarning")); }
    void willMoveToParentViewController(const std::shared_ptr<ui::ViewController>& parent) override
    {
        noteLifecycle(parent ? QStringLiteral("willMove to parent") : QStringLiteral("willMove to none"));
    }
    // What the controller sees once the move is done: its parent and its back reference.
    void didMoveToParentViewController(const std::shared_ptr<ui::ViewController>& parent) override
    {
        noteLifecycle(QStringLiteral("didMove %1 %2 %3")
                          .arg(parent ? "to parent" : "to none", parentViewController() ? "child" : "orphan",
                               SidePanelItem::sidePanelControllerCore(*this) ? "linked" : "unlinked"));
    }
    void willRotateToInterfaceOrientation(O to, double d) override { noteLifecycle(QStringLiteral("willRotate %1 %2").arg(int(to)).arg(d)); }
    void willAnimateRotationToInterfaceOrientation(O to, double d) override { noteLifecycle(QStringLiteral("willAnimate %1 %2").arg(int(to)).arg(d)); }
    void didRotateFromInterfaceOrientation(O from) override { noteLifecycle(QStringLiteral("didRotate %1").arg(int(from))); }

    void willOpenViewSide(SidePanelController&, SidePanelSide s, bool a) override { note(QStringLiteral("willOpen"), s, a); }
    void didOpenViewSide(SidePanelController&, SidePanelSide s, bool a) override { note(QStringLiteral("didOpen"), s, a); }
    void willCloseViewSide(SidePanelController&, SidePanelSide s, bool a) override { note(QStringLiteral("willClose"), s, a); }
    void didCloseViewSide(SidePanelController&, SidePanelSide s, bool a) override { note(QStringLiteral("didClose"), s, a); }
    void didBounceViewSideOpeningController(SidePanelController&, SidePanelSide s, const std::shared_ptr<ui::ViewController>& c) override
    {
        noteBounce(QStringLiteral("didBounceOpening"), s, c);
    }
    void didBounceViewSideClosingController(SidePanelController&, SidePanelSide s, const std::shared_ptr<ui::ViewController>& c) override
    {
        noteBounce(QStringLiteral("didBounceClosing"), s, c);
    }
    // Questions are written down only when answered.
    std::optional<bool> shouldOpenViewSide(SidePanelController&, SidePanelSide s) override
    {
        if (openAnswer)
            note(QStringLiteral("shouldOpen %1").arg(int(s)));
        return openAnswer;
    }
    std::optional<bool> shouldCloseViewSide(SidePanelController&, SidePanelSide s, bool a) override
    {
        if (closeAnswer)
            note(QStringLiteral("shouldClose"), s, a);
        return closeAnswer;
    }
    std::optional<double> changesLedge(SidePanelController&, double ledge, SidePanelSide) override
    {
        return ledgeAnswer ? std::optional<double>(ledgeAnswer(ledge)) : std::nullopt;
    }

    // Answers to the questions; unset means "not implemented".
    std::optional<bool> openAnswer;
    std::optional<bool> closeAnswer;
    std::function<double(double)> ledgeAnswer;
    QString name;

protected:
    // Full-screen views, the menu green and the others blue, so screenshots tell them apart.
    void loadView() override
    {
        auto view = ui::View::create(ui::Screen::main().bounds());
        view->setBackgroundColor(ui::Color::fromRGB(name == QStringLiteral("menu") ? 0x2E7D32 : 0x1565C0));
        setView(view);
    }

private:
    void note(const QString& event) { m_journal->append(name + QLatin1Char(' ') + event); }
    void noteLifecycle(const QString& event)
    {
        if (m_lifecycle)
            note(event);
    }
    void note(const QString& event, SidePanelSide side, bool animated)
    {
        note(QStringLiteral("%1 %2 %3").arg(event).arg(int(side)).arg(animated ? "animated" : "instant"));
    }
    void noteBounce(const QString& event, SidePanelSide side, const std::shared_ptr<ui::ViewController>& controller)
    {
        const auto recording = std::dynamic_pointer_cast<RecordingController>(controller);
        note(QStringLiteral("%1 %2 %3").arg(event).arg(int(side)).arg(recording ? recording->name : QString()));
    }
    std::shared_ptr<QStringList> m_journal;
    bool m_lifecycle;
};
