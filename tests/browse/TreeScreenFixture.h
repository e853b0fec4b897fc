#pragma once

#include "browse/SpecalHeadView.h"
#include "browse/SpecialEditBtn.h"
#include "browse/SpecialName.h"
#include "components/hud/ProgressHUD.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TouchInjector.h"
#include "platform/ui/Window.h"
#include "practice/ExamStartViewController.h"
#include "tests/support/AppTest.h"

#include <QImage>
#include <set>

// A tree screen (chapter practice or a book) presented over a root screen in a window, with
// what a test reads off its rows and the taps a user makes on them.
template<class Screen>
class TreeScreenFixture : public AppTest {
protected:
    struct RowView {
        std::shared_ptr<SpecialName> name;
        std::shared_ptr<ui::Label> count;
        std::shared_ptr<SpecialEditBtn> button;
    };

    static RowView controlsOf(const SpecalHeadView& row)
    {
        RowView controls;
        for (const auto& subview : row.subviews()) {
            if (auto name = std::dynamic_pointer_cast<SpecialName>(subview))
                controls.name = name;
            else if (auto button = std::dynamic_pointer_cast<SpecialEditBtn>(subview))
                controls.button = button;
            else if (auto label = std::dynamic_pointer_cast<ui::Label>(subview))
                controls.count = label;
        }
        return controls;
    }
    static QString connector(const SpecalHeadView& row)
    {
        return row.headView()->image().name().section(QLatin1Char('.'), 0, 0);
    }
    // "name count picture", as the row shows it.
    static QString caption(const SpecalHeadView& row)
    {
        const RowView c = controlsOf(row);
        return c.name->text() + QLatin1Char(' ') + c.count->text() + QLatin1Char(' ') + connector(row);
    }

    // Presents the screen; with `wait`, until its list has arrived and the overlay has gone.
    std::shared_ptr<Screen> open(const std::function<void(Screen&)>& configure = {}, bool wait = true)
    {
        if (!m_window) {
            m_root = ui::ViewController::create();
            m_window = ui::Window::create(ui::Screen::main().bounds());
            m_window->makeKeyAndVisible();
            m_window->setRootViewController(m_root);
        }
        m_screen = Screen::create();
        if (configure)
            configure(*m_screen);
        m_root->presentViewController(m_screen, false);
        if (!wait)
            return m_screen;
        EXPECT_TRUE(pumpUntil([&] { return !m_screen->isLoading() && !m_screen->isTransitioning(); }));
        // The wait overlay takes touches until it has faded out (looked for in the top band,
        // where the tree does not cover it).
        const ui::Point band(m_window->bounds().width() / 2, 3);
        EXPECT_TRUE(pumpUntil([&] { return !dynamic_cast<ProgressHUD*>(m_window->hitTest(band, nullptr).get()); }));
        m_window->layoutIfNeeded();
        return m_screen;
    }
    void close()
    {
        m_root->dismissViewController(false);
        pumpUntil([&] { return !m_root->presentedViewController(); });
    }

    std::shared_ptr<SpecalHeadView> row(std::initializer_list<int> path) const
    {
        std::shared_ptr<SpecalHeadView> found;
        const auto* rows = &m_screen->data();
        for (int index : path) {
            if (index >= static_cast<int>(rows->size()))
                return nullptr;
            found = (*rows)[static_cast<std::size_t>(index)];
            rows = &found->chlder();
        }
        return found;
    }

    // A finger on the row's connector picture, left of its controls.
    void tapRow(const SpecalHeadView& row)
    {
        m_window->layoutIfNeeded();
        ui::TouchInjector::tap(*m_window, row.convertPointTo(ui::Point(8, row.frame().height() / 2), nullptr));
        m_window->layoutIfNeeded();
    }

    // Taps a start control and returns the practice screen it opened, once its list is in.
    std::shared_ptr<ExamStartViewController> startWith(const ui::View& control)
    {
        m_window->layoutIfNeeded();
        EXPECT_TRUE(ui::TouchInjector::tap(control));
        auto practice = std::dynamic_pointer_cast<ExamStartViewController>(m_screen->presentedViewController());
        if (practice)
            EXPECT_TRUE(pumpUntil([&] { return !practice->isTransitioning() && !practice->examArr().isEmpty(); }));
        return practice;
    }
    void closePractice()
    {
        m_screen->dismissViewController(false);
        pumpUntil([&] { return !m_screen->presentedViewController(); });
    }

    // Saves the window as a PNG for people to look at; false when nothing was drawn.
    bool screenshot(const QString& path) const
    {
        m_window->layoutIfNeeded();
        const QImage image = ui::Renderer::render(*m_window->layer(), m_window->bounds().size, 2);
        if (image.isNull() || !image.save(path))
            return false;
        std::set<QRgb> colours;
        for (int y = 150; y < 700; y += 3) {
            for (int x = 0; x < 700; x += 3)
                colours.insert(image.pixel(x, y));
        }
        return colours.size() > 20;
    }

    std::shared_ptr<ui::ViewController> m_root;
    std::shared_ptr<ui::Window> m_window;
    std::shared_ptr<Screen> m_screen;
};
