#include "shell/account/FeedViewController.h"

#include "appbase/CommonUtil.h"
#include "appbase/ServerRequest.h"
#include "platform/core/FormBody.h"
#include "platform/core/Record.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"
#include "platform/ui/View.h"
#include "appbase/ImageButton.h"

namespace {

// How far a text view's text stands in from its left edge.
constexpr double kRemarkTextInset = 5;

} // namespace

std::shared_ptr<FeedViewController> FeedViewController::create()
{
    return std::shared_ptr<FeedViewController>(new FeedViewController());
}

FeedViewController::FeedViewController()
    : ChromeViewController(QStringLiteral("用户反馈"))
{
}

void FeedViewController::viewDidLoad()
{
    ChromeViewController::viewDidLoad();
    const double W = CommonUtil::getSysWidth();
    const double k = CommonUtil::getScaleHeight();
    auto self = std::static_pointer_cast<FeedViewController>(shared_from_this());

    const ui::Image frameImage = ui::Image::named(CommonUtil::getImageName("feedbg", ".png"));
    const ui::Size frameSize = CommonUtil::scaledSize(frameImage, CommonUtil::getScale());
    const ui::Rect b((W - frameSize.width) / 2, 100 * k, frameSize.width, frameSize.height);
    auto frameView = ui::ImageView::create(b);
    frameView->setImage(frameImage);
    view()->addSubview(frameView);

    // The remark fills about the upper seven tenths of the frame, the contact field a fifth below.
    const double remarkHeight = b.height() / 4 * 2.8 - 1;
    m_remark = ui::TextView::create(ui::Rect(b.x() + 1, b.y() + 1, b.width() - 2, remarkHeight));
    m_remark->setReturnKeyType(ui::ReturnKeyType::Next);
    m_remark->setDelegate(self);
    m_remark->setFont(ui::Font::systemFont(16 * k));
    // The frame picture draws the remark's box, border and corners: the view shows it through.
    m_remark->setBackgroundColor(ui::Color::clear());
    m_remark->setAccessibilityLabel(QStringLiteral("反馈意见"));
    showPlaceholder();
    view()->addSubview(m_remark);

    // The contact field has no inset of its own: it stands as far in as the remark's text, so
    // its text lies inside the box the frame picture draws for it rather than on its edge.
    const double contactInset = 1 + kRemarkTextInset;
    m_contact = ui::TextField::create(ui::Rect(b.x() + contactInset, b.y() + 1 + remarkHeight + 15 * k,
                                               b.width() - 2 * contactInset, b.height() / 4 * 0.8 - 2));
    m_contact->setBorderStyle(ui::TextBorderStyle::None);
    m_contact->setReturnKeyType(ui::ReturnKeyType::Go);
    m_contact->setPlaceholder(QStringLiteral("练习方式：QQ／邮箱／手机号"));
    m_contact->setAccessibilityLabel(QStringLiteral("联系方式"));
    m_contact->setDelegate(self);
    m_contact->setFont(ui::Font::systemFont(14 * k));
    view()->addSubview(m_contact);

    m_submit = ImageButton::create(QStringLiteral("feedback_submit"), QStringLiteral("提交"));
    const ui::Size size = m_submit->frame().size;
    m_submit->setFrame(ui::Rect((W - size.width) / 2, b.maxY() + 20, size.width, size.height));
    m_submit->addTarget(self, &FeedViewController::submitClick, ui::ControlEvent::TouchUpInside);
    view()->addSubview(m_submit);
}

void FeedViewController::showPlaceholder()
{
    // The back action lets go of the box before removing it, and the removal ends its editing.
    if (!m_remark)
        return;
    m_remark->setText(QString::fromUtf8(kPlaceholder));
    m_remark->setTextColor(CommonUtil::UIColorFromRGB(kPlaceholderColor));
    m_showingPlaceholder = true;
}

bool FeedViewController::textViewShouldBeginEditing(ui::TextView& textView)
{
    // The words are the box's look while it is untouched, never what the user wrote.
    if (m_showingPlaceholder) {
        textView.setText(QString());
        textView.setTextColor(CommonUtil::UIColorFromRGB(0x000000));
        m_showingPlaceholder = false;
    }
    return true;
}

void FeedViewController::textViewDidEndEditing(ui::TextView& textView)
{
    if (textView.text().isEmpty())
        showPlaceholder();
}

bool FeedViewController::shouldChangeTextInRange(ui::TextView&, ui::TextRange, const QString& text)
{
    if (text != QLatin1String("\n"))
        return true;
    m_contact->becomeFirstResponder();
    return false;
}

bool FeedViewController::shouldChangeCharactersInRange(ui::TextField& field, ui::TextRange, const QString& string)
{
    if (string != QLatin1String("\n"))
        return true;
    // This Return sends: while the wait overlay keeps fingers off the submit button, it keeps
    // the key from storing the feedback a second time too.
    if (ServerRequest::isUnderWay(m_request))
        return false;
    auto self = shared_from_this();
    m_submit->sendActionsForControlEvents(ui::ControlEvent::TouchUpInside);
    field.resignFirstResponder();
    return false;
}

QString FeedViewController::failedCheck()
{
    if (!CommonUtil::getAccount())
        return QStringLiteral("请先登录？？");
    if (m_showingPlaceholder || m_remark->text().isEmpty()) {
        m_remark->becomeFirstResponder();
        return QStringLiteral("请输入反馈意见？？");
    }
    if (m_contact->text().isEmpty()) {
        m_contact->becomeFirstResponder();
        return QStringLiteral("请输入联系方式？？");
    }
    return QString();
}

void FeedViewController::submitClick(const std::shared_ptr<ui::Control>&)
{
    const QString failure = failedCheck();
    if (!failure.isEmpty()) {
        CommonUtil::errorAlert(failure, view());
        return;
    }
    send();
}

void FeedViewController::send()
{
    // An account without a name sends an empty one rather than a made-up word.
    const QString name = core::Record::screenText(core::Record::value(*CommonUtil::getAccount(), "username"));
    const core::FormBody body{{QStringLiteral("rmark"), m_remark->text()},
                              {QStringLiteral("contact"), m_contact->text()},
                              {QStringLiteral("userAccount"), name}};
    auto self = std::static_pointer_cast<FeedViewController>(shared_from_this());
    m_request = ServerRequest::send(QStringLiteral("exam/feedback_add"), body, 0, view(), self);
}

void FeedViewController::requestDidFinish(ServerRequest&)
{
    // Closed by its back button while the request ran.
    if (!m_remark)
        return;
    // Only a status-200 reply arrives here: anything else left the form and its texts as they were.
    CommonUtil::errorAlert(QStringLiteral("反馈意见提交成功，我们尽快处理"), view());
    dismissViewController(true, [] {});
}

void FeedViewController::releaseReferences()
{
    m_request.reset();
    m_remark.reset();
    m_contact.reset();
    m_submit.reset();
}
