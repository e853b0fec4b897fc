#pragma once

#include "platform/ui/Color.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/TableViewDataSource.h"
#include "platform/ui/View.h"

#include <QString>
#include <functional>
#include <memory>

namespace ui {

class Button;
class ImageView;
class Label;
class TableView;

// Cell styles with the phone's values: the default cell shows one text label; the others
// add a detail label (beside it, or below it in the subtitle style).
enum class TableViewCellStyle { Default = 0, Value1 = 1, Value2 = 2, Subtitle = 3 };
enum class TableViewCellSelectionStyle { None = 0, Blue = 1, Gray = 2, Default = 3 };
enum class TableViewCellAccessoryType { None = 0, DisclosureIndicator = 1, DetailDisclosureButton = 2, Checkmark = 3 };
enum class TableViewCellSeparatorStyle { None = 0, SingleLine = 1, SingleLineEtched = 2 };

// One row of a table: a content view (where callers add their own views) over a
// background, with optional text labels, image, accessory and, while editing, the editing
// control and the "Delete" confirmation.
//
// A touch that lands on the cell itself or on a plain view inside it (not a control, and no
// view with a gesture recogniser of its own) belongs to the row: it highlights the cell and,
// when it lifts inside, selects the row through the table.
class TableViewCell : public View {
public:
    static std::shared_ptr<TableViewCell> create(TableViewCellStyle style = TableViewCellStyle::Default,
                                                 const QString& reuseIdentifier = QString());

    TableViewCellStyle style() const { return m_style; }
    QString reuseIdentifier() const { return m_reuseIdentifier; }

    std::shared_ptr<View> contentView();
    std::shared_ptr<Label> textLabel();
    // Null in the default style.
    std::shared_ptr<Label> detailTextLabel();
    std::shared_ptr<ImageView> imageView();

    TableViewCellAccessoryType accessoryType() const { return m_accessoryType; }
    void setAccessoryType(TableViewCellAccessoryType type);
    std::shared_ptr<View> accessoryView() const { return m_accessoryView; }
    void setAccessoryView(const std::shared_ptr<View>& view);

    TableViewCellSelectionStyle selectionStyle() const { return m_selectionStyle; }
    void setSelectionStyle(TableViewCellSelectionStyle style);
    bool isSelected() const { return m_selected; }
    void setSelected(bool selected, bool animated = false);
    bool isHighlighted() const { return m_highlighted; }
    void setHighlighted(bool highlighted, bool animated = false);

    int indentationLevel() const { return m_indentationLevel; }
    void setIndentationLevel(int level);
    double indentationWidth() const { return m_indentationWidth; }
    void setIndentationWidth(double width);

    bool isEditing() const { return m_editing; }
    void setEditing(bool editing, bool animated = false);
    TableViewCellEditingStyle editingStyle() const { return m_editingStyle; }
    bool showingDeleteConfirmation() const { return m_deleteButton != nullptr; }
    // The confirmation button while it is shown (tests tap it).
    std::shared_ptr<Button> deleteConfirmationButton() const { return m_deleteButton; }
    std::shared_ptr<Button> editingControl() const { return m_editingControl; }

    // Back to a blank state before the table hands the cell out again (base: unselect,
    // unhighlight, leave editing).
    virtual void prepareForReuse();

    std::shared_ptr<View> hitTest(const Point& point, const Event* event) override;

protected:
    TableViewCell(TableViewCellStyle style, const QString& reuseIdentifier);

    void layoutSubviews() override;
    void draw(DrawContext& context) override;
    void touchesBegan(const TouchSet& touches, const Event& event) override;
    void touchesMoved(const TouchSet& touches, const Event& event) override;
    void touchesEnded(const TouchSet& touches, const Event& event) override;
    void touchesCancelled(const TouchSet& touches, const Event& event) override;

private:
    friend class TableView;
    friend class TableRowEditing;   // acts for the table on a row's delete confirmation

    // What the table hands each cell it shows.
    struct TableLook {
        TableViewCellSeparatorStyle separatorStyle = TableViewCellSeparatorStyle::SingleLine;
        Color separatorColor;
        EdgeInsets separatorInset;
    };
    void attach(const std::shared_ptr<TableView>& table, const TableLook& look);
    void setEditingState(bool editing, TableViewCellEditingStyle style, bool indents);
    void showDeleteConfirmation(const QString& title, std::function<void()> onDelete);
    void hideDeleteConfirmation();
    void layoutAccessory(Rect& content);
    // The content view joins the cell on first use: a view cannot adopt subviews while it is
    // still being constructed.
    void ensureContentView();
    double separatorHeight() const;

    TableViewCellStyle m_style;
    QString m_reuseIdentifier;
    std::shared_ptr<View> m_contentView;
    std::shared_ptr<Label> m_textLabel;
    std::shared_ptr<Label> m_detailTextLabel;
    std::shared_ptr<ImageView> m_imageView;
    std::shared_ptr<View> m_accessoryView;
    std::shared_ptr<Button> m_accessoryButton;
    std::shared_ptr<Button> m_editingControl;
    std::shared_ptr<Button> m_deleteButton;
    std::weak_ptr<TableView> m_tableView;
    TableLook m_look;
    TableViewCellAccessoryType m_accessoryType = TableViewCellAccessoryType::None;
    TableViewCellSelectionStyle m_selectionStyle = TableViewCellSelectionStyle::Blue;
    TableViewCellEditingStyle m_editingStyle = TableViewCellEditingStyle::None;
    int m_indentationLevel = 0;
    double m_indentationWidth = 10;
    bool m_selected = false;
    bool m_highlighted = false;
    bool m_editing = false;
    bool m_indentsWhileEditing = true;
    bool m_touchOnRow = false;
};

} // namespace ui
