#include "platform/ui/Label.h"

#include "platform/ui/Window.h"
#include "tests/support/PixelProbe.h"
#include "tests/support/UiFixture.h"

#include <QImage>

using namespace ui;

namespace {

class LabelTest : public UiFixture {};

const QString kWords = QStringLiteral("alpha beta gamma delta epsilon zeta eta theta iota kappa");

std::shared_ptr<Label> label(double width, int lines, LineBreakMode mode, double height = 200)
{
    auto l = Label::create(Rect(0, 0, width, height));
    l->setFont(Font::systemFont(14));
    l->setText(kWords);
    l->setNumberOfLines(lines);
    l->setLineBreakMode(mode);
    return l;
}

} // namespace

TEST_F(LabelTest, LinesFollowNumberOfLinesAndBreakMode)
{
    const std::tuple<int, LineBreakMode, int, bool> cases[] = {
        {1, LineBreakMode::TruncateTail, 1, true}, {1, LineBreakMode::Clip, 1, false}, {2, LineBreakMode::TruncateTail, 2, true},
        {2, LineBreakMode::CharWrap, 2, false},    {0, LineBreakMode::WordWrap, -1, false}};
    for (const auto& [lines, mode, expectedLines, ellipsis] : cases) {
        SCOPED_TRACE(lines);
        const QStringList shown = label(90, lines, mode)->visibleLines();
        EXPECT_EQ(expectedLines > 0 ? shown.size() : -1, expectedLines);
        EXPECT_EQ(shown.last().endsWith(QChar(0x2026)), ellipsis);
    }

    // Word wrap keeps words whole; character wrap fills the line and loses nothing.
    auto byWord = label(90, 0, LineBreakMode::WordWrap);
    const QStringList words = kWords.split(' ');
    for (const QString& line : byWord->visibleLines())
        for (const QString& piece : line.split(' '))
            EXPECT_TRUE(words.contains(piece)) << piece.toStdString();
    auto byChar = label(90, 0, LineBreakMode::CharWrap);
    EXPECT_GE(byChar->visibleLines().first().size(), byWord->visibleLines().first().size());
    EXPECT_EQ(byChar->visibleLines().join(QString()).remove(' '), QString(kWords).remove(' '));

    // The fitting size is that of the wrapped lines; one line is never wrapped.
    EXPECT_EQ(Label::create()->sizeThatFits(Size()), Size(0, 0));
    const Size wrapped = byWord->sizeThatFits(Size(90, 0));
    EXPECT_LE(wrapped.width, 90);
    EXPECT_GT(byWord->visibleLines().size(), 3);
    EXPECT_EQ(wrapped.height, std::ceil(byWord->visibleLines().size() * Font::systemFont(14).lineHeight()));
    byWord->setNumberOfLines(1);
    EXPECT_GT(byWord->sizeThatFits(Size(90, 0)).width, 90);
}

TEST_F(LabelTest, AlignmentMovesTheInk)
{
    auto window = Window::create(Rect(0, 0, 300, 40));
    window->makeKeyAndVisible();
    auto l = Label::create(Rect(0, 0, 300, 40));
    l->setText("ab");
    window->addSubview(l);
    // Ink in the left, middle and right fifth of the label, at the screen's scale of 2.
    const TextAlignment alignments[] = {TextAlignment::Left, TextAlignment::Center, TextAlignment::Right};
    for (int i = 0; i < 3; ++i) {
        l->setTextAlignment(alignments[i]);
        const QImage shot = window->renderImage();
        for (int part = 0; part < 3; ++part)
            EXPECT_EQ(pixels::count(shot, pixels::isInk, QRect(240 * part, 0, 120, 80)) > 0, part == i) << i << part;
    }
}

