#include "platform/ui/TextView.h"

#include "platform/ui/Renderer.h"
#include "platform/ui/TextViewDelegate.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TouchInjector.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowHost.h"
#include "tests/support/UiFixture.h"
#include "tests/support/Keyboard.h"
#include "tests/support/PixelProbe.h"


using namespace ui;

namespace {

const QString kWords = QStringLiteral("反馈意见或问题");

// The feedback form's remark box: grey words while empty, a line break moves on.
class RemarkDelegate : public TextViewDelegate {
public:
    std::shared_ptr<TextField> next;
    bool lineBreaksMoveOn = true;
    QStringList log;

    bool textViewShouldBeginEditing(TextView& v) override
    {
        log << "shouldBegin";
        if (v.text() == kWords) {
            v.setText(QString());
            v.setTextColor(Color::black());
        }
        return true;
    }
    void textViewDidBeginEditing(TextView&) override { log << "didBegin"; }
    void textViewDidEndEditing(TextView& v) override
    {
        log << "didEnd";
        if (v.text().isEmpty()) {
            v.setText(kWords);
            v.setTextColor(Color::fromRGB(0xCCCCCC));
        }
    }
    bool shouldChangeTextInRange(TextView&, TextRange r, const QString& text) override
    {
        log << QStringLiteral("change %1+%2 [%3]").arg(r.location).arg(r.length).arg(text);
        if (text == "\n" && lineBreaksMoveOn) {
            next->becomeFirstResponder();
            return false;
        }
        return true;
    }
};

class TextViewTest : public UiFixture {
protected:
    void SetUp() override
    {
        UiFixture::SetUp();
        window = Window::create(Rect(0, 0, 320, 480));
        window->makeKeyAndVisible();
        remark = TextView::create(Rect(20, 20, 280, 100));
        remark->setText(kWords);
        remark->setTextColor(Color::fromRGB(0xCCCCCC));
        remark->setDelegate(delegate);
        contact = TextField::create(Rect(20, 140, 280, 30));
        delegate->next = contact;
        window->addSubview(remark);
        window->addSubview(contact);
        host = std::make_unique<WindowHost>(window);
    }

    void key(int code, const QString& text = QString()) { keyboard::key(host.get(), code, text); }

    void commit(const QString& text) { keyboard::commit(host.get(), text); }

    void press(int code, Qt::KeyboardModifiers modifiers = {}, int times = 1)
    {
        keyboard::press(host.get(), code, modifiers, times);
    }

    int caret() const { return remark->selectedRange().location; }

    std::shared_ptr<RemarkDelegate> delegate = std::make_shared<RemarkDelegate>();
    std::shared_ptr<Window> window;
    std::shared_ptr<TextView> remark;
    std::shared_ptr<TextField> contact;
    std::unique_ptr<WindowHost> host;
};

} // namespace

TEST_F(TextViewTest, TheRemarkBoxClearsItsWordsTakesChineseAndMovesOnAtReturn)
{
    ASSERT_TRUE(TouchInjector::tap(*remark));
    EXPECT_TRUE(remark->isEditing());
    EXPECT_EQ(remark->text(), "");
    commit(QStringLiteral("题目有误"));
    key(Qt::Key_Backspace);
    key(Qt::Key_Return, "\r");
    EXPECT_EQ(remark->text(), QStringLiteral("题目有"));
    EXPECT_FALSE(remark->isEditing());
    EXPECT_TRUE(contact->isEditing());
    EXPECT_EQ(delegate->log, (QStringList{"shouldBegin", "didBegin", QStringLiteral("change 0+0 [题目有误]"),
                                          "change 3+1 []", "change 3+0 [\n]", "didEnd"}));
}

TEST_F(TextViewTest, LeftEmptyTheWordsComeBackAndAllowedLineBreaksAreKept)
{
    remark->becomeFirstResponder();
    contact->becomeFirstResponder();
    EXPECT_EQ(remark->text(), kWords);

    delegate->lineBreaksMoveOn = false;
    remark->becomeFirstResponder();
    commit("a");
    key(Qt::Key_Enter, "\r");
    commit("b");
    EXPECT_EQ(remark->text(), "a\nb");
}

TEST_F(TextViewTest, LongTextWrapsAndShowsItsEndWhileEditing)
{
    remark->setText(QStringLiteral("第一行文字 ").repeated(30));
    remark->setTextColor(Color::black());
    remark->setFont(Font::systemFont(16));
    const std::vector<int> idle = pixels::rowsWith(Renderer::renderLayer(*remark->layer(), 1), pixels::isInk);
    ASSERT_FALSE(idle.empty());
    EXPECT_LT(idle.front(), 15);        // the first line starts under the top inset
    EXPECT_GT(idle.back(), 100 - 8);    // wrapped onto lines beyond the view
    remark->becomeFirstResponder();
    remark->setNeedsDisplay();
    const std::vector<int> editing = pixels::rowsWith(Renderer::renderLayer(*remark->layer(), 1), pixels::isInk);
    ASSERT_FALSE(editing.empty());
    // The last line sits whole above the bottom inset; earlier lines left at the top.
    EXPECT_LE(editing.back(), 100 - 8);
    EXPECT_GT(editing.back(), 100 - 8 - 16);
    EXPECT_EQ(editing.front(), 0);
}

// Up and Down go between lines keeping the column as well as each line allows; Home and End
// stay on the caret's line; Shift selects across lines.
TEST_F(TextViewTest, UpAndDownKeepTheColumnHomeAndEndStayOnTheLine)
{
    remark->setText("abcdef\nab\nabcdef");   // lines start at 0, 7 and 10
    remark->becomeFirstResponder();
    press(Qt::Key_Left);
    std::vector<int> seen;
    for (int key : {Qt::Key_Up, Qt::Key_Up, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Home, Qt::Key_End}) {
        press(key);
        seen.push_back(caret());
    }
    EXPECT_EQ(seen, (std::vector<int>{9, 5, 9, 15, 9, 7, 9}));
    press(Qt::Key_Up, {}, 2);
    EXPECT_EQ(caret(), 0) << "up from the first line goes to the start";
    press(Qt::Key_Right);
    press(Qt::Key_Down, Qt::ShiftModifier, 2);
    EXPECT_EQ(remark->selectedRange(), (TextRange{1, 10}));

    // Chinese wraps with no space between its lines: End stays at the end of the caret's line,
    // and Home and Down go from there.
    remark->setText(QStringLiteral("题目").repeated(40));
    press(Qt::Key_Up, {}, 2);
    const Rect before = remark->caretRect();
    press(Qt::Key_End);
    EXPECT_EQ(remark->caretRect().y(), before.y());
    EXPECT_GT(remark->caretRect().x(), remark->bounds().width() - 30);
    press(Qt::Key_Home);
    EXPECT_EQ(remark->caretRect().y(), before.y());
    EXPECT_LT(remark->caretRect().x(), 10);
    press(Qt::Key_End);
    press(Qt::Key_Down);
    const double below = remark->caretRect().y();
    EXPECT_GT(below, before.y());
    EXPECT_LT(below, before.y() + 1.5 * remark->font().lineHeight()) << "one line down, not two";
    press(Qt::Key_Up);
    EXPECT_EQ(remark->caretRect().y(), before.y());
}

// Edits inside the text ask with their range: Chinese composed in the middle lands there, a
// double tap takes a word, Backspace removes the selection or the character before the caret.
TEST_F(TextViewTest, EditsInsideTheTextAskWithTheirRange)
{
    ASSERT_TRUE(TouchInjector::tap(*remark));
    commit(QStringLiteral("题目有误"));
    press(Qt::Key_Left, {}, 2);
    keyboard::compose(host.get(), "da an");
    EXPECT_EQ(remark->text(), QStringLiteral("题目有误"));
    commit(QStringLiteral("答案"));
    EXPECT_EQ(remark->text(), QStringLiteral("题目答案有误"));
    press(Qt::Key_Backspace);

    remark->setText("see the words");
    const Point inWords = remark->convertPointTo(Point(8 + remark->font().widthOfText("see the w"), 8 + 7), nullptr);
    TouchInjector::tap(*window, inWords);
    TouchInjector::tap(*window, inWords);
    EXPECT_EQ(remark->selectedRange(), (TextRange{8, 5}));
    press(Qt::Key_Backspace, {}, 2);
    EXPECT_EQ(remark->text(), "see the");
    EXPECT_EQ(delegate->log.mid(2), (QStringList{QStringLiteral("change 0+0 [题目有误]"), QStringLiteral("change 2+0 [答案]"),
                                                 "change 3+1 []", "change 8+5 []", "change 7+1 []"}));
}

// A text taller than the view scrolls to keep the caret's line in view, wherever it goes.
TEST_F(TextViewTest, TheCaretsLineStaysInView)
{
    remark->setText(QStringLiteral("第一行文字\n").repeated(12) + "end");
    remark->setTextColor(Color::black());
    remark->becomeFirstResponder();
    const Rect inside = remark->bounds();
    EXPECT_TRUE(inside.contains(remark->caretRect()));
    press(Qt::Key_Up, {}, 13);
    EXPECT_EQ(caret(), 0);
    EXPECT_TRUE(inside.contains(remark->caretRect()));
    const std::vector<int> rows = pixels::rowsWith(Renderer::renderLayer(*remark->layer(), 1), pixels::isInk);
    ASSERT_FALSE(rows.empty());
    EXPECT_GE(rows.front(), 8) << "back at the top, the first line under the inset";
    press(Qt::Key_Home);
    press(Qt::Key_Down, {}, 2);
    EXPECT_EQ(caret(), 12);

    // Tapped while not editing, the view shows its first lines: the caret goes where the finger was.
    contact->becomeFirstResponder();
    const double lineHeight = remark->font().lineHeight();
    TouchInjector::tap(*window, remark->convertPointTo(Point(5 + 1, 8 + lineHeight * 1.5), nullptr));
    ASSERT_TRUE(remark->isEditing());
    EXPECT_EQ(caret(), 6) << "the start of the second line";
}
