#include "platform/ui/TextField.h"

#include "platform/ui/Renderer.h"
#include "platform/ui/TextFieldDelegate.h"
#include "platform/ui/TouchInjector.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowHost.h"
#include "tests/support/UiFixture.h"
#include "tests/support/Keyboard.h"
#include "tests/support/PixelProbe.h"

#include <QClipboard>
#include <QGuiApplication>
#include <functional>

using namespace ui;

namespace {

// Writes every delegate call into a log; each answer can be decided by a test.
class RecordingDelegate : public TextFieldDelegate {
public:
    QStringList log;
    std::function<bool(TextField&)> shouldBegin;
    std::function<bool(TextField&, const QString&)> shouldChange;
    std::function<void(TextField&)> didEnd;

    bool textFieldShouldBeginEditing(TextField& f) override
    {
        log << name(f) + ":shouldBegin";
        return shouldBegin ? shouldBegin(f) : true;
    }
    void textFieldDidBeginEditing(TextField& f) override { log << name(f) + ":didBegin"; }
    void textFieldDidEndEditing(TextField& f) override
    {
        log << name(f) + ":didEnd";
        if (didEnd)
            didEnd(f);
    }
    bool shouldChangeCharactersInRange(TextField& f, TextRange r, const QString& s) override
    {
        log << QStringLiteral("%1:change %2+%3 [%4]").arg(name(f)).arg(r.location).arg(r.length).arg(s);
        return shouldChange ? shouldChange(f, s) : true;
    }
    bool textFieldShouldReturn(TextField& f) override
    {
        log << name(f) + ":shouldReturn";
        return true;
    }

private:
    static QString name(TextField& f) { return QString::number(f.tag()); }
};

class TextFieldTest : public UiFixture {
protected:
    void SetUp() override
    {
        UiFixture::SetUp();
        window = Window::create(Rect(0, 0, 320, 480));
        window->makeKeyAndVisible();
        for (int tag : {0, 1}) {
            auto field = TextField::create(Rect(20, 40 + 60 * tag, 200, 30));
            field->setTag(tag);
            field->setDelegate(delegate);
            window->addSubview(field);
            fields.push_back(field);
        }
        host = std::make_unique<WindowHost>(window);
    }

    void key(int code, const QString& text = QString()) { keyboard::key(host.get(), code, text); }

    void type(const QString& text) { keyboard::type(host.get(), text); }

    void commit(const QString& text) { keyboard::commit(host.get(), text); }

    void press(int code, Qt::KeyboardModifiers modifiers = {}, int times = 1)
    {
        keyboard::press(host.get(), code, modifiers, times);
    }

    // The window point where `prefix` of the field's text ends, on the text's middle row.
    Point after(const TextField& field, const QString& prefix) const
    {
        const Rect frame = field.frame();
        return Point(frame.x() + field.font().widthOfText(prefix), frame.center().y);
    }

    // Ink in the caret's blue where the field shows its caret.
    static int caretInk(const TextField& field)
    {
        const QImage image = Renderer::renderLayer(*field.layer(), 1);
        const Rect caret = field.caretRect();
        return pixels::countNear(image, QColor(0x4A, 0x7B, 0xD0), QRect(int(caret.x()) - 1, 0, 4, image.height()), 40);
    }

    std::shared_ptr<RecordingDelegate> delegate = std::make_shared<RecordingDelegate>();
    std::shared_ptr<Window> window;
    std::vector<std::shared_ptr<TextField>> fields;
    std::unique_ptr<WindowHost> host;
};

} // namespace

TEST_F(TextFieldTest, ATapBeginsEditingTheNextFieldEndsItARefusedOrDisabledOneNeverBegins)
{
    type("x");   // nobody edits yet: keys go nowhere
    ASSERT_TRUE(TouchInjector::tap(*fields[0]));
    EXPECT_TRUE(fields[0]->isEditing());
    EXPECT_TRUE(fields[0]->isFirstResponder());
    ASSERT_TRUE(TouchInjector::tap(*fields[1]));
    EXPECT_FALSE(fields[0]->isEditing());
    EXPECT_EQ(delegate->log, (QStringList{"0:shouldBegin", "0:didBegin", "1:shouldBegin", "0:didEnd", "1:didBegin"}));
    EXPECT_EQ(fields[0]->text(), "");

    // A refused or disabled field does not edit.
    fields[1]->resignFirstResponder();
    delegate->log.clear();
    delegate->shouldBegin = [](TextField&) { return false; };
    EXPECT_FALSE(fields[0]->becomeFirstResponder());
    fields[1]->setEnabled(false);
    EXPECT_FALSE(fields[1]->becomeFirstResponder());
    type("a");
    EXPECT_FALSE(fields[0]->isEditing());
    EXPECT_EQ(fields[0]->text(), "");
    EXPECT_EQ(delegate->log, QStringList{"0:shouldBegin"});
}

TEST_F(TextFieldTest, TypingAsksForEachEditWithItsRangeAndChineseDeletesByCharacter)
{
    fields[0]->becomeFirstResponder();
    delegate->log.clear();
    delegate->shouldChange = [](TextField&, const QString& s) { return s != "x"; };
    type("abx");
    key(Qt::Key_Backspace);
    type("c");
    EXPECT_EQ(fields[0]->text(), "ac");
    EXPECT_EQ(delegate->log, (QStringList{"0:change 0+0 [a]", "0:change 1+0 [b]", "0:change 2+0 [x]",
                                          "0:change 1+1 []", "0:change 1+0 [c]"}));

    // Chinese arrives as one commit; an emoji is two UTF-16 units and one character.
    fields[0]->setText(QString());
    delegate->log.clear();
    commit(QStringLiteral("中文"));
    commit(QStringLiteral("😀"));
    key(Qt::Key_Backspace);
    key(Qt::Key_Backspace);
    EXPECT_EQ(fields[0]->text(), QStringLiteral("中"));
    EXPECT_EQ(delegate->log, (QStringList{QStringLiteral("0:change 0+0 [中文]"), QStringLiteral("0:change 2+0 [😀]"),
                                          "0:change 2+2 []", "0:change 1+1 []"}));
}

TEST_F(TextFieldTest, TheReturnKeyIsAskedAsALineBreakAndNeverInserted)
{
    // The login form's chain: return in the first field moves on, in the last it closes.
    delegate->shouldChange = [this](TextField& f, const QString& s) {
        if (s != "\n")
            return true;
        if (f.tag() == 0) {
            fields[1]->becomeFirstResponder();
            return true;
        }
        f.resignFirstResponder();
        return false;
    };
    fields[0]->becomeFirstResponder();
    type("ab");
    delegate->log.clear();
    key(Qt::Key_Return, "\r");
    EXPECT_TRUE(fields[1]->isEditing());
    type("p");
    key(Qt::Key_Enter, "\r");
    EXPECT_FALSE(fields[1]->isEditing());
    EXPECT_EQ(fields[0]->text(), "ab");
    EXPECT_EQ(fields[1]->text(), "p");
    EXPECT_EQ(delegate->log, (QStringList{"0:change 2+0 [\n]", "1:shouldBegin", "0:didEnd", "1:didBegin",
                                          "1:change 0+0 [p]", "1:change 1+0 [\n]", "1:didEnd"}));

    // An allowed return asks the editing field's should-return; a pasted line break is dropped.
    delegate->shouldChange = nullptr;
    fields[0]->setText(QString());
    fields[0]->becomeFirstResponder();
    delegate->log.clear();
    key(Qt::Key_Return, "\r");
    commit("a\nb");
    EXPECT_EQ(delegate->log, (QStringList{"0:change 0+0 [\n]", "0:shouldReturn", "0:change 0+0 [ab]"}));
    EXPECT_EQ(fields[0]->text(), "ab");
}

TEST_F(TextFieldTest, LeavingTheWindowEndsEditing)
{
    fields[0]->becomeFirstResponder();
    fields[0]->removeFromSuperview();
    EXPECT_FALSE(fields[0]->isEditing());
    EXPECT_EQ(delegate->log.last(), "0:didEnd");
    type("z");
    EXPECT_EQ(fields[0]->text(), "");

    // Moved straight into another window, the field is nobody's first responder any more.
    fields[1]->becomeFirstResponder();
    auto other = Window::create(Rect(0, 0, 320, 480));
    other->addSubview(fields[1]);
    EXPECT_FALSE(fields[1]->isEditing());
    EXPECT_EQ(delegate->log.last(), "1:didEnd");

    // That window goes while a screen still holds the field: the editing, and its blinking,
    // end within a blink, though no window is left to say so.
    ASSERT_TRUE(fields[1]->becomeFirstResponder());
    other.reset();
    step(1);
    EXPECT_FALSE(fields[1]->isEditing());
    EXPECT_EQ(delegate->log.last(), "1:didEnd");
}

// Moving the focus ends the other field's editing first, and the screen may react to that by
// taking the newly tapped field away (leaving the page): it must not edit outside the window.
TEST_F(TextFieldTest, AFieldTakenAwayWhileTheOtherEndsEditingDoesNotEdit)
{
    fields[0]->becomeFirstResponder();
    delegate->didEnd = [this](TextField&) { fields[1]->removeFromSuperview(); };
    EXPECT_FALSE(fields[1]->becomeFirstResponder());
    EXPECT_FALSE(fields[1]->isEditing() || fields[1]->isFirstResponder());
    EXPECT_EQ(window->firstResponder(), nullptr);
    type("z");
    EXPECT_EQ(fields[1]->text(), "");
    EXPECT_EQ(delegate->log, (QStringList{"0:shouldBegin", "0:didBegin", "1:shouldBegin", "0:didEnd"}));
}

TEST_F(TextFieldTest, TextAndPlaceholderDrawThroughTheRenderer)
{
    auto field = fields[0];
    field->setFont(Font::boldSystemFont(24));
    field->setTextColor(Color::red());
    field->setPlaceholder("WWWW");
    auto redPixels = [&] { return pixels::countNear(Renderer::renderLayer(*field->layer(), 1), Qt::red, {}, 60); };
    EXPECT_EQ(redPixels(), 0);   // the placeholder is grey, never the text colour
    field->setText("WWWW");
    const int plain = redPixels();
    EXPECT_GT(plain, 20);
    field->setSecureTextEntry(true);
    EXPECT_GT(redPixels(), 0);
    EXPECT_NE(redPixels(), plain);
}

// "abd", Left, "c" gives "abcd"; each edit asks with the range it replaces, at the caret or over
// the selection; a refused edit leaves the text and the caret as they were.
TEST_F(TextFieldTest, KeysMoveTheCaretAndEditsHappenThere)
{
    fields[0]->becomeFirstResponder();
    delegate->log.clear();
    type("abd");
    press(Qt::Key_Left);
    type("c");
    EXPECT_EQ(fields[0]->text(), "abcd");
    press(Qt::Key_Backspace);                   // "ab|d"
    press(Qt::Key_Home);
    press(Qt::Key_Delete);                      // "|bd"
    press(Qt::Key_End);
    press(Qt::Key_Left, Qt::ShiftModifier);     // "b[d]"
    type("e");
    EXPECT_EQ(fields[0]->text(), "be");
    EXPECT_EQ(delegate->log, (QStringList{"0:change 0+0 [a]", "0:change 1+0 [b]", "0:change 2+0 [d]", "0:change 2+0 [c]",
                                          "0:change 2+1 []", "0:change 0+1 []", "0:change 1+1 [e]"}));

    press(Qt::Key_Home, Qt::ShiftModifier);
    EXPECT_EQ(fields[0]->selectedRange(), (TextRange{0, 2}));
    delegate->shouldChange = [](TextField&, const QString&) { return false; };
    press(Qt::Key_Backspace);
    type("z");
    EXPECT_EQ(fields[0]->text(), "be");
    EXPECT_EQ(fields[0]->selectedRange(), (TextRange{0, 2})) << "a refused edit keeps the selection";

    // Right ends the selection at its end; an emoji is stepped over whole.
    delegate->shouldChange = nullptr;
    press(Qt::Key_Right);
    commit(QStringLiteral("😀"));
    press(Qt::Key_Left);
    EXPECT_EQ(fields[0]->selectedRange(), (TextRange{2, 0}));
    press(Qt::Key_A, Qt::ControlModifier);
    press(Qt::Key_Backspace);
    EXPECT_EQ(fields[0]->text(), "");
    EXPECT_EQ(delegate->log.last(), "0:change 0+4 []");
}

// A tap puts the caret between the characters nearest to it, a drag selects, a double tap
// takes the word under it; typing replaces what is selected.
TEST_F(TextFieldTest, TouchesPlaceTheCaretDragSelectsAndDoubleTapPicksAWord)
{
    auto field = fields[0];
    field->setText("hello world");
    TouchInjector::tap(*window, after(*field, "hello w") + Point(2, 0));
    ASSERT_TRUE(field->isEditing());
    EXPECT_EQ(field->selectedRange(), (TextRange{7, 0}));

    TouchInjector::drag(*clock, *window, after(*field, "he"), after(*field, "hello wo"), 0.2);
    EXPECT_EQ(field->selectedRange(), (TextRange{2, 6}));
    step(1);
    const Point r = after(*field, "hello wo") + Point(2, 0);
    TouchInjector::tap(*window, r);
    TouchInjector::tap(*window, r);
    EXPECT_EQ(field->selectedRange(), (TextRange{6, 5}));
    delegate->log.clear();
    type("Z");
    EXPECT_EQ(field->text(), "hello Z");
    EXPECT_EQ(delegate->log, QStringList{"0:change 6+5 [Z]"});

    // Two taps far apart in time are two placements, not a double tap.
    TouchInjector::tap(*window, after(*field, "he"));
    step(1);
    TouchInjector::tap(*window, after(*field, "he"));
    EXPECT_EQ(field->selectedRange(), (TextRange{2, 0}));

    // A text wider than its field, shown from its start: the tap lands where the finger was.
    auto wide = fields[1];
    wide->setText("the quick brown fox jumps over the lazy dog");
    step(1);
    TouchInjector::tap(*window, after(*wide, "the q") + Point(1, 0));
    ASSERT_TRUE(wide->isEditing());
    EXPECT_EQ(wide->selectedRange(), (TextRange{5, 0}));
    EXPECT_NEAR(wide->caretRect().x(), wide->font().widthOfText("the q"), 1);

    // Centred, it shows its middle, and the text stays put as the tap begins editing there.
    wide->resignFirstResponder();
    wide->setTextAlignment(TextAlignment::Center);
    const double start = (wide->bounds().width() - wide->font().widthOfText(wide->text())) / 2;
    const double tapped = start + wide->font().widthOfText("the quick brown f");
    step(1);
    TouchInjector::tap(*window, wide->frame().origin + Point(tapped + 1, 15));
    EXPECT_EQ(wide->selectedRange(), (TextRange{17, 0}));
    EXPECT_NEAR(wide->caretRect().x(), tapped, 1);
}

// Cut, copy and paste go through the system clipboard and ask like typing; a secure field
// moves its caret over its dots the same way but never gives its text away.
TEST_F(TextFieldTest, TheClipboardCarriesTheSelectionButNeverASecret)
{
    QClipboard* board = QGuiApplication::clipboard();
    auto field = fields[0];
    field->setText("one two");
    field->becomeFirstResponder();
    delegate->log.clear();
    press(Qt::Key_Left, Qt::ShiftModifier, 2);
    press(Qt::Key_X, Qt::ControlModifier);          // "one t"
    EXPECT_EQ(board->text(), "wo");
    press(Qt::Key_Home);
    press(Qt::Key_Right);
    press(Qt::Key_V, Qt::ControlModifier);          // "owone t"
    board->setText("a\nb");
    press(Qt::Key_V, Qt::ControlModifier);          // a line break never enters one line
    EXPECT_EQ(field->text(), "owoabne t");
    EXPECT_EQ(delegate->log, (QStringList{"0:change 5+2 []", "0:change 1+0 [wo]", "0:change 3+0 [ab]"}));
    delegate->shouldChange = [](TextField&, const QString&) { return false; };
    press(Qt::Key_A, Qt::ControlModifier);
    board->setText("kept");
    press(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(field->text(), "owoabne t") << "a refused cut takes nothing";
    EXPECT_EQ(board->text(), "kept");

    delegate->shouldChange = nullptr;
    auto secret = fields[1];
    secret->setSecureTextEntry(true);
    secret->setText(QStringLiteral("pa😀ss"));
    secret->becomeFirstResponder();
    press(Qt::Key_Left, {}, 3);
    EXPECT_EQ(secret->selectedRange(), (TextRange{2, 0})) << "one dot, one step";
    press(Qt::Key_A, Qt::ControlModifier);
    press(Qt::Key_C, Qt::ControlModifier);
    press(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(board->text(), "kept");
    EXPECT_EQ(secret->text(), QStringLiteral("pa😀ss"));
    press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(secret->text(), "kept") << "pasting into a secret is allowed";
}

// Composing text shows at the caret without asking the delegate; the commit lands there as one
// edit; a composition given up leaves the text alone.
TEST_F(TextFieldTest, ComposingShowsAtTheCaretAndCommitsThere)
{
    auto field = fields[0];
    field->setText("ad");
    field->becomeFirstResponder();
    press(Qt::Key_Left);
    delegate->log.clear();
    const double caretBefore = field->caretRect().x();
    const int inkBefore = pixels::count(Renderer::renderLayer(*field->layer(), 1), pixels::isInk);
    keyboard::compose(host.get(), "bc");
    EXPECT_EQ(field->text(), "ad");
    EXPECT_GT(field->caretRect().x(), caretBefore + field->font().widthOfText("b"));
    EXPECT_GT(pixels::count(Renderer::renderLayer(*field->layer(), 1), pixels::isInk), inkBefore);
    keyboard::compose(host.get(), "");
    EXPECT_EQ(field->caretRect().x(), caretBefore);
    keyboard::compose(host.get(), "b");
    commit("bc");
    EXPECT_EQ(field->text(), "abcd");
    EXPECT_EQ(delegate->log, QStringList{"0:change 1+0 [bc]"});
}

// A text wider than the field follows the caret; once editing ends the field looks exactly as
// one never edited, with the same text.
TEST_F(TextFieldTest, ALongTextFollowsTheCaretAndEditingLeavesNoTrace)
{
    auto field = fields[0];
    const Rect inside = field->bounds();
    field->becomeFirstResponder();
    type("the quick brown fox jumps over the lazy dog");
    EXPECT_TRUE(inside.contains(field->caretRect()));
    press(Qt::Key_Home);
    EXPECT_TRUE(inside.contains(field->caretRect()));
    EXPECT_LT(field->caretRect().x(), 2);
    press(Qt::Key_End, Qt::ShiftModifier);   // all selected, scrolled to the end
    field->resignFirstResponder();

    const QImage edited = Renderer::renderLayer(*field->layer(), 2);
    auto fresh = TextField::create(field->bounds());
    fresh->setText(field->text());
    EXPECT_EQ(edited, Renderer::renderLayer(*fresh->layer(), 2));
    // Shown from its start again, unselected.
    fresh->setText("the quick");
    const QRect head(0, 0, int(2 * field->font().widthOfText("the")), edited.height());
    EXPECT_EQ(edited.copy(head), Renderer::renderLayer(*fresh->layer(), 2).copy(head));
}

// The caret blinks on the clock while the field edits, shows at once after a key, and stops
// with the editing; a field gone while blinking is left alone.
TEST_F(TextFieldTest, TheCaretBlinksWhileEditingOnly)
{
    auto field = fields[0];
    EXPECT_EQ(caretInk(*field), 0);
    field->becomeFirstResponder();
    EXPECT_GT(caretInk(*field), 0);
    step(0.5);
    EXPECT_EQ(caretInk(*field), 0);
    step(0.5);
    EXPECT_GT(caretInk(*field), 0);
    step(0.5);
    type("a");
    EXPECT_GT(caretInk(*field), 0) << "a key shows the caret at once";
    step(0.4);
    EXPECT_GT(caretInk(*field), 0);
    field->resignFirstResponder();
    step(0.5);
    EXPECT_EQ(caretInk(*field), 0);
    step(0.5);
    EXPECT_EQ(caretInk(*field), 0);

    // The window goes with the field still editing in it.
    fields[1]->becomeFirstResponder();
    std::weak_ptr<TextField> gone = fields[1];
    host.reset();
    window.reset();
    fields.clear();
    ASSERT_TRUE(gone.expired());
    step(2);
}
