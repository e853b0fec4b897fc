#pragma once

#include "components/sidepanel/SidePanelControllerDelegate.h"
#include "platform/ui/ViewController.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

// A contained controller that is also a delegate and writes what it is told into a shared
// journal, "<name> <event>", so tests can check order across several receivers.
class RecordingController : public ui::ViewController, public SidePanelControllerDelegate {
public:
    static std::shared_ptr<RecordingController> create(const QString& name, std::shared_ptr<QStringList> journal);

    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidDisappear(bool animated) override;

    void willOpenViewSide(SidePanelController&, SidePanelSide side, bool animated) override;
    void didOpenViewSide(SidePanelController&, SidePanelSide side, bool animated) override;
    void willCloseViewSide(SidePanelController&, SidePanelSide side, bool animated) override;
    void didCloseViewSide(SidePanelController&, SidePanelSide side, bool animated) override;
    void didBounceViewSideOpeningController(SidePanelController&, SidePanelSide side,
                                            const std::shared_ptr<ui::ViewController>& controller) override;
    void didBounceViewSideClosingController(SidePanelController&, SidePanelSide side,
                                            const std::shared_ptr<ui::ViewController>& controller) override;
    std::optional<bool> shouldOpenViewSide(SidePanelController&, SidePanelSide side) override;
    std::optional<bool> shouldCloseViewSide(SidePanelController&, SidePanelSide side, bool animated) override;
    std::optional<double> changesLedge(SidePanelController&, double ledge, SidePanelSide side) override;

    // Answers to the questions; unset means "not implemented".
    std::optional<bool> openAnswer;
    std::optional<bool> closeAnswer;
    std::function<double(double)> ledgeAnswer;
    QString name;

protected:
    RecordingController(const QString& name, std::shared_ptr<QStringList> journal);
    void loadView() override;

private:
    void note(const QString& event);
    std::shared_ptr<QStringList> m_journal;
};
