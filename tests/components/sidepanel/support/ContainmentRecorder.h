#pragma once

#include "platform/ui/ViewController.h"

#include <QString>
#include <QStringList>
#include <memory>

// A controller that writes every containment and appearance call it gets into a shared
// journal, "<name> <call>", with what it can see of its parent and container at that moment.
class ContainmentRecorder : public ui::ViewController {
public:
    static std::shared_ptr<ContainmentRecorder> create(const QString& name, std::shared_ptr<QStringList> journal);

    void willMoveToParentViewController(const std::shared_ptr<ui::ViewController>& parent) override;
    void didMoveToParentViewController(const std::shared_ptr<ui::ViewController>& parent) override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    void didReceiveMemoryWarning() override;

    QString name;

protected:
    ContainmentRecorder(const QString& name, std::shared_ptr<QStringList> journal);
    void viewDidLoad() override;

private:
    void note(const QString& event);
    std::shared_ptr<QStringList> m_journal;
};
