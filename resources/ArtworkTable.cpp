#include "resources/ArtworkTable.h"

#include <QHash>

namespace artwork {

namespace {

std::vector<ArtworkEntry> buildEntries()
{
    std::vector<ArtworkEntry> list = {
        // Full-screen backgrounds and the modal screens' shared chrome.
        {"allBg", {480, 854}},
        {"main_bg01", {480, 854}},
        {"main_bg02", {480, 854}},
        {"main_bg03", {480, 854}},
        {"main_bg04", {480, 854}},
        {"back_btn", {60, 60}},

        // Home screen: the logo and eight tiles whose captions are labels below them. A tile
        // stays wider than its four-character caption at 14 points on a 320-point phone.
        {"qvlogo", {320, 128}},
        {"select_btn_01", {100, 100}},
        {"main_login_btn01", {100, 100}},
        {"main_regster_btn01", {100, 100}},
        {"systemset_btn_01", {100, 100}},
        {"zx_btn_01", {100, 100}},
        {"csj_btn_01", {100, 100}},
        {"zt_btn_01", {100, 100}},
        {"ct_btn_01", {100, 100}},

        // Subject menu heads; an entry's width is also the open side panel's width.
        {"subjectbtn_01", {360, 88}},
        {"subjectbtn_02", {360, 88}},

        // Login: five stacked bands fill the screen height; the form sits on band 4.
        {"loginbg_01", {480, 122}},
        {"loginbg_02", {480, 200}},
        {"loginbg_03", {480, 40}},
        {"loginbg_04", {480, 176}},
        {"loginbg_05", {480, 316}},
        {"login_bg", {440, 176}},
        {"loginbtn", {400, 80}},
        {"login_regster", {180, 56}},

        // Registration.
        {"register", {440, 320}},
        {"registerbtn", {400, 80}},

        // Settings menu, account information and feedback.
        {"accountInfobtn", {440, 80}},
        {"noticebtn", {440, 80}},
        {"style_btn", {440, 80}},
        {"FeedbackandScorebtn", {440, 80}},
        {"versionbg", {440, 60}},
        {"login_out", {440, 80}},
        {"accountbg", {440, 240}},
        {"feedbtn", {440, 80}},
        {"feed_02", {440, 80}},
        {"feedbg", {440, 400}},
        {"feedback_submit", {400, 80}},

        // Practice screen: toolbar, title strip, answer card.
        {"keep", {72, 72}},
        {"delerror", {72, 72}},
        {"answer_card", {72, 72}},
        {"open_analyze", {72, 72}},
        {"exam_02", {480, 96}},
        {"exam_number", {40, 40}},
        {"answer_finish_btn", {400, 80}},

        // Question category badges, shown inline in the question text at half their size.
        {"radio_title", {120, 48}},
        {"checkbox_title", {120, 48}},
        {"panduan_title", {120, 48}},
        {"tiankong_title", {120, 48}},
        {"jieda_title", {120, 48}},
        {"budingxiag_title", {120, 48}},

        // True/false answers: "_1" is the selected look, "_2" the normal one.
        {"checkok_1", {200, 64}},
        {"checkok_2", {200, 64}},
        {"checkerror_1", {200, 64}},
        {"checkerror_2", {200, 64}},

        // Score report.
        {"report_title", {480, 96}},
        {"defen_bg", {220, 160}},
        {"countdao", {220, 160}},
        {"drill_cord_bg", {440, 220}},
        {"exam_num_blue", {40, 40}},
        {"exam_num_red", {40, 40}},
        {"look_error_analyze", {200, 64}},
        {"look_all_analyze", {200, 64}},

        // Paper list rows.
        {"paper_bg", {480, 120}},
        {"paper_difficulty", {120, 36}},

        // Practice settings options: three or two side by side fit the control column.
        {"fontsize_a_01", {56, 56}},
        {"fontsize_a_02", {56, 56}},
        {"fontsize_b_01", {56, 56}},
        {"fontsize_b_02", {56, 56}},
        {"fontsize_c_01", {56, 56}},
        {"fontsize_c_02", {56, 56}},
        {"order_distill_01", {88, 56}},
        {"order_distill_02", {88, 56}},
        {"rand_distill_01", {88, 56}},
        {"rand_distill_02", {88, 56}},
        {"yes_btn_01", {88, 56}},
        {"yes_btn_02", {88, 56}},
        {"no_btn_01", {88, 56}},
        {"no_btn_02", {88, 56}},

        // Chapter trees: connector pictures span the row; the start button sits at its right.
        {"special_scroll_01", {480, 48}},
        {"special_scroll_02", {480, 48}},
        {"special_scroll_03", {480, 48}},
        {"special_scroll_04", {480, 48}},
        {"special_scroll_05", {480, 48}},
        {"special_scroll_06", {480, 48}},
        {"special_scroll_07", {480, 48}},
        {"special_scroll_08", {480, 48}},
        {"special_edit", {56, 40}},

        // Error book, favourites, practice hub and records.
        {"celarall", {96, 56}},
        {"drill_record_01", {480, 200}},
        {"drill_record_02", {480, 200}},
        {"exercise_record", {480, 100}},
    };

    // Option letters A to G: "_01" normal, "_02" selected.
    for (const QString& prefix : {QStringLiteral("radio"), QStringLiteral("checkbox")}) {
        for (char letter = 'a'; letter <= 'g'; ++letter) {
            for (const char* state : {"_01", "_02"})
                list.push_back({prefix + QChar(letter) + QLatin1String(state), {64, 64}});
        }
    }
    return list;
}

const QHash<QString, QSize>& sizeIndex()
{
    static const QHash<QString, QSize> index = [] {
        QHash<QString, QSize> map;
        for (const ArtworkEntry& entry : ArtworkTable::entries())
            map.insert(entry.name, entry.size);
        return map;
    }();
    return index;
}

} // namespace

const std::vector<ArtworkEntry>& ArtworkTable::entries()
{
    static const std::vector<ArtworkEntry> list = buildEntries();
    return list;
}

std::optional<QSize> ArtworkTable::pixelSize(const QString& name)
{
    const auto it = sizeIndex().constFind(baseName(name));
    if (it == sizeIndex().constEnd())
        return std::nullopt;
    return *it;
}

bool ArtworkTable::contains(const QString& name)
{
    return pixelSize(name).has_value();
}

QString ArtworkTable::baseName(const QString& name)
{
    static const QString suffix = QStringLiteral(".png");
    if (name.endsWith(suffix))
        return name.chopped(suffix.size());
    return name;
}

} // namespace artwork
