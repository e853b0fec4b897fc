#include "ContainmentRecorder.h"

#include "components/sidepanel/SidePanelItem.h"

std::shared_ptr<ContainmentRecorder> ContainmentRecorder::create(const QString& name, std::shared_ptr<QStringList> journal)
{
    return std::shared_ptr<ContainmentRecorder>(new ContainmentRecorder(name, std::move(journal)));
}

ContainmentRecorder::ContainmentRecorder(const QString& name_, std::shared_ptr<QStringList> journal)
    : name(name_), m_journal(std::move(journal))
{
}

void ContainmentRecorder::note(const QString& event)
{
    if (m_journal)
        m_journal->append(name + QLatin1Char(' ') + event);
}

void ContainmentRecorder::willMoveToParentViewController(const std::shared_ptr<ui::ViewController>& parent)
{
    note(parent ? QStringLiteral("willMove to parent") : QStringLiteral("willMove to none"));
}

void ContainmentRecorder::didMoveToParentViewController(const std::shared_ptr<ui::ViewController>& parent)
{
    // What the controller sees once the move is done: its parent and its back reference.
    const QString where = parent ? QStringLiteral("to parent") : QStringLiteral("to none");
    const QString child = parentViewController() ? QStringLiteral("child") : QStringLiteral("orphan");
    const QString linked = SidePanelItem::sidePanelControllerCore(*this) ? QStringLiteral("linked") : QStringLiteral("unlinked");
    note(QStringLiteral("didMove %1 %2 %3").arg(where, child, linked));
}

void ContainmentRecorder::viewDidLoad() { note(QStringLiteral("viewDidLoad")); }
void ContainmentRecorder::viewWillAppear(bool) { note(QStringLiteral("willAppear")); }
void ContainmentRecorder::viewDidAppear(bool) { note(QStringLiteral("didAppear")); }
void ContainmentRecorder::viewWillDisappear(bool) { note(QStringLiteral("willDisappear")); }
void ContainmentRecorder::viewDidDisappear(bool) { note(QStringLiteral("didDisappear")); }
void ContainmentRecorder::didReceiveMemoryWarning() { note(QStringLiteral("memoryWarning")); }
