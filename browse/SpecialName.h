#pragma once

#include "browse/RowTag.h"
#include "platform/ui/Label.h"

#include <memory>

// A tree row's name label; like the start button it owns its row tag.
class SpecialName : public ui::Label {
public:
    static std::shared_ptr<SpecialName> create();

    const RowTag& rowTag() const { return m_rowTag; }
    const std::optional<QJsonObject>& data() const { return m_rowTag.data; }
    void setData(const QJsonObject& data) { m_rowTag.data = data; }
    const std::optional<QString>& code() const { return m_rowTag.code; }
    void setCode(const QString& code) { m_rowTag.code = code; }
    const std::optional<QString>& editType() const { return m_rowTag.editType; }
    void setEditType(const QString& editType) { m_rowTag.editType = editType; }

protected:
    SpecialName();

private:
    RowTag m_rowTag;
};
