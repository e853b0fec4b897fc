#include "shell/account/LoginViewController.h"

#include "platform/ui/Screen.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"
#include "platform/ui/TouchInjector.h"
#include "server/storage/Database.h"
#include "server/ServerInstance.h"
#include "shell/account/FeedViewController.h"
#include "shell/account/RegisterViewController.h"
#include "tests/shell/LaunchedAppTest.h"
#include "tests/support/PixelProbe.h"
#include "tests/support/ViewPixels.h"

#include <QClipboard>
#include <QGuiApplication>

namespace {

// The account forms edited where the caret is, as a user types, taps and pastes on the desktop.
class FormEditingTest : public LaunchedAppTest {
protected:
    void press(int code, Qt::KeyboardModifiers modifiers = {}, int times = 1)
    {
        keyboard::press(m_host.get(), code, modifiers, times);
    }
    void compose(const QString& preedit) { keyboard::compose(m_host.get(), preedit); }

    std::shared_ptr<LoginViewController> openLogin()
    {
        launch();
        return tapTo<LoginViewController>(m_home, "用户登陆");
    }
    std::shared_ptr<FeedViewController> openFeedback()
    {
        launch();
        return openFeedbackForm();
    }

    // A finger twice on the spot where the focused view shows its caret.
    void doubleTapAtCaret()
    {
        auto view = focus();
        const ui::Rect caret = view->convertRectTo(view->caretRect(), nullptr);
        const ui::Point spot(caret.x(), caret.center().y);
        ui::TouchInjector::tap(*m_delegate->window(), spot);
        ui::TouchInjector::tap(*m_delegate->window(), spot);
    }

    QImage picture()
    {
        m_delegate->window()->layoutIfNeeded();
        return m_delegate->window()->renderImage();
    }
    // The caret's blue where the focused view shows its caret, in the window's picture.
    int caretInk()
    {
        auto view = focus();
        const double scale = ui::Screen::main().scale();
        const ui::Rect caret = view->convertRectTo(view->caretRect(), nullptr);
        const QRect area(int(caret.x() * scale) - 1, int(caret.y() * scale), int(caret.width() * scale) + 2,
                         int(caret.height() * scale));
        return pixels::countNear(picture(), QColor(0x4A, 0x7B, 0xD0), area, 40);
    }
};

// Typing, moving back and typing again, Backspace at the caret and over a selection; a password
// edited in its middle signs in, and its text never reaches the clipboard.
TEST_F(FormEditingTest, TheLoginFieldsEditAtTheCaret)
{
    startSignedIn();   // registers tester / secret1
    CommonUtil::setAccount(std::nullopt);
    auto login = openLogin();
    ASSERT_TRUE(login);
    ASSERT_TRUE(tap(login, "请输入账号"));
    type("abd");
    press(Qt::Key_Left);
    type("c");
    EXPECT_EQ(login->account()->text(), "abcd");
    press(Qt::Key_Backspace);
    EXPECT_EQ(login->account()->text(), "abd");
    press(Qt::Key_Left, Qt::ShiftModifier);
    press(Qt::Key_Backspace);
    EXPECT_EQ(login->account()->text(), "ad");
    press(Qt::Key_A, Qt::ControlModifier);
    type("tester");

    ASSERT_TRUE(tap(login, "请输入密码"));
    type("secrt1");
    press(Qt::Key_Left, {}, 2);
    type("e");
    QGuiApplication::clipboard()->setText("before");
    press(Qt::Key_A, Qt::ControlModifier);
    press(Qt::Key_C, Qt::ControlModifier);
    press(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");
    EXPECT_EQ(login->pwd()->text(), "secret1");
    pressReturn();
    ASSERT_TRUE(closes(login));
    EXPECT_EQ(heldName(), "tester") << "the server took the edited password";
}

// A name pasted into the middle of the account field is the name the server registers.
TEST_F(FormEditingTest, APasteLandsInTheMiddleOfTheName)
{
    startSampleServer();
    auto login = openLogin();
    ASSERT_TRUE(login);
    auto form = tapTo<RegisterViewController>(login, "注册新用户");
    ASSERT_TRUE(form);
    ASSERT_TRUE(tap(form, "请输入账号"));
    type("newbie");
    press(Qt::Key_Left, {}, 3);
    QGuiApplication::clipboard()->setText("XY");
    press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(form->account()->text(), "newXYbie");
    pressReturn();
    type("secret");
    pressReturn();
    type("secret");
    pressReturn();
    ASSERT_TRUE(tap(form, "立即注册"));
    ASSERT_TRUE(closes(form));
    EXPECT_EQ(heldName(), "newXYbie");
}

// Chinese composed amid the feedback shows there and is committed there exactly; a word taken
// by a double tap is typed over; the server stores both texts as edited.
TEST_F(FormEditingTest, ChineseComposedAmidTheFeedbackLandsThere)
{
    server::ServerInstance& server = startSignedIn();
    auto form = openFeedback();
    ASSERT_TRUE(form);
    ASSERT_TRUE(tap(form, "反馈意见"));
    commit("题目有误");
    press(Qt::Key_Left, {}, 2);
    const QRect box = pixels::pixelsOf(*form->remark());
    const int inkBefore = pixels::count(picture(), pixels::isInk, box);
    compose("da an");
    EXPECT_EQ(form->remark()->text(), "题目有误");
    EXPECT_GT(pixels::count(picture(), pixels::isInk, box), inkBefore) << "the composing text shows";
    commit("答案");
    EXPECT_EQ(form->remark()->text(), "题目答案有误");
    pressReturn();

    type("qq wrong 1");
    press(Qt::Key_Home);
    press(Qt::Key_Right, {}, 5);   // "qq wr|ong 1"
    doubleTapAtCaret();
    type("right");
    EXPECT_EQ(form->contact()->text(), "qq right 1");
    pressReturn();
    ASSERT_TRUE(closes(form));
    server.database().awaitQueuedWrites();
    const QVariantList row = server.database().row(
        QStringLiteral("SELECT remark, contact FROM feedback WHERE user_account = ?"), {QStringLiteral("tester")});
    ASSERT_EQ(row.size(), 2);
    EXPECT_EQ(row[0].toString(), "题目答案有误");
    EXPECT_EQ(row[1].toString(), "qq right 1");
}

// A focused field or box shows its caret and nothing else of the editing; once it is left,
// the form is drawn exactly as before it was touched.
TEST_F(FormEditingTest, OnlyTheFocusedFieldShowsItsCaret)
{
    startSampleServer();
    auto form = openFeedback();
    ASSERT_TRUE(form);
    const QImage untouched = picture();
    for (const QString label : {"联系方式", "反馈意见"}) {
        SCOPED_TRACE(label.toStdString());
        ASSERT_TRUE(tap(form, label));
        EXPECT_GT(caretInk(), 0);
        type("ab");
        press(Qt::Key_Left, Qt::ShiftModifier);
        press(Qt::Key_Backspace, {}, 2);
        focus()->resignFirstResponder();
        EXPECT_TRUE(pixels::differingArea(untouched, picture(), {}, 0).isEmpty());
    }
}

} // namespace
