#include "platform/ui/TextField.h"

#include "platform/ui/Renderer.h"
#include "platform/ui/TextFieldDelegate.h"
#include "platform/ui/TouchInjector.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowHost.h"
#include "tests/support/UiFixture.h"
#include "tests/support/Keyboard.h"
#include "tests/support/PixelProbe.h"

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
    const auto other = Window::create(Rect(0, 0, 320, 480));
    other->addSubview(fields[1]);
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
