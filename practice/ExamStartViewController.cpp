#include "practice/ExamStartViewController.h"

#include "appbase/CommonUtil.h"
#include "appbase/ImageButton.h"
#include "appbase/ServerRequest.h"
#include "platform/core/Dispatch.h"
#include "platform/core/Log.h"
#include "platform/core/Record.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Layer.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/WebView.h"
#include "practice/ExamBookRequest.h"
#include "practice/ExamGrading.h"
#include "practice/ExamListRequest.h"
#include "practice/ExamPage.h"
#include "practice/ReportViewController.h"

#include <algorithm>
#include <cmath>

namespace {

const QString kLogCategory = QStringLiteral("ExamStartViewController");

ui::Image bundleImage(const QString& name)
{
    return ui::Image::named(CommonUtil::getImageName(name, QStringLiteral(".png")));
}

} // namespace

std::shared_ptr<ExamStartViewController> ExamStartViewController::create()
{
    return std::shared_ptr<ExamStartViewController>(new ExamStartViewController());
}

ExamStartViewController::ExamStartViewController()
    : ChromeViewController(QString(), Dismissal::Immediate)
{
}

ExamStartViewController::~ExamStartViewController() = default;

std::shared_ptr<ExamStartViewController> ExamStartViewController::self()
{
    return std::static_pointer_cast<ExamStartViewController>(shared_from_this());
}

std::shared_ptr<ExamPage> ExamStartViewController::examPage(int index) const
{
    if (index < 0 || index >= pageCount())
        return nullptr;
    return m_pages[static_cast<std::size_t>(index)];
}

// --- Set-up -------------------------------------------------------------------------------

void ExamStartViewController::viewDidLoad()
{
    ChromeViewController::viewDidLoad();
    m_addErrorArr.clear();
    addToolbar();
    addTitleStrip();
    sendListRequest();
    addNumberLabel();
    chooseFontSize();
}

std::shared_ptr<ui::Button> ExamStartViewController::addToolButton(
    const QString& imageName, double x, void (ExamStartViewController::*action)(const std::shared_ptr<ui::Control>&))
{
    const ui::Image image = bundleImage(imageName);
    const ui::Size size = CommonUtil::scaledSize(image, CommonUtil::getScale());
    auto button = ui::Button::create(ui::ButtonType::Custom);
    ImageButton::style(*button, image);
    button->setFrame(ui::Rect(x, (contentTop() - size.height) / 2, size.width, size.height));
    button->addTarget(self(), action, ui::ControlEvent::TouchUpInside);
    view()->addSubview(button);
    return button;
}

void ExamStartViewController::addToolbar()
{
    const double w = CommonUtil::getSysWidth();
    const bool fromBook = m_type > 5;
    const QString keepImage = fromBook ? QStringLiteral("delerror") : QStringLiteral("keep");
    const double keepWidth = CommonUtil::scaledSize(bundleImage(keepImage), CommonUtil::getScale()).width;
    m_keepButton = addToolButton(keepImage, (w / 2 - keepWidth) / 2, &ExamStartViewController::keepClick);
    m_keepButton->setAccessibilityLabel(fromBook ? QStringLiteral("删除") : QStringLiteral("收藏"));

    const double cardWidth = CommonUtil::scaledSize(bundleImage(QStringLiteral("answer_card")), CommonUtil::getScale()).width;
    m_cardButton = addToolButton(QStringLiteral("answer_card"), w / 2 - std::floor(cardWidth / 2),
                                 &ExamStartViewController::cardClick);
    m_cardButton->setAccessibilityLabel(QStringLiteral("答题卡"));

    const double analyzeWidth = CommonUtil::scaledSize(bundleImage(QStringLiteral("open_analyze")), CommonUtil::getScale()).width;
    m_analyzeButton = addToolButton(QStringLiteral("open_analyze"), (w / 2 - analyzeWidth) / 2 + w / 2,
                                    &ExamStartViewController::openAnalyze);
    m_analyzeButton->setAccessibilityLabel(QStringLiteral("解析"));
}

void ExamStartViewController::addTitleStrip()
{
    const double h = CommonUtil::getSysHeight();
    const ui::Image strip = bundleImage(QStringLiteral("exam_02"));
    const ui::Size size = CommonUtil::axisScaledSize(strip);
    auto stripView = ui::ImageView::create(ui::Rect(0, h / 7, size.width, size.height));
    stripView->setImage(strip);
    view()->addSubview(stripView);

    m_etitle = ui::Label::create(ui::Rect(CommonUtil::designSize(20), h / 7, 4 * CommonUtil::getSysWidth() / 5 - 10, size.height));
    m_etitle->setFont(ui::Font::boldSystemFont(CommonUtil::designSize(18)));
    m_etitle->setTextAlignment(ui::TextAlignment::Left);
    m_etitle->setNumberOfLines(2);
    m_etitle->setBackgroundColor(ui::Color::clear());
    view()->addSubview(m_etitle);
}

void ExamStartViewController::sendListRequest()
{
    const auto list = ExamListRequest::forKind(m_type, m_data, m_errorType, m_keepCode);
    if (!list) {
        // No list exists for this kind: the run is empty, with its answer card alone.
        core::log(kLogCategory, QStringLiteral("no question list for practice kind %1").arg(m_type));
        core::post([weak = std::weak_ptr<ExamStartViewController>(self())] {
            if (auto screen = weak.lock())
                screen->handleListReply(std::nullopt);
        });
        return;
    }
    m_etitle->setText(list->title());
    m_listRequest = ServerRequest::send(list->path(), list->body(), ListTag, view(), self());
}

void ExamStartViewController::addNumberLabel()
{
    const ui::Rect title = m_etitle->frame();
    m_examCount = ui::Label::create(ui::Rect(title.origin.x + title.size.width, title.origin.y,
                                             CommonUtil::getSysWidth() / 15, title.size.height));
    m_examCount->setFont(m_etitle->font());
    m_examCount->setTextAlignment(ui::TextAlignment::Right);
    m_examCount->setTextColor(CommonUtil::UIColorFromRGB(0x6FD7FD));
    m_examCount->setText(QStringLiteral("1"));
    m_examCount->setBackgroundColor(ui::Color::clear());
    view()->addSubview(m_examCount);
}

void ExamStartViewController::chooseFontSize()
{
    switch (CommonUtil::getFont()) {
    case 1:
        m_fontsize = 20;
        break;
    case 2:
        m_fontsize = 24;
        break;
    default:
        m_fontsize = 16;
        break;
    }
}

void ExamStartViewController::viewWillDisappear(bool)
{
    view()->layer()->removeAllAnimations();
}

// --- Replies ------------------------------------------------------------------------------

void ExamStartViewController::requestDidFinish(ServerRequest& request)
{
    auto keepAlive = self();
    switch (request.tag()) {
    case ListTag:
        if (&request == m_listRequest.get())
            handleListReply(request.json());
        break;
    case FavouriteTag:
        CommonUtil::errorAlert(QStringLiteral("收藏成功"), view());
        break;
    case DeleteTag:
        CommonUtil::errorAlert(QStringLiteral("删除成功"), view());
        break;
    case UploadTag:
        uploadFinished(request);
        break;
    default:
        break;
    }
}

void ExamStartViewController::requestDidFail(ServerRequest& request)
{
    auto keepAlive = self();
    if (request.tag() == UploadTag) {
        uploadFinished(request);
        return;
    }
    // An error page in place of the list leaves an empty run; a refused connection leaves
    // the chrome alone, as nothing came back at all.
    if (request.tag() == ListTag && &request == m_listRequest.get() && request.statusCode() != 0)
        handleListReply(std::nullopt);
}

// --- Pages --------------------------------------------------------------------------------

void ExamStartViewController::handleListReply(const std::optional<QJsonValue>& reply)
{
    if (m_viewGroup)
        return;
    m_examArr = QJsonArray();
    m_pages.clear();
    for (const QJsonValue& element : core::Record::array(reply.value_or(QJsonValue()))) {
        if (!element.isObject())
            continue;
        m_pages.push_back(std::make_shared<ExamPage>(static_cast<int>(m_examArr.size()), element.toObject()));
        m_examArr.append(element);
    }

    const ui::Rect number = m_examCount->frame();
    m_countLabel = ui::Label::create(ui::Rect(number.origin.x + number.size.width, number.origin.y,
                                              2 * CommonUtil::getSysWidth() / 15, number.size.height));
    m_countLabel->setFont(m_examCount->font());
    m_countLabel->setTextAlignment(ui::TextAlignment::Left);
    m_countLabel->setTextColor(ui::Color::black());
    m_countLabel->setBackgroundColor(ui::Color::clear());
    m_countLabel->setText(QStringLiteral(" | %1").arg(m_examArr.size()));
    view()->addSubview(m_countLabel);

    const double top = number.origin.y + number.size.height;
    m_viewGroup = ui::ScrollView::create(ui::Rect(0, top, CommonUtil::getSysWidth(), CommonUtil::getSysHeight() - top));
    m_viewGroup->setShowsHorizontalScrollIndicator(false);
    m_viewGroup->setShowsVerticalScrollIndicator(false);
    m_viewGroup->setPagingEnabled(true);
    if (!m_pages.empty())
        buildPage(0);
    buildAnswerCard();
    const ui::Size group = m_viewGroup->frame().size;
    m_viewGroup->setContentSize(ui::Size((pageCount() + 1) * group.width, group.height));
    m_viewGroup->setDelegate(self());
    view()->addSubview(m_viewGroup);
}

void ExamStartViewController::buildPage(int index)
{
    auto page = examPage(index);
    if (!page || page->page())
        return;
    const ui::Size group = m_viewGroup->frame().size;
    page->build(ui::Rect(index * group.width, 0, group.width, group.height), m_fontsize, self());
    m_viewGroup->addSubview(page->page());
}

void ExamStartViewController::buildAnswerCard()
{
    const ui::Size group = m_viewGroup->frame().size;
    const int n = pageCount();
    m_card = ui::ScrollView::create(ui::Rect(n * group.width, 0, group.width, group.height));
    m_card->setTag(CardTag);
    const ui::Image numberImage = bundleImage(QStringLiteral("exam_number"));
    const ui::Size button = CommonUtil::axisScaledSize(numberImage);
    const double gap = (m_card->frame().size.width - 10 * button.width) / 11;
    double bottom = 0;
    for (int i = 0; i < n; ++i) {
        const int column = i % 10;
        const int row = i / 10;
        auto numberButton = ui::Button::create(ui::ButtonType::Custom);
        numberButton->setFrame(ui::Rect(gap * (column + 1) + button.width * column, gap * (row + 1) + button.height * row,
                                        button.width, button.height));
        ImageButton::style(*numberButton, numberImage);
        numberButton->addTarget(self(), &ExamStartViewController::examNumClick, ui::ControlEvent::TouchUpInside);
        numberButton->setTag(i);
        auto label = ui::Label::create(ui::Rect(0, 0, button.width, button.height));
        label->setText(QString::number(i + 1));
        label->setFont(ui::Font::boldSystemFont(CommonUtil::designSize(14)));
        label->setTextColor(CommonUtil::UIColorFromRGB(0x6FD7FD));
        label->setTextAlignment(ui::TextAlignment::Center);
        numberButton->setAccessibilityLabel(QStringLiteral("第%1题").arg(i + 1));
        numberButton->addSubview(label);
        m_card->addSubview(numberButton);
        bottom = std::trunc(numberButton->frame().origin.y + button.height);
    }
    const ui::Image finishImage = bundleImage(QStringLiteral("answer_finish_btn"));
    const ui::Size finish = CommonUtil::axisScaledSize(finishImage);
    m_finishButton = ui::Button::create(ui::ButtonType::Custom);
    m_finishButton->setFrame(ui::Rect(m_card->frame().size.width / 2 - std::floor(finish.width / 2), bottom + 20,
                                      finish.width, finish.height));
    ImageButton::style(*m_finishButton, finishImage);
    m_finishButton->addTarget(self(), &ExamStartViewController::finishJobClick, ui::ControlEvent::TouchUpInside);
    m_finishButton->setTag(FinishTag);
    m_finishButton->setAccessibilityLabel(QStringLiteral("交卷"));
    m_card->addSubview(m_finishButton);
    m_card->setContentSize(ui::Size(m_card->frame().size.width, std::trunc(bottom + finish.height + 30)));
    m_viewGroup->addSubview(m_card);
}

std::shared_ptr<ExamPage> ExamStartViewController::pageOfView(const ui::View& view) const
{
    // A question view's tag is its index; check it first, then look through every page.
    if (auto hinted = examPage(view.tag()); hinted && hinted->questionView().get() == &view)
        return hinted;
    for (const auto& page : m_pages) {
        if (page->questionView().get() == &view || page->analysisView().get() == &view)
            return page;
    }
    return nullptr;
}

void ExamStartViewController::webViewDidFinishLoad(ui::WebView& webView)
{
    auto keepAlive = self();
    auto page = pageOfView(webView);
    if (!page)
        return;
    if (page->analysisView().get() == &webView) {
        ui::Rect frame = webView.frame();
        frame.size.height = webView.scrollView()->contentSize().height;
        webView.setFrame(frame);
        page->layout();
        return;
    }
    questionTextLoaded(*page, true);
}

void ExamStartViewController::didFailLoadWithError(ui::WebView& webView, const core::UrlError&)
{
    auto keepAlive = self();
    auto page = pageOfView(webView);
    // A text that cannot load counts as loaded and empty, so the pages after it still come.
    if (page && page->questionView().get() == &webView)
        questionTextLoaded(*page, false);
}

void ExamStartViewController::questionTextLoaded(ExamPage& page, bool loaded)
{
    if (page.textLoaded())
        return;
    page.setTextLoaded();
    buildPage(page.index() + 1);
    auto text = page.questionView();
    ui::Rect frame = text->frame();
    frame.size.height = loaded ? text->scrollView()->contentSize().height : 0;
    text->setFrame(frame);
    page.addWidgets(m_fontsize, self(), self());
}

std::shared_ptr<ExamPage> ExamStartViewController::pageOfWidgetTag(int tag) const
{
    return examPage(tag - ExamPage::WidgetTagBase);
}

void ExamStartViewController::replaseRadioGroupHeight(double, double, int tag)
{
    if (auto page = pageOfWidgetTag(tag))
        page->layout();
}

void ExamStartViewController::replaseCheckBoxGroupHeight(double, double, int tag)
{
    if (auto page = pageOfWidgetTag(tag))
        page->layout();
}

// --- Favourites and deletion ----------------------------------------------------------------

void ExamStartViewController::keepClick(const std::shared_ptr<ui::Control>&)
{
    if (m_pages.empty())
        return;
    const int index = std::clamp(currentNumber() - 1, 0, pageCount() - 1);
    const QJsonObject& question = m_pages[static_cast<std::size_t>(index)]->question();
    if (m_type > 5) {
        // A replayed practice record comes from no book entry: there is nothing to delete from.
        if (m_type == 10)
            return;
        ServerRequest::send(QString::fromLatin1(ExamBookRequest::DeletePath),
                            ExamBookRequest::deletionBody(question, m_keepCode), DeleteTag, view(), self(),
                            ServerRequest::Overlay::None);
        return;
    }
    ServerRequest::send(QString::fromLatin1(ExamBookRequest::KeepPath), ExamBookRequest::favouriteBody(question),
                        FavouriteTag, view(), self(), ServerRequest::Overlay::None);
}

// --- Grading and upload ------------------------------------------------------------------

void ExamStartViewController::finishJobClick(const std::shared_ptr<ui::Control>&)
{
    if (m_isSubmit)
        return;
    auto keepAlive = self();
    m_isSubmit = true;
    core::log(kLogCategory, QStringLiteral(" finishJobClick  addErrorArr.count====%1").arg(m_addErrorArr.size()));
    core::log(kLogCategory, QStringLiteral(" finishJobClick  examArr====%1").arg(m_examArr.size()));
    const ExamGrading grading = ExamGrading::grade(m_pages);
    m_errorArr = grading.flags;
    m_flagQuestions = grading.flagQuestions;
    m_scoure = grading.score;
    m_answerCount = grading.answerCount;
    m_addErrorArr = grading.wrongAnswers;
    if (!m_addErrorArr.isEmpty() && m_type >= 0 && m_type <= 3) {
        m_uploading = true;
        m_uploadOverlay = CommonUtil::startHttp(view(), self());
        addEroor();
        return;
    }
    m_addErrorArr.clear();
    presentReport();
}

void ExamStartViewController::addEroor()
{
    if (m_type < 0 || m_type > 3 || m_addErrorArr.isEmpty())
        return;
    core::log(kLogCategory, QStringLiteral("addErrorArr.count====%1").arg(m_addErrorArr.size()));
    const QJsonObject question = m_addErrorArr.takeFirst();
    // Quiet: the screen's own overlay covers the whole chain, and a lost upload is not the
    // user's concern. Every request reports its end, failed or not (an address that cannot be
    // reached fails from the run loop), so the chain always moves on.
    m_uploadRequest = ServerRequest::send(QString::fromLatin1(ExamBookRequest::KeepPath),
                                          ExamBookRequest::wrongAnswerBody(question), UploadTag, view(), self(),
                                          ServerRequest::Overlay::Quiet);
}

void ExamStartViewController::uploadFinished(ServerRequest& request)
{
    // Only the upload in flight moves the chain, so no other reply can end it twice.
    if (!m_uploading || &request != m_uploadRequest.get())
        return;
    m_uploadRequest.reset();
    if (!m_addErrorArr.isEmpty()) {
        addEroor();
        return;
    }
    presentReport();
}

void ExamStartViewController::presentReport()
{
    if (m_uploading) {
        m_uploading = false;
        CommonUtil::stopHttp(m_uploadOverlay);
        m_uploadOverlay.reset();
    }
    auto report = ReportViewController::create();
    report->setType(m_type != 0 ? 1 : 0);
    report->setRtitle(m_etitle->text());
    report->setExamArr(m_errorArr);
    report->setFlagQuestions(m_flagQuestions);
    report->setPaper(m_data);
    report->setScoure(m_scoure);
    report->setDelegate(self());
    report->setAnswerCount(m_answerCount);
    presentViewController(report, true, [] {});
}

// --- Analyses and navigation -----------------------------------------------------------------

int ExamStartViewController::currentNumber() const
{
    return core::Record::intValue(m_examCount->text());
}

void ExamStartViewController::moveToPage(int page)
{
    if (!m_viewGroup)
        return;
    m_viewGroup->setContentOffset(ui::Point(page * m_viewGroup->frame().size.width, m_viewGroup->contentOffset().y));
}

void ExamStartViewController::showNumber(int number)
{
    m_examCount->setText(QString::number(number));
}

void ExamStartViewController::showAnalyze(int index)
{
    if (m_pages.empty())
        return;
    auto page = examPage(index);
    if (!page || !page->page())
        return;
    page->showAnalysis(m_fontsize, self());
}

void ExamStartViewController::openAnalyze(const std::shared_ptr<ui::Control>&)
{
    showAnalyze(currentNumber() - 1);
}

void ExamStartViewController::cardClick(const std::shared_ptr<ui::Control>&)
{
    moveToPage(pageCount());
    showNumber(pageCount());
}

void ExamStartViewController::examNumClick(const std::shared_ptr<ui::Control>& sender)
{
    if (!sender)
        return;
    moveToPage(sender->tag());
    showNumber(sender->tag() + 1);
}

void ExamStartViewController::radioBtnClick(int tag)
{
    const int k = tag - ExamPage::WidgetTagBase;
    if (!examPage(k))
        return;
    if (CommonUtil::getIsShowAnalyze())
        showAnalyze(k);
    if (CommonUtil::getIsNext()) {
        moveToPage(k + 1);
        showNumber(k + 1 == pageCount() ? pageCount() : k + 2);
    }
}

int ExamStartViewController::pageOfFlag(int flag) const
{
    return flag >= 0 && flag < m_flagQuestions.size() ? m_flagQuestions[flag] : flag;
}

void ExamStartViewController::hideFinishButton()
{
    if (m_finishButton)
        m_finishButton->setHidden(true);
}

void ExamStartViewController::showAllAnalyze()
{
    moveToPage(0);
    showNumber(1);
    for (int i = 0; i < pageCount(); ++i)
        showAnalyze(i);
    hideFinishButton();
}

// A tile of the report: every analysis, as in the review of all, from that question's page.
void ExamStartViewController::showQuestionAnalyze(int index)
{
    showAllAnalyze();
    if (!examPage(index))
        return;
    moveToPage(index);
    showNumber(index + 1);
}

void ExamStartViewController::showErrorAnalyze()
{
    m_isShowError = true;
    bool found = false;
    for (int p = 0; p < m_errorArr.size(); ++p) {
        const int page = pageOfFlag(p);
        if (!found && m_errorArr[p] == QLatin1String("1")) {
            found = true;
            moveToPage(page);
            showNumber(page + 1);
        }
        showAnalyze(page);
    }
    hideFinishButton();
}

void ExamStartViewController::scrollViewDidEndDecelerating(ui::ScrollView& scrollView)
{
    if (!m_viewGroup || &scrollView != m_viewGroup.get())
        return;
    const double width = m_viewGroup->frame().size.width;
    const double x = m_viewGroup->contentOffset().x;
    const int page = static_cast<int>(std::ceil(static_cast<float>(x / width)));
    // With no wrong question there is nothing to skip to: the pages are numbered as they come.
    if (!m_isShowError || !m_errorArr.contains(QStringLiteral("1"))) {
        showNumber(page + 1 > pageCount() ? pageCount() : page + 1);
        return;
    }
    trackWrongOnlyPage(page, x);
}

void ExamStartViewController::trackWrongOnlyPage(int page, double offset)
{
    const int shown = currentNumber();
    const double width = m_viewGroup->frame().size.width;
    // The wrong questions' pages, in question order.
    QList<int> wrongPages;
    for (int p = 0; p < m_errorArr.size(); ++p) {
        if (m_errorArr[p] == QLatin1String("1"))
            wrongPages.append(pageOfFlag(p));
    }
    std::optional<int> target;
    if ((shown - 1) * width < offset) {
        for (int wrong : wrongPages) {
            if (wrong >= shown) {
                target = wrong;
                break;
            }
        }
    } else {
        for (auto it = wrongPages.crbegin(); it != wrongPages.crend(); ++it) {
            if (*it <= page) {
                target = *it;
                break;
            }
        }
    }
    // Nothing further that way: back to the wrong question shown before the swipe.
    const int destination = target.value_or(shown - 1);
    moveToPage(destination);
    showNumber(destination + 1);
}

// --- Leaving ------------------------------------------------------------------------------

void ExamStartViewController::releaseReferences()
{
    m_data = QJsonObject();
    for (const auto& page : m_pages)
        page->tearDown();
    if (m_uploading) {
        m_uploading = false;
        CommonUtil::stopHttp(m_uploadOverlay);
        m_uploadOverlay.reset();
    }
    m_addErrorArr.clear();
    m_pages.clear();
    if (m_viewGroup)
        m_viewGroup->setDelegate(nullptr);
    m_viewGroup.reset();
    m_card.reset();
    m_finishButton.reset();
    m_examArr = QJsonArray();
    m_errorArr.clear();
    m_flagQuestions.clear();
    m_listRequest.reset();
    m_uploadRequest.reset();
}
