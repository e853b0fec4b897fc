#include "platform/ui/WindowHost.h"

#include "platform/ui/ApplicationDelegate.h"
#include "platform/ui/Layer.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"
#include "platform/ui/Window.h"
#include "tests/support/UiFixture.h"
#include "tests/support/Keyboard.h"
#include "tests/support/Phones.h"
#include "tests/support/ViewPixels.h"
#include "support/ProbeView.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QInputMethod>
#include <QMouseEvent>

using namespace ui;
using uitest::ProbeView;

namespace {

class LifeCycleLog : public ApplicationDelegate {
public:
    QStringList log;
    bool didFinishLaunching(Application&) override { return true; }
    void applicationDidEnterBackground(Application&) override { log << "background"; }
    void applicationWillEnterForeground(Application&) override { log << "foreground"; }
    void applicationWillTerminate(Application&) override { log << "terminate"; }
};

class WindowHostTest : public UiFixture {
protected:
    void SetUp() override
    {
        UiFixture::SetUp();
        window = Window::create(Rect(0, 0, 200, 300));
        window->makeKeyAndVisible();
        view = ProbeView::create(Rect(50, 50, 100, 100));
        view->acceptsFirstResponder = true;
        window->addSubview(view);
        host = std::make_unique<WindowHost>(window);
    }

    void mouse(QEvent::Type type, QPointF p, Qt::MouseButton button = Qt::LeftButton)
    {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent event(type, p, p, button, held, Qt::NoModifier);
        QCoreApplication::sendEvent(host.get(), &event);
    }

    void key(int code, const QString& text = QString()) { keyboard::key(host.get(), code, text); }

    std::shared_ptr<Window> window;
    std::shared_ptr<ProbeView> view;
    std::unique_ptr<WindowHost> host;
};

} // namespace

TEST_F(WindowHostTest, TheLeftMouseButtonIsAFinger)
{
    EXPECT_EQ(host->size(), QSize(200, 300));
    mouse(QEvent::MouseMove, QPointF(60, 60), Qt::NoButton);      // hovering is no touch
    mouse(QEvent::MouseButtonPress, QPointF(60, 60), Qt::RightButton);
    mouse(QEvent::MouseButtonPress, QPointF(60, 60));
    mouse(QEvent::MouseMove, QPointF(70, 65));
    mouse(QEvent::MouseButtonRelease, QPointF(80, 70));
    EXPECT_EQ(view->touches, (QStringList{"began", "moved", "ended"}));
    EXPECT_EQ(view->touchedAt, (std::vector<Point>{{10, 10}, {20, 15}, {30, 20}}));
}

TEST_F(WindowHostTest, KeysGoToTheFirstResponder)
{
    key(Qt::Key_A, "a");   // nobody is first responder yet
    ASSERT_TRUE(view->becomeFirstResponder());
    key(Qt::Key_B, "b");
    key(Qt::Key_Backspace);
    key(Qt::Key_Return, "\r");
    key(Qt::Key_Shift);
    EXPECT_EQ(view->typed, (QStringList{"text:b", "delete", "text:\n"}));
}

// A border of half a point shows as one even line on each of its four sides in the desktop
// window, whatever the phone's scale and wherever between two pixels the box begins.
TEST_F(WindowHostTest, AThinBorderShowsOnAllFourSides)
{
    window->setBackgroundColor(Color::white());
    std::vector<std::shared_ptr<View>> boxes;
    for (const Rect& frame : {Rect(10, 10, 60, 40), Rect(80.25, 20.5, 60.5, 40.25), Rect(20.5, 120.75, 60.25, 40.5),
                              Rect(100.75, 130.25, 70.75, 50.75)}) {
        boxes.push_back(View::create(frame));
        boxes.back()->setBackgroundColor(Color::white());
        boxes.back()->layer()->setBorderColor(Color::gray());
        boxes.back()->layer()->setBorderWidth(0.5);
        window->addSubview(boxes.back());
    }
    for (const auto& [width, height, scale] : kPhones) {
        SCOPED_TRACE(scale);
        Screen::setMain({width, height}, scale);
        host = std::make_unique<WindowHost>(window);
        const QImage shown = pixels::shownOnTheDesktop(*host);
        ASSERT_EQ(shown.size(), QSize(200, 300) * host->devicePixelRatio());
        for (const auto& box : boxes) {
            SCOPED_TRACE(testing::PrintToString(box->frame().toQRectF()));
            const std::vector<int> sides = pixels::sideGreys(shown, pixels::pixelsOf(*box, host->devicePixelRatio()));
            const auto [strongest, faintest] = std::minmax_element(sides.begin(), sides.end());
            EXPECT_LE(*faintest - *strongest, 12) << "top, left, bottom, right: " << testing::PrintToString(sides);
            EXPECT_LT(*faintest, 215) << "every side shows: " << testing::PrintToString(sides);
        }
    }
}

// Each step of the life cycle is reported once.
TEST_F(WindowHostTest, HidingTheWindowEntersTheBackgroundAndQuittingLeavesItFirst)
{
    auto delegate = std::make_shared<LifeCycleLog>();
    Application::shared().setDelegate(delegate);
    host->show();
    host->hide();
    host->hide();
    host->show();
    EXPECT_EQ(Application::shared().state(), Application::State::Active);
    Application::shared().terminate();   // quitting from the foreground enters the background first
    Application::shared().terminate();
    EXPECT_EQ(delegate->log, (QStringList{"background", "foreground", "background", "terminate"}));
}

// Qt asks whether a window takes an input method only when the focus moves between its own
// windows. A field that starts editing in a window that already has the focus must switch
// the input method on itself, and say where its caret is, so that Chinese can be typed.
TEST_F(WindowHostTest, EditingInAFocusedWindowSwitchesTheInputMethodOn)
{
    host->show();
    host->requestActivate();
    QElapsedTimer waited;
    waited.start();
    while (QGuiApplication::focusWindow() != host.get() && waited.elapsed() < 5000)
        QCoreApplication::processEvents();
    ASSERT_EQ(QGuiApplication::focusObject(), host.get()) << "the offscreen platform gives the window the focus";

    int updates = 0;
    QObject::connect(QGuiApplication::inputMethod(), &QInputMethod::cursorRectangleChanged, host.get(), [&] { ++updates; });
    const auto ask = [&](Qt::InputMethodQuery what) {
        QInputMethodQueryEvent query(what);
        QCoreApplication::sendEvent(host.get(), &query);
        return query.value(what);
    };

    auto field = TextField::create(Rect(20, 160, 150, 30));
    auto textView = TextView::create(Rect(20, 200, 150, 80));
    window->addSubview(field);
    window->addSubview(textView);
    EXPECT_FALSE(ask(Qt::ImEnabled).toBool());
    for (const std::shared_ptr<View>& editor : {std::shared_ptr<View>(field), std::shared_ptr<View>(textView)}) {
        SCOPED_TRACE(editor == field ? "text field" : "text view");
        const int before = updates;
        ASSERT_TRUE(editor->becomeFirstResponder());
        EXPECT_GT(updates, before) << "the input method is told at once";
        EXPECT_TRUE(ask(Qt::ImEnabled).toBool());
        const QRectF empty = QGuiApplication::inputMethod()->cursorRectangle();
        EXPECT_TRUE(editor->frame().toQRectF().contains(empty.topLeft())) << "the caret, in window coordinates";
        EXPECT_GT(empty.height(), 0);

        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("中文"));
        const int beforeTyping = updates;
        QCoreApplication::sendEvent(host.get(), &commit);
        EXPECT_GT(updates, beforeTyping);
        const QRectF typed = QGuiApplication::inputMethod()->cursorRectangle();
        EXPECT_GT(typed.x(), empty.x() + 10) << "the caret follows the text";
        EXPECT_NEAR(typed.y(), empty.y(), 0.5);
    }
    EXPECT_EQ(field->text(), QStringLiteral("中文"));
    EXPECT_EQ(textView->text(), QStringLiteral("中文"));

    EXPECT_EQ(ask(Qt::ImHints).toInt() & (Qt::ImhHiddenText | Qt::ImhSensitiveData), 0);

    // A password is neither composed in clear nor remembered by the input method.
    auto secret = TextField::create(Rect(20, 300, 150, 30));
    secret->setSecureTextEntry(true);
    window->addSubview(secret);
    ASSERT_TRUE(secret->becomeFirstResponder());
    const auto hints = Qt::InputMethodHints(ask(Qt::ImHints).toInt());
    EXPECT_TRUE(hints.testFlags(Qt::ImhHiddenText | Qt::ImhSensitiveData | Qt::ImhNoPredictiveText));

    ASSERT_TRUE(secret->resignFirstResponder());
    EXPECT_FALSE(ask(Qt::ImEnabled).toBool());
}
