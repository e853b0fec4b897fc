#pragma once

#include "components/tree/TreeItem.h"
#include "platform/ui/View.h"

#include <QString>
#include <memory>
#include <vector>

namespace ui {
class ImageView;
}

// One row of the chapter and book trees: a connector picture (the tree's branch lines, in a
// collapsed and an expanded form) that sets the row's size, the controls the tree screen adds
// on top, and the row's child rows. The tree view takes the rows themselves as its items.
class SpecalHeadView : public ui::View, public TreeItem {
public:
    static std::shared_ptr<SpecalHeadView> create();

    // Called once, before any control is added: both connector file names, the collapsed
    // one shown.
    void initheadView(const QString& normalImage, const QString& highlightedImage);
    void setExpand();
    void setColl();

    // Child rows in display order; a row that never got any has none.
    const std::vector<std::shared_ptr<SpecalHeadView>>& chlder() const { return m_chlder; }
    void setChlder(std::vector<std::shared_ptr<SpecalHeadView>> chlder) { m_chlder = std::move(chlder); }
    void appendChild(const std::shared_ptr<SpecalHeadView>& child) { m_chlder.push_back(child); }

    const QString& normalImage() const { return m_normalImage; }
    const QString& highlightedImage() const { return m_highlightedImage; }
    std::shared_ptr<ui::ImageView> headView() const { return m_headView; }

protected:
    SpecalHeadView();

private:
    void showConnector(const QString& imageName);

    std::vector<std::shared_ptr<SpecalHeadView>> m_chlder;
    QString m_normalImage;
    QString m_highlightedImage;
    std::shared_ptr<ui::ImageView> m_headView;
};
