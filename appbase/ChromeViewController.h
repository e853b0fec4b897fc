#pragma once

#include "platform/ui/ViewController.h"

#include <QString>
#include <memory>

namespace ui {
class Button;
class Control;
class ImageView;
class Label;
}

// The look shared by every modally presented screen built in code: the full-screen "allBg"
// background, the back button centred in the top band of one seventh of the screen height,
// and the centred bold title. A screen lays its content out from contentTop() down.
class ChromeViewController : public ui::ViewController {
public:
    enum class Dismissal { Animated, Immediate };

    // Forgets the screen's buffers, records and delegate, empties its view and dismisses it.
    void backClick(const std::shared_ptr<ui::Control>& sender);

    std::shared_ptr<ui::ImageView> backgroundView() const { return m_background; }
    std::shared_ptr<ui::Button> backButton() const { return m_backButton; }
    std::shared_ptr<ui::Label> titleLabel() const { return m_titleLabel; }

    // The top band's height and so the top of the content.
    static double contentTop();

protected:
    explicit ChromeViewController(QString screenTitle, Dismissal dismissal = Dismissal::Animated);

    void viewDidLoad() override;
    // Drops what the back action must let go of (base: nothing).
    virtual void releaseReferences() {}

private:
    void addBackground();
    void addBackButton();
    void addTitle();

    QString m_screenTitle;
    Dismissal m_dismissal;
    std::shared_ptr<ui::ImageView> m_background;
    std::shared_ptr<ui::Button> m_backButton;
    std::shared_ptr<ui::Label> m_titleLabel;
};
