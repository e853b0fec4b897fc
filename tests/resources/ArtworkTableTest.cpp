#include "resources/ArtworkTable.h"

#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

#include <cmath>

using artwork::ArtworkTable;

namespace {

QSize sizeOf(const char* name)
{
    const auto size = ArtworkTable::pixelSize(QString::fromLatin1(name));
    EXPECT_TRUE(size.has_value()) << name;
    return size.value_or(QSize());
}

} // namespace

TEST(ArtworkTable, NamesAreUniqueBareAndSizesPositive)
{
    static const QRegularExpression bare(QStringLiteral("^[A-Za-z][A-Za-z0-9_]*$"));
    QSet<QString> seen;
    for (const auto& entry : ArtworkTable::entries()) {
        EXPECT_TRUE(bare.match(entry.name).hasMatch()) << entry.name.toStdString();
        EXPECT_FALSE(seen.contains(entry.name)) << "duplicate " << entry.name.toStdString();
        seen.insert(entry.name);
        EXPECT_GT(entry.size.width(), 0) << entry.name.toStdString();
        EXPECT_GT(entry.size.height(), 0) << entry.name.toStdString();
    }
}

TEST(ArtworkTable, LooksUpBaseAndFileNamesOnly)
{
    const struct {
        const char* name;
        bool known;
    } cases[] = {
        {"back_btn", true},     {"back_btn.png", true}, {"radiog_02.png", true}, {"back_btn.jpg", false},
        {"Back_btn", false},    {"back_btn ", false},   {"", false},             {".png", false},
        {"radioh_01", false},   {"checkok_3", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ArtworkTable::contains(QString::fromLatin1(c.name)), c.known) << c.name;
    EXPECT_EQ(ArtworkTable::pixelSize(QStringLiteral("allBg.png")), ArtworkTable::pixelSize(QStringLiteral("allBg")));
    EXPECT_EQ(ArtworkTable::baseName(QStringLiteral("a.png.png")), QStringLiteral("a.png"));
}

TEST(ArtworkTable, OptionLettersAndStatesAreComplete)
{
    for (const char* prefix : {"radio", "checkbox"}) {
        for (char letter = 'a'; letter <= 'g'; ++letter) {
            for (const char* state : {"_01", "_02"}) {
                const QString name = QString::fromLatin1(prefix) + QChar(letter) + QString::fromLatin1(state);
                const auto size = ArtworkTable::pixelSize(name);
                ASSERT_TRUE(size.has_value()) << name.toStdString();
                EXPECT_EQ(*size, sizeOf("radioa_01")) << "letters of one kind must line up: " << name.toStdString();
            }
        }
    }
    for (const char* base : {"fontsize_a", "fontsize_b", "fontsize_c", "order_distill", "rand_distill", "yes_btn",
                             "no_btn"}) {
        const QByteArray name(base);
        EXPECT_EQ(sizeOf(name + "_01"), sizeOf(name + "_02")) << base;
    }
    EXPECT_EQ(sizeOf("checkok_1"), sizeOf("checkok_2"));
    EXPECT_EQ(sizeOf("checkerror_1"), sizeOf("checkerror_2"));
}

// The layouts that read these sizes must work on the 480 x 854 pixel design and on the
// phones around it. A screen is (points wide, points high, pixels per point).
namespace {

struct Screen {
    double w;
    double h;
    double s;
    const char* label;

    double scale() const { return (w * s + h * s) / 1334.0; }
    double scaleX() const { return w * s / 480.0; }
    double scaleY() const { return h * s / 854.0; }
    // The scaled size of an image: pixels / S x factor, cut toward zero.
    double width(const char* name, double factor) const { return std::trunc(sizeOf(name).width() / s * factor); }
    double height(const char* name, double factor) const { return std::trunc(sizeOf(name).height() / s * factor); }
    double scaledW(const char* name) const { return width(name, scale()); }
    double scaledH(const char* name) const { return height(name, scale()); }
};

void PrintTo(const Screen& screen, std::ostream* os)
{
    *os << screen.label;
}

class DesignLayouts : public testing::TestWithParam<Screen> {};

} // namespace

TEST_P(DesignLayouts, HomeButtonsFitBelowTheLogo)
{
    const Screen sc = GetParam();
    const char* rows[2][4] = {{"zx_btn_01", "csj_btn_01", "zt_btn_01", "ct_btn_01"},
                              {"select_btn_01", "main_login_btn01", "main_regster_btn01", "systemset_btn_01"}};
    for (const auto& row : rows) {
        // Outer buttons stand 6 points beyond the inner ones, which keep 3 points from the centre.
        const double left = sc.w / 2 - 3 - sc.scaledW(row[1]) - 6 - sc.scaledW(row[0]);
        const double right = sc.w / 2 + 3 + sc.scaledW(row[2]) + 6 + sc.scaledW(row[3]);
        EXPECT_GE(left, 0) << sc.label;
        EXPECT_LE(right, sc.w) << sc.label;
        // Each caption label is as wide as its tile and holds four characters at 14 points.
        for (const char* tile : row)
            EXPECT_GE(sc.scaledW(tile), 4 * 14) << tile << " " << sc.label;
    }
    const double bottomRowTop = sc.h - sc.scaledH("main_regster_btn01") - 25;
    const double upperRowTop = bottomRowTop - 25 - sc.scaledH("zt_btn_01");
    EXPECT_LT(50 + sc.scaledH("qvlogo"), upperRowTop - 20) << sc.label;
    EXPECT_LE(sc.scaledW("qvlogo"), sc.w) << sc.label;
}

TEST_P(DesignLayouts, SubjectPanelLeavesALedgeAndRowsHoldTheirHeads)
{
    const Screen sc = GetParam();
    const double panel = sc.width("subjectbtn_02", sc.scaleX());
    EXPECT_GT(panel, sc.w / 2) << sc.label;
    EXPECT_LT(panel, sc.w - 40) << sc.label;
    // Entry rows take their group head's height, so an entry may not be taller.
    EXPECT_LE(sizeOf("subjectbtn_02").height(), sizeOf("subjectbtn_01").height());
}

TEST_P(DesignLayouts, LoginBandsFillTheScreenAndTheFormFitsBandFour)
{
    const Screen sc = GetParam();
    const char* bands[] = {"loginbg_01", "loginbg_02", "loginbg_03", "loginbg_04", "loginbg_05"};
    double y = 0;
    double band4Top = 0;
    for (const char* band : bands) {
        if (QByteArray(band) == "loginbg_04")
            band4Top = y;
        EXPECT_GE(sc.scaledW(band), sc.w - 2) << band << " " << sc.label;
        y += sc.scaledH(band);
    }
    // The bands scale with width and height together, so they fill tall screens only nearly.
    EXPECT_NEAR(y / sc.h, 1.0, 0.05) << sc.label;
    EXPECT_LE(sc.scaledH("login_bg"), sc.scaledH("loginbg_04")) << sc.label;
    const double loginTop = band4Top + sc.scaledH("login_bg") + 20;
    const double registerBottom = loginTop + sc.scaledH("loginbtn") + 20 + sc.scaledH("login_regster");
    EXPECT_LE(registerBottom, sc.h) << sc.label;
    EXPECT_LE(sc.scaledW("login_regster"), sc.scaledW("loginbtn")) << sc.label;
}

TEST_P(DesignLayouts, SettingsMenuStackStaysAboveSignOut)
{
    const Screen sc = GetParam();
    const double stackBottom = 100 + sc.scaledH("accountInfobtn") + sc.scaledH("noticebtn") + 20 + sc.scaledH("style_btn") + 20 +
                               sc.scaledH("FeedbackandScorebtn") + sc.scaledH("versionbg");
    EXPECT_LT(stackBottom, sc.h - 15 - sc.scaledH("login_out")) << sc.label;
    // The version label is 200 points wide, 10 points in, 20 high.
    EXPECT_GE(sc.scaledW("versionbg"), 200) << sc.label;
    EXPECT_GE(sc.scaledH("versionbg"), 20) << sc.label;
}

TEST_P(DesignLayouts, FormsAndTheirButtonsFitOnScreen)
{
    const Screen sc = GetParam();
    const double registerBottom = 100 + sc.scaledH("register") + 20 + sc.scaledH("registerbtn") + 40 + 16;
    EXPECT_LT(registerBottom, sc.h) << sc.label;
    // Three field rows of 30 points below the 28-point header.
    EXPECT_GE((sc.scaledH("register") - 28) / 3, 30) << sc.label;
    const double feedbackBottom = 100 + sc.scaledH("feedbg") + 20 + sc.scaledH("feedback_submit");
    EXPECT_LT(feedbackBottom, sc.h) << sc.label;
    const double accountLines = (std::trunc(sc.scaledH("accountbg") / 2) - 20) / 3;
    EXPECT_GT(accountLines, 0) << sc.label;
    EXPECT_LT(100 + sc.scaledH("accountbg"), sc.h) << sc.label;
}

TEST_P(DesignLayouts, PracticeToolbarButtonsDoNotOverlap)
{
    const Screen sc = GetParam();
    const double band = sc.h / 7;
    const double backRight = 10 + sc.scaledW("back_btn");
    const double keepLeft = (sc.w / 2 - sc.scaledW("keep")) / 2;
    const double cardLeft = sc.w / 2 - std::trunc(sc.scaledW("answer_card") / 2);
    const double analyzeLeft = (sc.w / 2 - sc.scaledW("open_analyze")) / 2 + sc.w / 2;
    EXPECT_LT(backRight, keepLeft) << sc.label;
    EXPECT_LT(keepLeft + sc.scaledW("keep"), cardLeft) << sc.label;
    EXPECT_LT(cardLeft + sc.scaledW("answer_card"), analyzeLeft) << sc.label;
    EXPECT_LE(analyzeLeft + sc.scaledW("open_analyze"), sc.w) << sc.label;
    EXPECT_EQ(sizeOf("keep"), sizeOf("delerror"));
    for (const char* name : {"back_btn", "keep", "answer_card", "open_analyze", "celarall"})
        EXPECT_LE(sc.scaledH(name), band) << name << " " << sc.label;
    EXPECT_LT(sc.scaledW("back_btn") + 10, sc.w - sc.scaledW("celarall") - 10) << sc.label;
}

TEST_P(DesignLayouts, TenTilesFillARowOfTheCardAndTheReport)
{
    const Screen sc = GetParam();
    for (const char* tile : {"exam_num_red", "exam_num_blue"})
        EXPECT_GT((sc.w - 10 * sc.scaledW(tile)) / 11, 1) << tile << " " << sc.label;
    EXPECT_GT((sc.w - 10 * sc.width("exam_number", sc.scaleX())) / 11, 1) << sc.label;
    EXPECT_EQ(sizeOf("exam_num_red"), sizeOf("exam_num_blue"));
    EXPECT_LE(sc.scaledW("defen_bg"), sc.w / 2) << sc.label;
    EXPECT_LE(sc.w / 2 + (sc.w / 2 - sc.scaledW("defen_bg")) / 2 + sc.scaledW("countdao"), sc.w) << sc.label;
    EXPECT_LE(2 * sc.scaledW("look_error_analyze") + 10, sc.w) << sc.label;
    EXPECT_LE(sc.scaledW("drill_cord_bg"), sc.w) << sc.label;
    EXPECT_LE(sc.width("report_title", sc.scaleX()), sc.w) << sc.label;
}

TEST_P(DesignLayouts, PracticeSettingsChoicesFitTheControlColumn)
{
    const Screen sc = GetParam();
    // Choices are shown at half their pixel size, side by side, from 20 + 5W/8.
    const double column = sc.w - (20 + 5 * sc.w / 8);
    const double row = 6 * (sc.h / 7) / 8;
    auto half = [](const char* name) { return QSizeF(sizeOf(name).width() / 2, sizeOf(name).height() / 2); };
    EXPECT_LE(half("fontsize_a_01").width() + half("fontsize_b_01").width() + half("fontsize_c_01").width(), column)
        << sc.label;
    EXPECT_LE(half("order_distill_01").width() + half("rand_distill_01").width(), column) << sc.label;
    EXPECT_LE(half("yes_btn_01").width() + half("no_btn_01").width(), column) << sc.label;
    for (const char* name : {"fontsize_a_01", "order_distill_01", "yes_btn_01"})
        EXPECT_LE(half(name).height(), row) << name << " " << sc.label;
    // The submit button sits below the six rows.
    EXPECT_GT(sc.h - sc.scaledH("feedback_submit") - 20, sc.h / 7 + 6 * row) << sc.label;
}

TEST_P(DesignLayouts, TreeRowsCarryTheStartButtonAndSpanTheScreen)
{
    const Screen sc = GetParam();
    const double f = 20 / sc.s * sc.scale();
    for (int i = 1; i <= 7; ++i) {
        const QByteArray name = "special_scroll_0" + QByteArray::number(i);
        const double width = sc.width(name.constData(), sc.scaleX());
        const double height = sc.height(name.constData(), sc.scaleX());
        EXPECT_NEAR(width, sc.w, 1) << name.constData() << " " << sc.label;
        EXPECT_GE(height, 1 + sc.scaledH("special_edit")) << name.constData() << " " << sc.label;
        EXPECT_GE(height, f) << name.constData() << " " << sc.label;
    }
}

INSTANTIATE_TEST_SUITE_P(Screens, DesignLayouts,
                         testing::Values(Screen{480, 854, 1, "480x854@1"}, Screen{320, 568, 2, "320x568@2"},
                                         Screen{375, 667, 2, "375x667@2"}, Screen{414, 736, 3, "414x736@3"}),
                         [](const testing::TestParamInfo<Screen>& info) { return "screen" + std::to_string(info.index); });
