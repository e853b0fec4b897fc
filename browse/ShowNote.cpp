#include "browse/ShowNote.h"

#include "appbase/CommonUtil.h"
#include "appbase/ServerRequest.h"
#include "platform/core/Bundle.h"
#include "platform/core/FormBody.h"
#include "platform/core/Log.h"
#include "platform/core/Record.h"
#include "platform/ui/Label.h"
#include "platform/ui/NibBindings.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/WebView.h"

std::shared_ptr<ShowNote> ShowNote::create()
{
    return std::shared_ptr<ShowNote>(new ShowNote());
}

ShowNote::ShowNote()
    : LayoutViewController(QStringLiteral("ShowNote"))
{
}

void ShowNote::bindOutlets(ui::NibBindings& bindings)
{
    bindings.outlet(QStringLiteral("ctitle"), m_ctitle).outlet(QStringLiteral("webView"), m_webView);
}

QUrl ShowNote::noteBaseUrl()
{
    return QUrl::fromLocalFile(core::Bundle::resourcePath() + QLatin1Char('/'));
}

void ShowNote::viewDidLoad()
{
    LayoutViewController::viewDidLoad();
    setUpWebView();
    if (m_ctitle)
        m_ctitle->setText(m_chapterName);
    const core::FormBody body{{QStringLiteral("subjectCode"), CommonUtil::getSubjectCode().value_or(QString())},
                              {QStringLiteral("chapterId"), m_chapterId}};
    core::log(QStringLiteral("ShowNote"), QStringLiteral("subjectCode=%1&chapterId=%2")
                                              .arg(CommonUtil::getSubjectCode().value_or(QString()), m_chapterId));
    auto self = std::static_pointer_cast<ShowNote>(shared_from_this());
    m_request = ServerRequest::send(QStringLiteral("exam/note_get"), body, 0, view(), self);
}

void ShowNote::setUpWebView()
{
    if (!m_webView)
        return;
    m_webView->setBackgroundColor(ui::Color::clear());
    m_webView->setOpaque(false);
    m_webView->scrollView()->setShowsHorizontalScrollIndicator(false);
    m_webView->scrollView()->setShowsVerticalScrollIndicator(false);
    m_webView->scrollView()->setBounces(false);
}

bool ShowNote::isLoading() const
{
    return m_request && m_request->isRunning();
}

void ShowNote::requestDidFinish(ServerRequest& request)
{
    // A note that is not there in the expected shape shows an empty page.
    const QJsonValue remark = core::Record::value(
        core::Record::object(core::Record::value(request.json().value_or(QJsonValue()), "data")), "remark");
    const QString html = remark.isString() ? remark.toString() : QString();
    core::log(QStringLiteral("ShowNote"), html + QStringLiteral("=="));
    if (m_webView)
        m_webView->loadHTMLString(html, noteBaseUrl());
}
