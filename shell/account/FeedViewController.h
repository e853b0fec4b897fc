#pragma once

#include "appbase/ChromeViewController.h"
#include "shell/account/FeedViewControllerDelegate.h"

#include <memory>

class ServerRequest;
namespace ui {
class Button;
class Control;
class TextField;
class TextView;
}

// The feedback form "用户反馈": a remark box that shows grey placeholder words until it is
// edited, a contact field and submit. Feedback counts as sent only when the server accepted it.
class FeedViewController : public ChromeViewController, public FeedViewControllerDelegate {
public:
    static std::shared_ptr<FeedViewController> create();

    std::shared_ptr<ui::TextView> remark() const { return m_remark; }
    std::shared_ptr<ui::TextField> contact() const { return m_contact; }
    std::shared_ptr<ui::Button> submit() const { return m_submit; }
    // True while the remark shows the placeholder words instead of anything the user wrote.
    bool isShowingPlaceholder() const { return m_showingPlaceholder; }
    std::shared_ptr<ServerRequest> feedbackRequest() const { return m_request; }

    void submitClick(const std::shared_ptr<ui::Control>& sender);

    bool textViewShouldBeginEditing(ui::TextView& textView) override;
    void textViewDidEndEditing(ui::TextView& textView) override;
    bool shouldChangeTextInRange(ui::TextView& textView, ui::TextRange range, const QString& text) override;
    bool shouldChangeCharactersInRange(ui::TextField& field, ui::TextRange range, const QString& string) override;
    void requestDidFinish(ServerRequest& request) override;

    static constexpr const char* kPlaceholder = "反馈意见或问题";
    static constexpr int kPlaceholderColor = 0xCCCCCC;

protected:
    FeedViewController();

    void viewDidLoad() override;
    void releaseReferences() override;

private:
    void showPlaceholder();
    // The first failing check's message after moving the focus where it says; empty when all pass.
    QString failedCheck();
    void send();

    std::shared_ptr<ui::TextView> m_remark;
    std::shared_ptr<ui::TextField> m_contact;
    std::shared_ptr<ui::Button> m_submit;
    std::shared_ptr<ServerRequest> m_request;
    bool m_showingPlaceholder = true;
};
