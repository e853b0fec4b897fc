#pragma once

#include "platform/ui/View.h"

#include <QJsonObject>
#include <QString>
#include <memory>
#include <vector>

class HeadViewDelegate;
namespace ui {
class Button;
class Control;
}

// One tappable head of the accordion: a group head (type set, with entries in chlder) or an
// entry (type 0, standing for its data record). The head is as large as its button, which is
// as large as its normal image scaled to the screen's axes.
class HeadView : public ui::View {
public:
    static constexpr int kEntry = 0;
    static constexpr int kGroup = 1;

    static std::shared_ptr<HeadView> create();

    // Builds the button from the two image file names and sizes the head after the first.
    void initheadBtn(const QString& normalImage, const QString& highlightedImage);
    void headClick(const std::shared_ptr<ui::Control>& sender);

    bool open() const { return m_open; }
    void setOpen(bool open) { m_open = open; }
    const std::vector<std::shared_ptr<HeadView>>& chlder() const { return m_chlder; }
    void addChild(const std::shared_ptr<HeadView>& entry) { m_chlder.push_back(entry); }
    std::shared_ptr<ui::Button> headBtn() const { return m_headBtn; }
    QString normalImage() const { return m_normalImage; }
    QString highlightedImage() const { return m_highlightedImage; }
    const QJsonObject& data() const { return m_data; }
    void setData(const QJsonObject& data) { m_data = data; }
    int type() const { return m_type; }
    void setType(int type) { m_type = type; }
    bool isGroup() const { return m_type != kEntry; }
    int section() const { return m_section; }
    void setSection(int section) { m_section = section; }
    std::shared_ptr<HeadViewDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<HeadViewDelegate>& delegate) { m_delegate = delegate; }

protected:
    HeadView();

private:
    bool m_open = false;
    std::vector<std::shared_ptr<HeadView>> m_chlder;
    std::shared_ptr<ui::Button> m_headBtn;
    QString m_normalImage;
    QString m_highlightedImage;
    QJsonObject m_data;
    int m_type = kEntry;
    int m_section = 0;
    std::weak_ptr<HeadViewDelegate> m_delegate;
};
