// Rendering and hit-testing a phone screen of 200 views, the size of the busiest screens
// (a question page with its option widgets, a tree of rows).
#include "platform/core/ManualClock.h"
#include "platform/core/RunLoop.h"
#include "platform/ui/DrawContext.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/Layer.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/Screen.h"
#include "platform/ui/View.h"

#include <QGuiApplication>
#include <QImage>
#include <benchmark/benchmark.h>

#include <random>

using namespace ui;

namespace {

constexpr int kViews = 200;

// A view that draws a line of text, as labels and buttons do.
class TextTile : public View {
public:
    static std::shared_ptr<TextTile> create(const Rect& frame, QString text)
    {
        auto tile = std::shared_ptr<TextTile>(new TextTile(frame));
        tile->m_text = std::move(text);
        tile->setNeedsDisplay();
        return tile;
    }

protected:
    explicit TextTile(const Rect& frame) : View(frame) {}
    void draw(DrawContext& ctx) override
    {
        ctx.drawText(m_text, bounds(), Font::systemFont(14), Color::black());
    }

private:
    QString m_text;
};

// 200 views on the main screen: a full-screen background image and 20 rows, each a
// container holding icons, text tiles, rounded clipped badges and shadowed boxes.
std::shared_ptr<View> buildScreen()
{
    const Size screen = Screen::main().size();
    auto root = View::create(Rect(Point(), screen));
    root->setBackgroundColor(Color::white());

    QImage icon(48, 48, QImage::Format_ARGB32);
    icon.fill(QColor(0x6F, 0xD7, 0xFD));
    const Image iconImage = Image::fromQImage(icon, 2);
    QImage background(750, 1334, QImage::Format_ARGB32);
    background.fill(QColor(240, 240, 240));
    auto bg = View::create(Rect(Point(), screen));
    bg->layer()->setContents(Image::fromQImage(background, 2));
    root->addSubview(bg);

    int count = 2;
    const double rowHeight = (screen.height - 40) / 20;
    for (int row = 0; count < kViews; ++row) {
        auto container = View::create(Rect(8, 20 + row * rowHeight, screen.width - 16, rowHeight - 4));
        container->setBackgroundColor(Color::fromRGB(row % 2 ? 0xFFFFFF : 0xF7F7F7));
        root->addSubview(container);
        ++count;
        for (int i = 0; i < 9 && count < kViews; ++i, ++count) {
            const Rect slot(4 + i * 38, 2, 34, rowHeight - 8);
            std::shared_ptr<View> v;
            switch (i % 4) {
            case 0:
                v = View::create(slot);
                v->layer()->setContents(iconImage);
                break;
            case 1:
                v = TextTile::create(slot, QStringLiteral("题%1").arg(row * 10 + i));
                break;
            case 2:
                v = View::create(slot);
                v->setBackgroundColor(Color::fromRGB(0x00AA55));
                v->layer()->setCornerRadius(6);
                v->setClipsToBounds(true);
                break;
            default:
                v = View::create(slot);
                v->setBackgroundColor(Color::fromRGB(0xFFAA00));
                v->layer()->setShadowOpacity(0.5);
                v->layer()->setShadowRadius(3);
                v->layer()->setShadowOffset(Size(0, 2));
                v->layer()->setShadowPath(Path::rect(Rect(Point(), slot.size)));
                break;
            }
            container->addSubview(v);
        }
    }
    return root;
}

int countViews(const View& v)
{
    int n = 1;
    for (const auto& s : v.subviews())
        n += countViews(*s);
    return n;
}

void BM_RenderScreen(benchmark::State& state)
{
    auto root = buildScreen();
    const double scale = Screen::main().scale();
    // The first render fills the text tiles' drawing caches; later frames reuse them, as a
    // screen that only moves does.
    Renderer::render(*root->layer(), Screen::main().size(), scale);
    for (auto _ : state) {
        QImage image = Renderer::render(*root->layer(), Screen::main().size(), scale);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["views"] = countViews(*root);
}
BENCHMARK(BM_RenderScreen)->Unit(benchmark::kMillisecond);

void BM_RenderScreenRedrawingText(benchmark::State& state)
{
    auto root = buildScreen();
    const double scale = Screen::main().scale();
    for (auto _ : state) {
        for (const auto& container : root->subviews()) {
            for (const auto& v : container->subviews())
                v->setNeedsDisplay();
        }
        QImage image = Renderer::render(*root->layer(), Screen::main().size(), scale);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_RenderScreenRedrawingText)->Unit(benchmark::kMillisecond);

// Every view sliding at once: each frame computes presentation values on the clock.
void BM_RenderScreenWhileAnimating(benchmark::State& state)
{
    core::ManualClock clock;
    auto root = buildScreen();
    const double scale = Screen::main().scale();
    View::animate(1000, [&] {
        for (const auto& container : root->subviews())
            container->setCenter(Point(container->center().x + 100, container->center().y));
    });
    clock.advance(1);
    Renderer::render(*root->layer(), Screen::main().size(), scale);
    for (auto _ : state) {
        clock.advance(0.016);
        QImage image = Renderer::render(*root->layer(), Screen::main().size(), scale);
        benchmark::DoNotOptimize(image.constBits());
    }
    core::RunLoop::main().reset();
}
BENCHMARK(BM_RenderScreenWhileAnimating)->Unit(benchmark::kMillisecond);

void BM_HitTestScreen(benchmark::State& state)
{
    auto root = buildScreen();
    std::mt19937 random(7);
    std::uniform_real_distribution<double> x(0, Screen::main().size().width), y(0, Screen::main().size().height);
    std::vector<Point> points(1024);
    for (auto& p : points)
        p = Point(x(random), y(random));
    std::size_t i = 0;
    for (auto _ : state) {
        auto hit = root->hitTest(points[i++ % points.size()], nullptr);
        benchmark::DoNotOptimize(hit.get());
    }
}
BENCHMARK(BM_HitTestScreen);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
