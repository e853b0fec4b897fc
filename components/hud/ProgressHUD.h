#pragma once

#include "platform/ui/Color.h"
#include "platform/ui/Font.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/View.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class ProgressHUDDelegate;

namespace core {
class Timer;
}

namespace ui {
class Label;
class Window;
}

// Which indicator the panel shows.
enum class ProgressHUDMode : std::int32_t {
    Indeterminate = 0,   // the spinner
    Pie = 1,
    Bar = 2,
    Ring = 3,
    CustomView = 4,
    Text = 5,            // no indicator
};

// How the overlay appears and disappears when animated; any other value fades.
enum class ProgressHUDAnimation : std::int32_t {
    Fade = 0,
    Shrink = 1,   // in from 1.5 times its size, out to 0.5 times
    Grow = 2,     // in from 0.5 times its size, out to 1.5 times
};

// A busy, progress or text overlay laid over a host view: it covers the host's bounds and
// draws a rounded translucent panel at the host's centre with an indicator, a one-line label
// and a wrapped details label.
//
// Timing runs on core::Clock. A grace time keeps quick work from flashing the overlay at
// all; a minimum show time keeps a shown overlay up long enough to be read. Hiding ends in
// done(): pending delayed hides dropped, alpha 0, removal from the host when asked, the
// completion block, then the delegate.
//
// Threads: the overlay lives on the run loop's thread. A caller's work runs off it (the method
// form on a thread of its own, the block forms on a shared background pool or the caller's
// executor) and its end is posted back to the loop. Setters may be called from any thread:
// off the loop the change is posted to the loop, in order, and dropped if the overlay has gone
// by then. Getters, showing and hiding belong to the loop's thread (show and hide abort
// elsewhere). Property changes that show on the panel ask for one layout and redraw, which the
// platform runs once per run-loop turn, so settings made in the same turn as show() take
// effect together.
class ProgressHUD : public ui::View {
public:
    using Block = std::function<void()>;
    // Where a caller's work runs; it must run the task exactly once, on any thread.
    using Executor = std::function<void(std::function<void()> task)>;
    // A method of the target, performed with its object.
    using Method = std::function<void(const std::shared_ptr<void>& object)>;

    static std::shared_ptr<ProgressHUD> create(const ui::Rect& frame);
    // Framed to the host's bounds (an empty frame without one); not added to it.
    static std::shared_ptr<ProgressHUD> createWithView(const std::shared_ptr<ui::View>& view);
    static std::shared_ptr<ProgressHUD> createWithWindow(const std::shared_ptr<ui::Window>& window);
    ~ProgressHUD() override;

    // Operations on the direct subviews of a host.
    static std::shared_ptr<ProgressHUD> showHUDAddedTo(const std::shared_ptr<ui::View>& view, bool animated);
    static bool hideHUDForView(const std::shared_ptr<ui::View>& view, bool animated);
    static unsigned hideAllHUDsForView(const std::shared_ptr<ui::View>& view, bool animated);
    static std::shared_ptr<ProgressHUD> HUDForView(const std::shared_ptr<ui::View>& view);
    static std::vector<std::shared_ptr<ProgressHUD>> allHUDsForView(const std::shared_ptr<ui::View>& view);

    // The block forms' executor when none is given: the process-wide background pool.
    static Executor defaultExecutor();

    void show(bool animated);
    void hide(bool animated);
    void hide(bool animated, double delay);

    void showWhileExecuting(Method method, std::shared_ptr<void> target, std::shared_ptr<void> object, bool animated);
    void showAnimated(bool animated, Block whileExecutingBlock);
    void showAnimated(bool animated, Block whileExecutingBlock, Block completionBlock);
    void showAnimated(bool animated, Block whileExecutingBlock, Executor onQueue);
    void showAnimated(bool animated, Block whileExecutingBlock, Executor onQueue, Block completionBlock);

    Block completionBlock() const { return m_completionBlock; }
    void setCompletionBlock(Block block);
    ProgressHUDMode mode() const { return m_mode; }
    void setMode(ProgressHUDMode mode);
    ProgressHUDAnimation animationType() const { return m_animationType; }
    void setAnimationType(ProgressHUDAnimation type);
    std::shared_ptr<ui::View> customView() const { return m_customView; }
    void setCustomView(const std::shared_ptr<ui::View>& view);
    std::shared_ptr<ProgressHUDDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<ProgressHUDDelegate>& delegate);
    QString labelText() const { return m_labelText; }
    void setLabelText(const QString& text);
    QString detailsLabelText() const { return m_detailsLabelText; }
    void setDetailsLabelText(const QString& text);
    float opacity() const { return m_opacity; }
    void setOpacity(float opacity);
    // Panel fill; when set, opacity is not used.
    std::optional<ui::Color> color() const { return m_color; }
    void setColor(std::optional<ui::Color> color);
    float xOffset() const { return m_xOffset; }
    void setXOffset(float offset);
    // Positive is downwards.
    float yOffset() const { return m_yOffset; }
    void setYOffset(float offset);
    float margin() const { return m_margin; }
    void setMargin(float margin);
    float cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(float radius);
    bool dimBackground() const { return m_dimBackground; }
    void setDimBackground(bool dim);
    float graceTime() const { return m_graceTime; }
    void setGraceTime(float seconds);
    float minShowTime() const { return m_minShowTime; }
    void setMinShowTime(float seconds);
    bool taskInProgress() const { return m_taskInProgress; }
    void setTaskInProgress(bool inProgress);
    bool removeFromSuperViewOnHide() const { return m_removeFromSuperViewOnHide; }
    void setRemoveFromSuperViewOnHide(bool remove);
    ui::Font labelFont() const { return m_labelFont; }
    void setLabelFont(const ui::Font& font);
    ui::Color labelColor() const { return m_labelColor; }
    void setLabelColor(const ui::Color& color);
    ui::Font detailsLabelFont() const { return m_detailsLabelFont; }
    void setDetailsLabelFont(const ui::Font& font);
    ui::Color detailsLabelColor() const { return m_detailsLabelColor; }
    void setDetailsLabelColor(const ui::Color& color);
    float progress() const { return m_progress; }
    void setProgress(float progress);
    ui::Size minSize() const { return m_minSize; }
    void setMinSize(const ui::Size& size);
    bool isSquare() const { return m_square; }
    void setSquare(bool square);

    // The indicator now shown (none in text mode) and the panel size of the last layout.
    std::shared_ptr<ui::View> indicator() const { return m_indicator; }
    ui::Size size() const { return m_size; }

protected:
    explicit ProgressHUD(const ui::Rect& frame);
    void layoutSubviews() override;
    void draw(ui::DrawContext& context) override;
    void didMoveToSuperview() override;

private:
    enum class Change { Indicator, Label, DetailsLabel, Progress };

    static bool onLoopThread();
    void requireLoopThread(const char* what) const;
    template <typename T, typename V>
    void assign(T& member, V&& value, std::optional<Change> change = std::nullopt);
    void registerForNotifications();
    void setupLabels();
    void updateIndicators();
    void changed(Change change);

    void handleGraceTimer();
    void handleMinShowTimer();
    void showUsingAnimation(bool animated);
    void hideUsingAnimation(bool animated);
    void done();
    static Executor detachedThreadExecutor();
    void startWork(const Executor& executor, std::function<void()> work);
    void cleanUp();

    ui::Size grownPanel(ui::Size panel) const;
    void fillHost(const ui::View& host);
    void deviceOrientationDidChange();
    void setTransformForCurrentOrientation(bool animated);
    ui::Transform scaledRotation(double scale) const;

    Block m_completionBlock;
    ProgressHUDMode m_mode = ProgressHUDMode::Indeterminate;
    ProgressHUDAnimation m_animationType = ProgressHUDAnimation::Fade;
    std::shared_ptr<ui::View> m_customView;
    std::weak_ptr<ProgressHUDDelegate> m_delegate;
    QString m_labelText;
    QString m_detailsLabelText;
    float m_opacity = 0.8f;
    std::optional<ui::Color> m_color;
    float m_xOffset = 0;
    float m_yOffset = 0;
    float m_margin = 20;
    float m_cornerRadius = 10;
    bool m_dimBackground = false;
    float m_graceTime = 0;
    float m_minShowTime = 0;
    bool m_taskInProgress = false;
    bool m_removeFromSuperViewOnHide = false;
    ui::Font m_labelFont = ui::Font::boldSystemFont(16);
    ui::Color m_labelColor = ui::Color::white();
    ui::Font m_detailsLabelFont = ui::Font::boldSystemFont(12);
    ui::Color m_detailsLabelColor = ui::Color::white();
    float m_progress = 0;
    ui::Size m_minSize;
    bool m_square = false;

    std::shared_ptr<ui::View> m_indicator;
    // The last timer of each kind; they are never cancelled, only tied to this overlay's life.
    std::shared_ptr<core::Timer> m_graceTimer;
    std::shared_ptr<core::Timer> m_minShowTimer;
    // core::Clock time when showing last began.
    std::optional<double> m_showStarted;
    ui::Size m_size;
    bool m_useAnimation = false;
    Method m_methodForExecution;
    std::shared_ptr<void> m_targetForExecution;
    std::shared_ptr<void> m_objectForExecution;
    std::shared_ptr<ui::Label> m_label;
    std::shared_ptr<ui::Label> m_detailsLabel;
    ui::Transform m_rotationTransform;
};
