#pragma once

#include "browse/SpecalHeadView.h"
#include "browse/SpecialEditBtn.h"
#include "browse/SpecialName.h"
#include "platform/core/Record.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "tests/browse/BrowseTestSupport.h"

// A tree screen (chapter practice or a book) with what a test reads off its rows and the taps
// a user makes on them.
template<class Screen>
class TreeScreenFixture : public BrowseFixture {
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
    static QString connector(const SpecalHeadView& row) { return row.headView()->image().name().section('.', 0, 0); }
    // "name count picture", as the row shows it.
    static QString caption(const SpecalHeadView& row)
    {
        const RowView c = controlsOf(row);
        return c.name->text() + ' ' + c.count->text() + ' ' + connector(row);
    }

    // Presents the screen; with `wait`, until its list has arrived and the overlay has gone.
    std::shared_ptr<Screen> open(const std::function<void(Screen&)>& configure = {}, bool wait = true)
    {
        m_screen = Screen::create();
        if (configure)
            configure(*m_screen);
        return present(m_screen, wait);
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
        if (practice) {
            EXPECT_TRUE(pumpUntil([&] { return !practice->isTransitioning() && !practice->examArr().isEmpty(); }));
        }
        return practice;
    }
    // Starts a run from the row at `path` by its name or its start button; `code` is the code
    // the row's controls carry.
    std::shared_ptr<ExamStartViewController> startFromRow(std::initializer_list<int> path, bool byName, QString& code)
    {
        const RowView controls = controlsOf(*row(path));
        code = core::Record::stringValue(controls.button->data()->value("code"));
        return byName ? startWith(*controls.name) : startWith(*controls.button);
    }
    // Every question of the run names the part it was drawn from at `codeKey`.
    static void expectEveryQuestionFrom(const ExamStartViewController& practice, const QStringList& codeKey, const QString& code)
    {
        for (const QJsonValue& question : practice.examArr())
            EXPECT_EQ(core::Record::stringValue(core::Record::value(question, codeKey)), code);
    }
    void closePractice()
    {
        m_screen->dismissViewController(false);
        pumpUntil([&] { return !m_screen->presentedViewController(); });
    }

    std::shared_ptr<Screen> m_screen;
};
