#pragma once

#include <QJsonObject>
#include <QString>
#include <optional>
#include <utility>

// What a tree row's start button and name label carry for the tap handlers: the row's
// record, the book entry's code (error book and favourites only) and the row's level
// ("0" directory, "1" chapter, "2" node, "4" paper). Unset values read as nullopt.
struct RowTag {
    std::optional<QJsonObject> data;
    std::optional<QString> code;
    std::optional<QString> editType;
};

// A control that owns its row tag, so the record it starts stays alive exactly as long as
// the control does and no other control can see it.
template<class Control>
class RowTagged : public Control {
public:
    const RowTag& rowTag() const { return m_rowTag; }
    const std::optional<QJsonObject>& data() const { return m_rowTag.data; }
    void setData(const QJsonObject& data) { m_rowTag.data = data; }
    const std::optional<QString>& code() const { return m_rowTag.code; }
    void setCode(const QString& code) { m_rowTag.code = code; }
    const std::optional<QString>& editType() const { return m_rowTag.editType; }
    void setEditType(const QString& editType) { m_rowTag.editType = editType; }

protected:
    template<class... Args>
    explicit RowTagged(Args&&... args)
        : Control(std::forward<Args>(args)...)
    {
    }

private:
    RowTag m_rowTag;
};
