#include "tests/support/AppTest.h"
#include "tests/support/HandServer.h"

#include "appbase/CommonUtil.h"
#include "components/hud/ProgressHUD.h"
#include "platform/core/RunLoop.h"
#include "platform/core/Settings.h"
#include "platform/ui/Application.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TouchInjector.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "server/ServerInstance.h"
#include "tests/support/HttpTestClient.h"
#include "tests/support/ViewSearch.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cmath>

AppTest::AppTest() : UiFixture(Clock::Real) {}
AppTest::~AppTest() = default;

void AppTest::SetUp()
{
    UiFixture::SetUp();
    ASSERT_TRUE(m_dataDir.isValid());
    core::Settings::setDataFolder(m_dataDir.path());
    CommonUtil::resetState();
}

void AppTest::TearDown()
{
    UiFixture::TearDown();
    CommonUtil::resetState();
    qunsetenv(CommonUtil::kServiceUrlVariable);
    m_sampleServer.reset();
}

server::ServerInstance& AppTest::startSampleServer()
{
    if (m_sampleServer)
        return *m_sampleServer;
    m_sampleServer = std::make_unique<server::ServerInstance>();
    QString error;
    if (!m_sampleServer->startTemporary(server::ServerOptions::Seed::Sample, &error))
        ADD_FAILURE() << "sample server did not start: " << error.toStdString();
    useServer(m_sampleServer->baseUrl());
    return *m_sampleServer;
}

QJsonDocument AppTest::post(const server::ServerInstance& server, const QString& path, const core::FormBody& body)
{
    HttpTestClient client(server.host().toStdString(), server.port());
    const auto reply = client.post(("/PendarWeb/" + path).toStdString(), body.encoded().toStdString(),
                                   core::FormBody::ContentType);
    return QJsonDocument::fromJson(reply.status == 200 ? QByteArray::fromStdString(reply.body) : QByteArray());
}

server::ServerInstance& AppTest::startSignedIn()
{
    server::ServerInstance& server = startSampleServer();
    const QJsonObject account =
        post(server, "user/register", core::FormBody().add("account", "tester").add("pwd", "secret1")).object();
    if (account.isEmpty())
        ADD_FAILURE() << "could not register the test user";
    CommonUtil::setAccount(account);

    const QJsonArray types = post(server, "exam/subject_type_list").array();
    const QJsonArray subjects = types.first().toObject().value("TSubjects").toArray();
    const QJsonValue code = subjects.first().toObject().value("code");
    if (code.isUndefined())
        ADD_FAILURE() << "the sample bank has no subject";
    CommonUtil::setSubjectCode(code.isString() ? code.toString() : QString::number(code.toInteger()));
    return server;
}

std::shared_ptr<ui::View> AppTest::findByLabel(const std::shared_ptr<ui::View>& root, const QString& label)
{
    return views::findByLabel(root, label);
}

bool AppTest::tapLabel(const std::shared_ptr<ui::View>& root, const QString& label)
{
    const auto view = findByLabel(root, label);
    return view && ui::TouchInjector::tap(*view);
}

bool AppTest::shows(const std::shared_ptr<ui::View>& root, const QString& text)
{
    if (!root)
        return false;
    const auto label = std::dynamic_pointer_cast<ui::Label>(root);
    if ((label && label->text() == text) || root->accessibilityLabel() == text)
        return true;
    return std::any_of(root->subviews().begin(), root->subviews().end(),
                       [&](const auto& child) { return shows(child, text); });
}

std::shared_ptr<ui::ViewController> AppTest::settledOver(const std::shared_ptr<ui::ViewController>& below,
                                                         const std::function<bool(const ui::ViewController&)>& wanted)
{
    std::shared_ptr<ui::ViewController> screen;
    const bool settled = pumpUntil([&] {
        screen = below->presentedViewController();
        return screen && wanted(*screen) && screen->isAppeared() && !screen->isTransitioning()
            && overlaysGone(screen->view());
    });
    return settled ? screen : nullptr;
}

bool AppTest::closes(const std::weak_ptr<ui::ViewController>& screen)
{
    return pumpUntil([&] {
        const auto s = screen.lock();
        return !s || (!s->presentingViewController() && !s->isTransitioning());
    });
}

void AppTest::useServer(const QString& baseUrl)
{
    qputenv(CommonUtil::kServiceUrlVariable, baseUrl.toUtf8());
}

QString AppTest::refusingServerUrl()
{
    return HandServer::deadUrl(QStringLiteral("/PendarWeb/")).toString();
}

bool AppTest::pumpUntil(const std::function<bool()>& done, double seconds)
{
    return core::RunLoop::main().runUntil(done, seconds);
}

QJsonValue AppTest::stored(const QString& key) const
{
    QFile file(core::Settings::standard().filePath());
    if (!file.open(QIODevice::ReadOnly))
        return QJsonValue::Undefined;
    return QJsonDocument::fromJson(file.readAll()).object().value(key);
}

QStringList AppTest::toastTexts(const std::shared_ptr<ui::View>& view)
{
    QStringList texts;
    for (const auto& hud : ProgressHUD::allHUDsForView(view)) {
        if (hud->mode() == ProgressHUDMode::Text)
            texts << hud->labelText();
    }
    return texts;
}

bool AppTest::overlaysGone(const std::shared_ptr<ui::View>& view)
{
    for (const auto& hud : ProgressHUD::allHUDsForView(view)) {
        if (hud->mode() != ProgressHUDMode::Text && !hud->isHidden() && hud->alpha() > 0)
            return false;
    }
    return true;
}

std::shared_ptr<ui::Window> AppTest::windowWith(const std::shared_ptr<ui::View>& view)
{
    auto window = ui::Window::create(ui::Screen::main().bounds());
    window->addSubview(view);
    window->makeKeyAndVisible();
    window->layoutIfNeeded();
    return window;
}

testing::AssertionResult AppTest::sameRect(const ui::Rect& actual, const ui::Rect& expected)
{
    const double a[] = {actual.x(), actual.y(), actual.width(), actual.height()};
    const double e[] = {expected.x(), expected.y(), expected.width(), expected.height()};
    if (std::equal(a, a + 4, e, [](double x, double y) { return std::abs(x - y) <= 1e-6; }))
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "frame (" << a[0] << ", " << a[1] << ", " << a[2] << ", " << a[3]
                                       << ") is not (" << e[0] << ", " << e[1] << ", " << e[2] << ", " << e[3] << ")";
}
