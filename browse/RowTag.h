#pragma once

#include <QJsonObject>
#include <QString>
#include <optional>

// What a tree row's start button and name label carry for the tap handlers: the row's
// record, the book entry's code (error book and favourites only) and the row's level
// ("0" directory, "1" chapter, "2" node, "4" paper). Unset values read as nullopt.
struct RowTag {
    std::optional<QJsonObject> data;
    std::optional<QString> code;
    std::optional<QString> editType;
};
