#include "practice/ExamStartViewController.h"

#include "platform/ui/Label.h"
#include "platform/ui/Renderer.h"
#include "tests/practice/ExamStartFixture.h"

#include <QDir>
#include <QImage>

namespace {

// Renders the practice screen's main states to PNG files for people to look at (and checks
// that each drew something beyond the background).
class ExamStartScreenshotTest : public ExamStartFixture {
protected:
    QImage shoot(const QString& name)
    {
        m_window->layoutIfNeeded();
        const QImage image = ui::Renderer::render(*m_window->layer(), m_window->bounds().size, 2);
        const QString dir = qEnvironmentVariable("QBANK_SCREENSHOT_DIR", QDir::tempPath());
        EXPECT_TRUE(ui::Renderer::writePng(image, dir + "/exam-" + name + ".png"));
        return image;
    }
};

TEST_F(ExamStartScreenshotTest, QuestionPagesCardAndAnalysis)
{
    startSignedIn();
    CommonUtil::setIsShowAnalyze(0);
    open(0, paper("CBP1", "计算机基础历年真题（一）"));
    ASSERT_TRUE(waitForPages());
    pick(0, "B");
    const QImage single = shoot("single-choice");
    // The toolbar band holds four buttons over the background: its pixels are not uniform.
    const QImage band = single.copy(0, 0, single.width(), single.height() / 7);
    EXPECT_GT(band.convertToFormat(QImage::Format_Indexed8).colorCount(), 8);
    pick(5, "A");
    pick(5, "D");
    shoot("multiple-choice");
    goTo(3);
    ASSERT_TRUE(tapLabel(page(3), "答题框"));
    m_window->firstResponder()->insertText("101100");
    shoot("fill-in");
    goTo(0);
    ASSERT_TRUE(tapLabel(m_exam->view(), "解析"));
    ASSERT_TRUE(pumpUntil([&] { return !m_exam->examPage(0)->analysisView()->isLoading(); }));
    shoot("analysis");
    ASSERT_TRUE(tapLabel(m_exam->view(), "答题卡"));
    shoot("answer-card");
}

} // namespace
