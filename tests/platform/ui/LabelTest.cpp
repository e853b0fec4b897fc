#include "platform/ui/Label.h"

#include "platform/ui/Renderer.h"
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
    struct Case {
        const char* name;
        int lines;
        LineBreakMode mode;
        int expectedLines;
        bool ellipsis;
    };
    const Case cases[] = {
        {"one line truncates", 1, LineBreakMode::TruncateTail, 1, true},
        {"one line clips", 1, LineBreakMode::Clip, 1, false},
        {"two lines, tail", 2, LineBreakMode::TruncateTail, 2, true},
        {"two lines by character", 2, LineBreakMode::CharWrap, 2, false},
        {"unlimited", 0, LineBreakMode::WordWrap, -1, false},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        auto l = label(90, tc.lines, tc.mode);
        const QStringList shown = l->visibleLines();
        if (tc.expectedLines > 0)
            EXPECT_EQ(shown.size(), tc.expectedLines);
        else
            EXPECT_GT(shown.size(), 3);
        EXPECT_EQ(shown.last().endsWith(QChar(0x2026)), tc.ellipsis);
    }
}

TEST_F(LabelTest, WordWrapKeepsWordsWholeAndCharWrapFillsTheLine)
{
    auto byWord = label(90, 0, LineBreakMode::WordWrap);
    const QStringList words = kWords.split(' ');
    for (const QString& line : byWord->visibleLines()) {
        for (const QString& piece : line.split(' '))
            EXPECT_TRUE(words.contains(piece)) << piece.toStdString();
    }
    auto byChar = label(90, 0, LineBreakMode::CharWrap);
    EXPECT_GE(byChar->visibleLines().first().size(), byWord->visibleLines().first().size());
    EXPECT_EQ(byChar->visibleLines().join(QString()).remove(' '), QString(kWords).remove(' '));
}

TEST_F(LabelTest, SizeThatFitsMeasuresTheWrappedText)
{
    auto l = label(90, 0, LineBreakMode::WordWrap);
    const Size one = Label::create()->sizeThatFits(Size());
    EXPECT_EQ(one, Size(0, 0));
    const Size wrapped = l->sizeThatFits(Size(90, 0));
    EXPECT_LE(wrapped.width, 90);
    EXPECT_EQ(wrapped.height, std::ceil(l->visibleLines().size() * Font::systemFont(14).lineHeight()));
    l->setNumberOfLines(1);
    EXPECT_GT(l->sizeThatFits(Size(90, 0)).width, 90);
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

