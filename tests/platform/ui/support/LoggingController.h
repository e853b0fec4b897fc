#pragma once

#include "platform/ui/ViewController.h"

#include <QString>
#include <QStringList>
#include <memory>

namespace uitest {

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
