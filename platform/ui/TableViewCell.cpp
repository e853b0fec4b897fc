#include "platform/ui/TableViewCell.h"

#include "platform/ui/Button.h"
#include "platform/ui/DrawContext.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TableView.h"
#include "platform/ui/Touch.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace ui {

namespace {

constexpr double kContentMargin = 15;
constexpr double kEditingControlWidth = 38;
constexpr double kAccessoryWidth = 30;
constexpr double kDeleteButtonPadding = 15;
const Color kSelectionColor = Color::fromRGB(0xD9D9D9);
const Color kDeleteColor = Color::fromRGB(0xFF3B30);
const Color kInsertColor = Color::fromRGB(0x4CD964);
const Color kAccessoryColor = Color::fromRGB(0xC7C7CC);

// The editing control's round symbol: a bar across a coloured disc, crossed for "insert".
Image editingSymbol(TableViewCellEditingStyle style)
{
    const double scale = 2;
    QImage pixels(QSize(44, 44), QImage::Format_ARGB32_Premultiplied);
    pixels.fill(Qt::transparent);
    QPainter p(&pixels);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush((style == TableViewCellEditingStyle::Insert ? kInsertColor : kDeleteColor).toQColor());
    p.drawEllipse(QRectF(2, 2, 40, 40));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(10, 19, 24, 6));
    if (style == TableViewCellEditingStyle::Insert)
        p.drawRect(QRectF(19, 10, 6, 24));
    p.end();
    return Image::fromQImage(pixels, scale);
}

Image detailSymbol()
{
    QImage pixels(QSize(44, 44), QImage::Format_ARGB32_Premultiplied);
    pixels.fill(Qt::transparent);
    QPainter p(&pixels);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 122, 255), 3));
    p.drawEllipse(QRectF(3, 3, 38, 38));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 122, 255));
    p.drawEllipse(QRectF(19.5, 10, 5, 5));
    p.drawRect(QRectF(20, 18, 4, 16));
    p.end();
    return Image::fromQImage(pixels, 2);
}

} // namespace

std::shared_ptr<TableViewCell> TableViewCell::create(TableViewCellStyle style, const QString& reuseIdentifier)
{
    return std::shared_ptr<TableViewCell>(new TableViewCell(style, reuseIdentifier));
}

TableViewCell::TableViewCell(TableViewCellStyle style, const QString& reuseIdentifier)
    : View(Rect(0, 0, 320, 44))
    , m_style(style)
    , m_reuseIdentifier(reuseIdentifier)
{
    setBackgroundColor(Color::white());
    m_look.separatorColor = Color::fromRGB(0xC8C7CC);
    m_look.separatorInset = EdgeInsets{0, kContentMargin, 0, 0};
    m_contentView = View::create(bounds());
    m_contentView->setBackgroundColor(Color::clear());
    m_contentView->setOpaque(false);
}

void TableViewCell::ensureContentView()
{
    if (m_contentView->superview().get() != this)
        insertSubviewAt(m_contentView, 0);
}

std::shared_ptr<View> TableViewCell::contentView()
{
    ensureContentView();
    return m_contentView;
}

std::shared_ptr<Label> TableViewCell::textLabel()
{
    if (!m_textLabel) {
        m_textLabel = Label::create();
        m_textLabel->setFont(Font::systemFont(m_style == TableViewCellStyle::Subtitle ? 17 : 18));
        contentView()->addSubview(m_textLabel);
        setNeedsLayout();
    }
    return m_textLabel;
}

std::shared_ptr<Label> TableViewCell::detailTextLabel()
{
    if (m_style == TableViewCellStyle::Default)
        return nullptr;
    if (!m_detailTextLabel) {
        m_detailTextLabel = Label::create();
        m_detailTextLabel->setFont(Font::systemFont(m_style == TableViewCellStyle::Subtitle ? 12 : 17));
        m_detailTextLabel->setTextColor(m_style == TableViewCellStyle::Subtitle ? Color::black() : Color::fromRGB(0x8E8E93));
        if (m_style == TableViewCellStyle::Value1)
            m_detailTextLabel->setTextAlignment(TextAlignment::Right);
        contentView()->addSubview(m_detailTextLabel);
        setNeedsLayout();
    }
    return m_detailTextLabel;
}

std::shared_ptr<ImageView> TableViewCell::imageView()
{
    if (!m_imageView) {
        m_imageView = ImageView::create();
        contentView()->addSubview(m_imageView);
        setNeedsLayout();
    }
    return m_imageView;
}

void TableViewCell::setAccessoryType(TableViewCellAccessoryType type)
{
    if (m_accessoryType == type)
        return;
    m_accessoryType = type;
    if (m_accessoryButton) {
        m_accessoryButton->removeFromSuperview();
        m_accessoryButton.reset();
    }
    if (type == TableViewCellAccessoryType::DetailDisclosureButton) {
        m_accessoryButton = Button::create(Rect(0, 0, 22, 22));
        m_accessoryButton->setImage(detailSymbol(), ControlState::Normal);
        std::weak_ptr<TableViewCell> weak = std::static_pointer_cast<TableViewCell>(shared_from_this());
        m_accessoryButton->addTarget(nullptr, [weak](const std::shared_ptr<Control>&) {
            auto self = weak.lock();
            auto table = self ? self->m_tableView.lock() : nullptr;
            if (table)
                table->cellAccessoryTapped(*self);
        }, ControlEvent::TouchUpInside);
        addSubview(m_accessoryButton);
    }
    setNeedsLayout();
    setNeedsDisplay();
}

void TableViewCell::setAccessoryView(const std::shared_ptr<View>& view)
{
    if (m_accessoryView)
        m_accessoryView->removeFromSuperview();
    m_accessoryView = view;
    if (view)
        addSubview(view);
    setNeedsLayout();
}

void TableViewCell::setSelectionStyle(TableViewCellSelectionStyle style)
{
    m_selectionStyle = style;
    setNeedsDisplay();
}

void TableViewCell::setSelected(bool selected, bool)
{
    if (m_selected == selected)
        return;
    m_selected = selected;
    setNeedsDisplay();
}

void TableViewCell::setHighlighted(bool highlighted, bool)
{
    if (m_highlighted == highlighted)
        return;
    m_highlighted = highlighted;
    setNeedsDisplay();
}

void TableViewCell::setIndentationLevel(int level)
{
    m_indentationLevel = std::max(0, level);
    setNeedsLayout();
}

void TableViewCell::setIndentationWidth(double width)
{
    m_indentationWidth = width;
    setNeedsLayout();
}

void TableViewCell::setEditing(bool editing, bool)
{
    setEditingState(editing, editing ? TableViewCellEditingStyle::Delete : TableViewCellEditingStyle::None, true);
}

void TableViewCell::setEditingState(bool editing, TableViewCellEditingStyle style, bool indents)
{
    m_editing = editing;
    m_editingStyle = editing ? style : TableViewCellEditingStyle::None;
    m_indentsWhileEditing = indents;
    if (!editing)
        hideDeleteConfirmation();
    if (m_editingControl) {
        m_editingControl->removeFromSuperview();
        m_editingControl.reset();
    }
    if (editing && style != TableViewCellEditingStyle::None) {
        m_editingControl = Button::create(Rect(0, 0, kEditingControlWidth, bounds().height()));
        m_editingControl->setImage(editingSymbol(style), ControlState::Normal);
        m_editingControl->setAdjustsImageWhenHighlighted(false);
        std::weak_ptr<TableViewCell> weak = std::static_pointer_cast<TableViewCell>(shared_from_this());
        m_editingControl->addTarget(nullptr, [weak](const std::shared_ptr<Control>&) {
            auto self = weak.lock();
            auto table = self ? self->m_tableView.lock() : nullptr;
            if (table)
                table->cellEditingControlTapped(*self);
        }, ControlEvent::TouchUpInside);
        addSubview(m_editingControl);
    }
    setNeedsLayout();
    layoutIfNeeded();
}

void TableViewCell::showDeleteConfirmation(const QString& title, std::function<void()> onDelete)
{
    hideDeleteConfirmation();
    m_deleteButton = Button::create(Rect());
    m_deleteButton->setBackgroundColor(kDeleteColor);
    m_deleteButton->setTitle(title, ControlState::Normal);
    m_deleteButton->setTitleColor(Color::white(), ControlState::Normal);
    m_deleteButton->titleLabel()->setFont(Font::systemFont(17));
    m_deleteButton->addTarget(nullptr, [onDelete = std::move(onDelete)](const std::shared_ptr<Control>&) {
        if (onDelete)
            onDelete();
    }, ControlEvent::TouchUpInside);
    addSubview(m_deleteButton);
    setNeedsLayout();
    layoutIfNeeded();
}

void TableViewCell::hideDeleteConfirmation()
{
    if (!m_deleteButton)
        return;
    m_deleteButton->removeFromSuperview();
    m_deleteButton.reset();
    setNeedsLayout();
}

void TableViewCell::prepareForReuse()
{
    setSelected(false);
    setHighlighted(false);
    setEditingState(false, TableViewCellEditingStyle::None, true);
    m_touchOnRow = false;
}

void TableViewCell::attach(const std::shared_ptr<TableView>& table, const TableLook& look)
{
    ensureContentView();
    m_tableView = table;
    m_look = look;
    setNeedsDisplay();
    setNeedsLayout();
}

double TableViewCell::separatorHeight() const
{
    if (m_look.separatorStyle == TableViewCellSeparatorStyle::None)
        return 0;
    return 1.0 / std::max(1.0, Screen::main().scale());
}

void TableViewCell::layoutAccessory(Rect& content)
{
    std::shared_ptr<View> accessory = m_accessoryView ? m_accessoryView : m_accessoryButton;
    if (accessory) {
        const Size s = accessory->frame().size;
        const double x = content.maxX() - kContentMargin - s.width;
        accessory->setFrame(Rect(x, content.y() + (content.height() - s.height) / 2, s.width, s.height));
        content.size.width = std::max(0.0, x - content.x());
        return;
    }
    if (m_accessoryType != TableViewCellAccessoryType::None)
        content.size.width = std::max(0.0, content.width() - kAccessoryWidth);
}

void TableViewCell::layoutSubviews()
{
    ensureContentView();
    const Rect b = bounds();
    Rect content(0, 0, b.width(), b.height() - separatorHeight());
    if (m_editingControl) {
        m_editingControl->setFrame(Rect(0, 0, kEditingControlWidth, content.height()));
        if (m_indentsWhileEditing) {
            content.origin.x += kEditingControlWidth;
            content.size.width -= kEditingControlWidth;
        }
    }
    if (m_deleteButton) {
        const double w = m_deleteButton->titleLabel()->sizeThatFits(Size()).width + 2 * kDeleteButtonPadding;
        m_deleteButton->setFrame(Rect(b.width() - w, 0, w, content.height()));
        content.size.width = std::max(0.0, content.width() - w);
    } else if (!m_editing) {
        layoutAccessory(content);
    }
    m_contentView->setFrame(content);

    const Rect cb = m_contentView->bounds();
    double x = kContentMargin + m_indentationLevel * m_indentationWidth;
    if (m_imageView && !m_imageView->image().isNull()) {
        const Size s = m_imageView->image().size();
        m_imageView->setFrame(Rect(x, (cb.height() - s.height) / 2, s.width, s.height));
        x += s.width + kContentMargin;
    }
    const double w = std::max(0.0, cb.width() - x - kContentMargin);
    switch (m_style) {
    case TableViewCellStyle::Default:
        if (m_textLabel)
            m_textLabel->setFrame(Rect(x, 0, w, cb.height()));
        break;
    case TableViewCellStyle::Subtitle:
        if (m_textLabel)
            m_textLabel->setFrame(Rect(x, 0, w, cb.height() * 0.55));
        if (m_detailTextLabel)
            m_detailTextLabel->setFrame(Rect(x, cb.height() * 0.55, w, cb.height() * 0.4));
        break;
    case TableViewCellStyle::Value1:
        if (m_textLabel)
            m_textLabel->setFrame(Rect(x, 0, w / 2, cb.height()));
        if (m_detailTextLabel)
            m_detailTextLabel->setFrame(Rect(x + w / 2, 0, w / 2, cb.height()));
        break;
    case TableViewCellStyle::Value2:
        if (m_textLabel)
            m_textLabel->setFrame(Rect(x, 0, w / 4, cb.height()));
        if (m_detailTextLabel)
            m_detailTextLabel->setFrame(Rect(x + w / 4 + 6, 0, w * 3 / 4 - 6, cb.height()));
        break;
    }
}

void TableViewCell::draw(DrawContext& context)
{
    const Rect b = bounds();
    if ((m_selected || m_highlighted) && m_selectionStyle != TableViewCellSelectionStyle::None) {
        context.setFillColor(kSelectionColor);
        context.fillRect(b);
    }
    if (!m_editing && !m_accessoryView && !m_deleteButton) {
        const double cx = b.width() - kContentMargin - 4;
        const double cy = (b.height() - separatorHeight()) / 2;
        context.setLineWidth(2);
        if (m_accessoryType == TableViewCellAccessoryType::DisclosureIndicator) {
            context.setStrokeColor(kAccessoryColor);
            context.strokeLine(Point(cx - 4, cy - 6), Point(cx + 2, cy));
            context.strokeLine(Point(cx + 2, cy), Point(cx - 4, cy + 6));
        } else if (m_accessoryType == TableViewCellAccessoryType::Checkmark) {
            context.setStrokeColor(Color::fromRGB(0x007AFF));
            context.strokeLine(Point(cx - 10, cy), Point(cx - 5, cy + 5));
            context.strokeLine(Point(cx - 5, cy + 5), Point(cx + 4, cy - 6));
        }
    }
    const double sep = separatorHeight();
    if (sep <= 0)
        return;
    const EdgeInsets in = m_look.separatorInset;
    context.setFillColor(m_look.separatorColor);
    context.fillRect(Rect(in.left, b.height() - sep, std::max(0.0, b.width() - in.left - in.right), sep));
}

// Controls and views that watch gestures keep their touches; everything else in the cell is
// part of the row.
std::shared_ptr<View> TableViewCell::hitTest(const Point& point, const Event* event)
{
    auto hit = View::hitTest(point, event);
    if (!hit || hit.get() == this)
        return hit;
    for (auto v = hit; v && v.get() != this; v = v->superview()) {
        if (dynamic_cast<Control*>(v.get()) || !v->gestureRecognizers().empty())
            return hit;
    }
    return shared_from_this();
}

void TableViewCell::touchesBegan(const TouchSet&, const Event&)
{
    auto table = m_tableView.lock();
    if (!table)
        return;
    m_touchOnRow = true;
    table->cellTouchBegan(*this);
}

void TableViewCell::touchesMoved(const TouchSet& touches, const Event&)
{
    if (!m_touchOnRow || touches.empty())
        return;
    if (bounds().contains(touches.front()->locationInView(this)))
        return;
    // A finger that leaves the row no longer selects it.
    m_touchOnRow = false;
    if (auto table = m_tableView.lock())
        table->cellTouchEnded(*this, false);
}

void TableViewCell::touchesEnded(const TouchSet& touches, const Event&)
{
    if (!m_touchOnRow)
        return;
    m_touchOnRow = false;
    const bool inside = !touches.empty() && bounds().contains(touches.front()->locationInView(this));
    if (auto table = m_tableView.lock())
        table->cellTouchEnded(*this, inside);
}

void TableViewCell::touchesCancelled(const TouchSet&, const Event&)
{
    if (!m_touchOnRow)
        return;
    m_touchOnRow = false;
    if (auto table = m_tableView.lock())
        table->cellTouchEnded(*this, false);
}

} // namespace ui
