#pragma once

#include "components/sidepanel/SidePanelItem.h"
#include "platform/ui/ViewController.h"

#include <QString>
#include <QStringList>
#include <memory>

// A controller that writes every containment and appearance call it gets into a shared
// journal, "<name> <call>", with what it can see of its parent and container at that moment.
class ContainmentRecorder : public ui::ViewController {
public:
    static std::shared_ptr<ContainmentRecorder> create(const QString& name, std::shared_ptr<QStringList> journal)
    {
        return std::shared_ptr<ContainmentRecorder>(new ContainmentRecorder(name, std::move(journal)));
    }

    void willMoveToParentViewController(const std::shared_ptr<ui::ViewController>& parent) override
    {
        note(parent ? QStringLiteral("willMove to parent") : QStringLiteral("willMove to none"));
    }
    // What the controller sees once the move is done: its parent and its back reference.
    void didMoveToParentViewController(const std::shared_ptr<ui::ViewController>& parent) override
    {
        note(QStringLiteral("didMove %1 %2 %3")
                 .arg(parent ? "to parent" : "to none", parentViewController() ? "child" : "orphan",
                      SidePanelItem::sidePanelControllerCore(*this) ? "linked" : "unlinked"));
    }
    void viewWillAppear(bool) override { note(QStringLiteral("willAppear")); }
    void viewDidAppear(bool) override { note(QStringLiteral("didAppear")); }
    void viewWillDisappear(bool) override { note(QStringLiteral("willDisappear")); }
    void viewDidDisappear(bool) override { note(QStringLiteral("didDisappear")); }
    void didReceiveMemoryWarning() override { note(QStringLiteral("memoryWarning")); }

    QString name;

protected:
    ContainmentRecorder(const QString& name_, std::shared_ptr<QStringList> journal) : name(name_), m_journal(std::move(journal)) {}
    void viewDidLoad() override { note(QStringLiteral("viewDidLoad")); }
    void note(const QString& event) { m_journal->append(name + QLatin1Char(' ') + event); }

private:
    std::shared_ptr<QStringList> m_journal;
};
