#pragma once

#include "browse/RowTag.h"
#include "platform/ui/Button.h"

#include <memory>

// A tree row's start button. It owns its row tag, so the record it starts stays alive
// exactly as long as the button does and no other control can see it.
class SpecialEditBtn : public ui::Button {
public:
    static std::shared_ptr<SpecialEditBtn> create();

    const RowTag& rowTag() const { return m_rowTag; }
    const std::optional<QJsonObject>& data() const { return m_rowTag.data; }
    void setData(const QJsonObject& data) { m_rowTag.data = data; }
    const std::optional<QString>& code() const { return m_rowTag.code; }
    void setCode(const QString& code) { m_rowTag.code = code; }
    const std::optional<QString>& editType() const { return m_rowTag.editType; }
    void setEditType(const QString& editType) { m_rowTag.editType = editType; }

protected:
    SpecialEditBtn();

private:
    RowTag m_rowTag;
};
