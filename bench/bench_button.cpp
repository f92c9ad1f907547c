// Cost of a full repaint of a typical window button: 141 x 63 pixels with a 32 x 32 icon.
#include "controls/ostrel_button.h"

#include <QApplication>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <memory>

using namespace brivamo;

namespace {

// Widgets need an application object; the benchmark's main does not make one.
void EnsureApplication()
{
    if (QApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "brivamo_bench";
    static char *argv[] = {name, nullptr};
    new QApplication(argc, argv); // lives for the whole process
}

QImage BenchIcon()
{
    QImage icon(32, 32, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setPen(Qt::black);
    p.setBrush(QColor(255, 255, 255));
    p.drawRect(5, 2, 21, 27);
    p.setBrush(QColor(220, 0, 0));
    p.drawEllipse(QPoint(21, 24), 5, 5);
    return icon;
}

struct BenchHost
{
    QWidget window;
    OstrelButton *button;

    BenchHost(ButtonStyle style, bool withPicture)
    {
        window.resize(300, 200);
        button = new OstrelButton(&window);
        button->setGeometry(20, 20, 141, 63);
        button->setFont(QFont(QStringLiteral("Liberation Sans"), 8));
        button->setButtonType(style);
        button->setCaption(QStringLiteral("&Make Puzzle"));
        if (withPicture)
            button->setPictureNormal(ButtonPicture(BenchIcon()));
        window.show();
        QApplication::processEvents();
    }
};

// range(0): the style's stored code (ButtonType); range(1): 1 with the icon.
void BM_ButtonRedraw(benchmark::State &state)
{
    EnsureApplication();
    BenchHost host(ButtonStyle(state.range(0)), state.range(1) != 0);
    for (auto _ : state) {
        host.button->Redraw(OstrelButton::DrawState::Normal, true);
        benchmark::DoNotOptimize(host.button->surface().constBits());
    }
}
BENCHMARK(BM_ButtonRedraw)
    ->Args({14, 1})
    ->Args({14, 0})
    ->Args({3, 1})
    ->Args({11, 1})
    ->Unit(benchmark::kMicrosecond);

void BM_ButtonRedrawPressedDisabled(benchmark::State &state)
{
    EnsureApplication();
    BenchHost host(ButtonStyle::Gradient, true);
    host.button->setEnabled(state.range(0) != 0);
    for (auto _ : state) {
        host.button->Redraw(OstrelButton::DrawState::Pressed, true);
        benchmark::DoNotOptimize(host.button->surface().constBits());
    }
}
BENCHMARK(BM_ButtonRedrawPressedDisabled)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

void BM_ButtonDefaultLook(benchmark::State &state)
{
    EnsureApplication();
    BenchHost host(ButtonStyle::Gradient, true);
    host.button->setDefaultLook(true);
    for (auto _ : state) {
        host.button->Redraw(OstrelButton::DrawState::Normal, true);
        benchmark::DoNotOptimize(host.button->surface().constBits());
    }
}
BENCHMARK(BM_ButtonDefaultLook)->Unit(benchmark::kMicrosecond);

// Mouse moves over a button repaint nothing when the look is unchanged.
void BM_ButtonUnforcedRedraw(benchmark::State &state)
{
    EnsureApplication();
    BenchHost host(ButtonStyle::Gradient, true);
    for (auto _ : state)
        host.button->Redraw(OstrelButton::DrawState::Normal, false);
}
BENCHMARK(BM_ButtonUnforcedRedraw);

} // namespace
