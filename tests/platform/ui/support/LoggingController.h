#pragma once

#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"

#include <QString>
#include <QStringList>
#include <functional>
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

    void viewWillAppear(bool) override { add("willAppear"); }
    void viewDidAppear(bool) override
    {
        add("didAppear");
        if (onDidAppear)
            onDidAppear();
    }
    void viewWillDisappear(bool) override { add("willDisappear"); }
    void viewDidDisappear(bool) override { add("didDisappear"); }
    void willMoveToParentViewController(const std::shared_ptr<ui::ViewController>& p) override { add(p ? "willMove" : "willMoveNil"); }
    void didMoveToParentViewController(const std::shared_ptr<ui::ViewController>& p) override { add(p ? "didMove" : "didMoveNil"); }

    std::function<void()> onDidAppear;
    bool logLoads = false;   // writes "didLoad" too
    int loadCount = 0;
    int didLoadCount = 0;
    bool manualForwarding = false;
    // Makes the view in place of the platform's default, as a controller's own loadView does.
    std::function<std::shared_ptr<ui::View>()> makeView;
    bool shouldAutomaticallyForwardAppearanceMethods() const override { return !manualForwarding; }

protected:
    void loadView() override
    {
        ++loadCount;
        if (makeView)
            setView(makeView());
        else
            ui::ViewController::loadView();
    }
    void viewDidLoad() override
    {
        ++didLoadCount;
        if (logLoads)
            add("didLoad");
    }

private:
    void add(const char* event) { m_log->append(m_name + QLatin1Char(':') + QLatin1String(event)); }

    QString m_name;
    std::shared_ptr<QStringList> m_log;
};

} // namespace uitest
