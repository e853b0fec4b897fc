#pragma once

#include <QJsonObject>
#include <QString>
#include <memory>
#include <optional>
#include <utility>

class SpecalHeadView;
class SpecialEditBtn;
class SpecialName;
namespace ui {
class Label;
}

// The pieces both tree screens build their rows from: the connector choice, the start
// button, the count label and the name label's final layout.
class SpecialRowControls {
public:
    SpecialRowControls() = delete;

    // Connector file names (collapsed, expanded) of a directory or paper row, of chapter j of
    // C with n nodes, and of a node row.
    static std::pair<QString, QString> topConnectors();
    // A top row that never has rows below it (a book's paper row): nothing to open.
    static std::pair<QString, QString> closedTopConnectors();
    static std::pair<QString, QString> chapterConnectors(long nodeCount, bool lastChapter);
    static std::pair<QString, QString> nodeConnectors(bool lastNodeOfLastChapter);
    static std::shared_ptr<SpecalHeadView> makeRow(const std::pair<QString, QString>& connectors);

    // The count font size (20 design points on this screen).
    static double countFontSize();
    // The start button at y 1 whose right edge is 10 points left of `right`.
    static std::shared_ptr<SpecialEditBtn> makeStartButton(double right);
    // "N道" in the count colour; the caller places it.
    static std::shared_ptr<ui::Label> makeCountLabel(qint64 count);
    static QString countText(qint64 count);
    // The name label's final look: unlimited lines of bold 14, measured in that font within
    // the width left of the count label, at the row's text line.
    static void layoutName(ui::Label& label, double countLabelX);

    static void tag(SpecialEditBtn& button, const QJsonObject& record, const std::optional<QString>& code,
                    const QString& editType);
    static void tag(SpecialName& label, const QJsonObject& record, const std::optional<QString>& code,
                    const QString& editType);

    // Horizontal design lengths on this screen (x × getScaleX / getSystemScale).
    static double alongX(double length);
};
