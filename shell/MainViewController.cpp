#include "shell/MainViewController.h"

#include "components/sidepanel/SidePanelController.h"
#include "platform/core/FormBody.h"
#include "platform/core/Random.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"
#include "appbase/CommonUtil.h"
#include "appbase/ImageButton.h"
#include "appbase/ServerRequest.h"
#include "browse/NoteDirView.h"
#include "browse/RecordViewController.h"
#include "browse/SpecialViewController.h"
#include "practice/ExamStartViewController.h"
#include "practice/PaperViewController.h"
#include "shell/account/LoginViewController.h"
#include "shell/account/SystemViewController.h"

std::shared_ptr<MainViewController> MainViewController::create()
{
    return std::shared_ptr<MainViewController>(new MainViewController());
}

void MainViewController::viewDidLoad()
{
    ui::ViewController::viewDidLoad();
    // Every launch starts with the first style; a chosen style lasts until the next one.
    CommonUtil::setStyle(1);
    m_bgView = ui::ImageView::create(ui::Rect(0, 0, CommonUtil::getSysWidth(), CommonUtil::getSysHeight()));
    view()->addSubview(m_bgView);
    view()->sendSubviewToBack(m_bgView);
    showBgView();
    addLogo();
    addButtons();
    checkGuestAccount();
}

void MainViewController::showBgView()
{
    if (!m_bgView)
        return;
    switch (CommonUtil::getStyle()) {
    case 1:
        m_bgView->setImage(ui::Image::named(CommonUtil::getImageName("main_bg01", ".png")));
        break;
    case 2:
        m_bgView->setImage(ui::Image::named(CommonUtil::getImageName("main_bg02", ".png")));
        break;
    case 3:
        m_bgView->setImage(ui::Image::named(CommonUtil::getImageName("main_bg03", ".png")));
        break;
    case 4:
        m_bgView->setImage(ui::Image::named(CommonUtil::getImageName("main_bg04", ".png")));
        break;
    default:
        break;
    }
}

void MainViewController::addLogo()
{
    const ui::Image logo = ui::Image::named("qvlogo");
    const ui::Size size = CommonUtil::scaledSize(logo, CommonUtil::getScale());
    auto logoView = ui::ImageView::create(ui::Rect((CommonUtil::getSysWidth() - size.width) / 2, 50, size.width,
                                                   size.height));
    logoView->setImage(logo);
    view()->addSubview(logoView);
}

void MainViewController::addButtons()
{
    const double W = CommonUtil::getSysWidth();
    const double H = CommonUtil::getSysHeight();
    auto self = std::static_pointer_cast<MainViewController>(shared_from_this());
    auto wire = [&self](const std::shared_ptr<ui::Button>& button, Action action) {
        button->addTarget(self, action, ui::ControlEvent::TouchUpInside);
    };

    // Bottom row: the inner columns 3 points either side of the centre line, the outer ones
    // 6 points further out, 25 points above the bottom.
    auto note = makeButton(CommonUtil::getImageName("main_regster_btn01", ".png"));
    place(*note, W / 2 + 3, H - height(*note) - 25, QStringLiteral("备考专区"));
    wire(note, &MainViewController::noteClick);

    auto sys = makeButton(CommonUtil::getImageName("systemset_btn_01", ".png"));
    place(*sys, note->frame().maxX() + 6, H - height(*sys) - 25, QStringLiteral("系统设置"));
    wire(sys, &MainViewController::sysClick);

    auto login = makeButton(CommonUtil::getImageName("main_login_btn01", ".png"));
    place(*login, W / 2 - width(*login) - 3, H - height(*login) - 25, QStringLiteral("用户登陆"));
    wire(login, &MainViewController::loginClick);

    auto select = makeButton(CommonUtil::getImageName("select_btn_01", ".png"));
    place(*select, login->frame().x() - width(*select) - 6, H - height(*select) - 25, QStringLiteral("课程选择"));
    wireSubjectButton(*select);

    // Upper row: its lower edge 25 points above the bottom row's top, captions in the gap.
    auto zt = makeButton(CommonUtil::getImageName("zt_btn_01", ".png"));
    const double upperY = note->frame().y() - 25 - height(*zt);
    place(*zt, W / 2 + 3, upperY, QStringLiteral("历年真题"));
    wire(zt, &MainViewController::ztClick);

    auto ct = makeButton(CommonUtil::getImageName("ct_btn_01", ".png"));
    place(*ct, zt->frame().maxX() + 6, upperY, QStringLiteral("错题收藏"));
    wire(ct, &MainViewController::ctClick);

    auto csj = makeButton(CommonUtil::getImageName("csj_btn_01", ".png"));
    place(*csj, W / 2 - width(*csj) - 3, upperY, QStringLiteral("模拟押题"));
    wire(csj, &MainViewController::csjClick);

    auto zx = makeButton(CommonUtil::getImageName("zx_btn_01", ".png"));
    place(*zx, csj->frame().x() - width(*zx) - 6, upperY, QStringLiteral("专项练习"));
    wire(zx, &MainViewController::zxClick);
}

void MainViewController::wireSubjectButton(ui::Button& button)
{
    auto container = SidePanelController::of(*this);
    if (!container)
        return;
    std::weak_ptr<SidePanelController> weak = container;
    button.addTarget(container, [weak](const std::shared_ptr<ui::Control>&) {
        if (auto c = weak.lock())
            c->toggleLeftView();
    }, ui::ControlEvent::TouchUpInside);
}

std::shared_ptr<ui::Button> MainViewController::makeButton(const QString& imageName)
{
    // Captioned later, where the button is placed.
    auto button = ImageButton::create(ui::Image::named(imageName), QString());
    view()->addSubview(button);
    return button;
}

void MainViewController::place(ui::Button& button, double x, double y, const QString& caption)
{
    button.setFrame(ui::Rect(x, y, width(button), height(button)));
    button.setAccessibilityLabel(caption);
    addCaption(button, caption);
}

double MainViewController::width(const ui::View& view)
{
    return view.frame().width();
}

double MainViewController::height(const ui::View& view)
{
    return view.frame().height();
}

void MainViewController::addCaption(const ui::Button& button, const QString& caption)
{
    const ui::Rect b = button.frame();
    auto label = ui::Label::create(ui::Rect(b.x(), b.y() + b.height() + 2, b.width(), 20));
    label->setText(caption);
    label->setFont(ui::Font::boldSystemFont(14));
    label->setTextAlignment(ui::TextAlignment::Center);
    view()->addSubview(label);
}

// --- Delegate methods ----------------------------------------------------------------------

void MainViewController::showMainStyle()
{
    showBgView();
}

void MainViewController::loginOk()
{
    CommonUtil::saveData();
    CommonUtil::errorAlert(QStringLiteral("登录成功！"), view());
}

void MainViewController::selectSubject()
{
    CommonUtil::saveData();
}

// --- Actions -------------------------------------------------------------------------------

bool MainViewController::passesContentGuard()
{
    if (!CommonUtil::getAccount()) {
        CommonUtil::errorAlert(QStringLiteral("请先登录"), view());
        return false;
    }
    if (!CommonUtil::hasSubjectCode()) {
        CommonUtil::errorAlert(QStringLiteral("请选择科目"), view());
        return false;
    }
    return true;
}

// The screens behind these buttons arrive with their own subsystems; until then a tap that
// passes the guard opens nothing.
void MainViewController::noteClick(const std::shared_ptr<ui::Control>&)
{
    if (!passesContentGuard())
        return;
    presentViewController(NoteDirView::create(), true, [] {});
}

void MainViewController::ztClick(const std::shared_ptr<ui::Control>&)
{
    if (!passesContentGuard())
        return;
    auto papers = PaperViewController::create();
    papers->setType(0);
    presentViewController(papers, true, [] {});
}

void MainViewController::csjClick(const std::shared_ptr<ui::Control>&)
{
    if (!passesContentGuard())
        return;
    auto papers = PaperViewController::create();
    papers->setType(1);
    presentViewController(papers, true, [] {});
}

void MainViewController::zxClick(const std::shared_ptr<ui::Control>&)
{
    if (!passesContentGuard())
        return;
    presentViewController(SpecialViewController::create(), true, [] {});
}

void MainViewController::ctClick(const std::shared_ptr<ui::Control>&)
{
    if (!passesContentGuard())
        return;
    presentViewController(RecordViewController::create(), true, [] {});
}

void MainViewController::ksClick(const std::shared_ptr<ui::Control>&)
{
    if (!passesContentGuard())
        return;
    auto exam = ExamStartViewController::create();
    exam->setType(4);
    presentViewController(exam, true, nullptr);
}

void MainViewController::zjClick(const std::shared_ptr<ui::Control>&)
{
    if (!passesContentGuard())
        return;
    auto exam = ExamStartViewController::create();
    exam->setType(5);
    presentViewController(exam, true, nullptr);
}

void MainViewController::sysClick(const std::shared_ptr<ui::Control>&)
{
    presentViewController(SystemViewController::create(), true, [] {});
}

void MainViewController::loginClick(const std::shared_ptr<ui::Control>&)
{
    auto login = LoginViewController::create();
    login->setDelegate(std::static_pointer_cast<MainViewController>(shared_from_this()));
    presentViewController(login, true, [] {});
}

void MainViewController::selectClick(const std::shared_ptr<ui::Control>&) {}

// --- Guest account -------------------------------------------------------------------------

void MainViewController::checkGuestAccount()
{
    if (CommonUtil::getAccount())
        return;
    auto self = std::static_pointer_cast<MainViewController>(shared_from_this());
    m_accountRequest = ServerRequest::send(QStringLiteral("exam/checkyk"), core::FormBody(), CheckGuestTag, view(),
                                           self, ServerRequest::Overlay::None);
}

void MainViewController::registerGuest()
{
    const QString name = QStringLiteral("yk_%1%2").arg(ret32bitString()).arg(getRandomNumber(100000, 100000000));
    const core::FormBody body{{QStringLiteral("account"), name},
                              {QStringLiteral("pwd"), QString::fromLatin1(kGuestPassword)}};
    auto self = std::static_pointer_cast<MainViewController>(shared_from_this());
    m_accountRequest = ServerRequest::send(QStringLiteral("user/register"), body, RegisterTag, view(), self,
                                           ServerRequest::Overlay::None);
}

void MainViewController::requestDidFinish(ServerRequest& request)
{
    switch (request.tag()) {
    case CheckGuestTag:
        if (request.text() == QLatin1String("0"))
            registerGuest();
        break;
    case RegisterTag:
        keepGuestAccount(request);
        break;
    default:
        break;
    }
}

void MainViewController::keepGuestAccount(ServerRequest& request)
{
    const QString text = request.text();
    if (text == QLatin1String("1") || text == QLatin1String("2"))
        return;
    const auto reply = request.json();
    if (!reply || !reply->isObject())
        return;
    CommonUtil::setAccount(reply->toObject());
    // Saved at once: a guest lost on quit would leave its error book behind on the server.
    CommonUtil::saveData();
}

QString MainViewController::ret32bitString()
{
    QString letters;
    for (int i = 0; i < 5; ++i)
        letters.append(QChar(u'A' + core::Random::uniform(26)));
    return letters;
}

int MainViewController::getRandomNumber(int from, int to)
{
    const auto span = static_cast<std::uint32_t>(to - from + 1);
    return from + static_cast<int>(core::Random::next() % span);
}
