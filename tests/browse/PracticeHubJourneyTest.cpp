// The hub after a real practice run: what the run filed is what the hub counts.
#include "browse/RecordViewController.h"

#include "components/hud/ProgressHUD.h"
#include "platform/ui/Label.h"
#include "tests/practice/ExamStartFixture.h"

namespace {

class PracticeHubJourneyTest : public ExamStartFixture {};

TEST_F(PracticeHubJourneyTest, TwoWrongAnswersOfAPaperRunShowInTheHub)
{
    startSignedIn();
    open(0, paper("CBP1", "计算机基础历年真题（一）"));
    ASSERT_TRUE(waitForPages());
    // Right answers but for questions 1 and 5 (a wrong single choice, a wrong multiple choice).
    for (auto [i, label] : std::vector<std::pair<int, QString>>{{0, "A"}, {1, "D"}, {4, "错"}, {5, "A"}, {5, "B"},
                                                                {5, "D"}, {6, "A"}, {6, "C"}})
        pick(i, label);
    finish();
    // The report follows the run once its wrong answers are filed.
    ASSERT_TRUE(pumpUntil([&] {
        auto report = m_exam->presentedViewController();
        return report && report->isAppeared();
    }));
    ASSERT_TRUE(leave());

    auto hub = RecordViewController::create();
    m_host->presentViewController(hub, false);
    ASSERT_TRUE(pumpUntil([&] { return !hub->isLoading() && !hub->isTransitioning(); }));
    EXPECT_EQ(hub->countLabel(RecordViewController::kErrorButtonTag, RecordViewController::kErrorCountTag)->text(),
              "2道题目");
    EXPECT_EQ(hub->countLabel(RecordViewController::kKeepButtonTag, RecordViewController::kKeepCountTag)->text(),
              "0道题目");
}

} // namespace
