// The picture viewer: one fitted redraw of a 4000 × 3000 picture in a 1000 × 700 picture area
// (the whole picture rescaled, then painted), beside Qt's own smooth scaling of the same
// picture; a drag step in full-size mode. Runs on the offscreen platform unless another is
// chosen.
#include "common/JpegCodec.h"
#include "reader/core/qt/ErrorReport.h"
#include "reader/media/qt/PictureImage.h"
#include "reader/media/qt/PreviewUnit.h"

#include <QPainter>
#include <QScrollBar>

#include <benchmark/benchmark.h>

using namespace quarto;

namespace {

TDibPicture BigPicture() {
    TDibPicture picture = BlankPicture(4000, 3000);
    for (int y = 0; y < 3000; ++y)
        for (int x = 0; x < 4000; ++x) {
            std::uint8_t* p = &picture.Pixels[(static_cast<std::size_t>(y) * 4000 + x) * 3];
            p[0] = static_cast<std::uint8_t>(x * 7 / 4000 * 36);
            p[1] = static_cast<std::uint8_t>((x ^ y) & 0xFF);
            p[2] = static_cast<std::uint8_t>(y * 255 / 3000);
        }
    return picture;
}

// A viewer whose picture area is 1000 × 700.
void Prepare(TPreviewForm& form) {
    form.resize(1085, 710);
    form.Picture = BigPicture();
    form.ShowCatalogue();
}

void BM_FittedRedraw(benchmark::State& state) {
    TPreviewForm form;
    Prepare(form);
    for (auto _ : state) {
        form.DrawPicture();
        form.repaint();
    }
    state.counters["width"] = form.ViewBuffer.width();
    state.counters["height"] = form.ViewBuffer.height();
}
BENCHMARK(BM_FittedRedraw)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same with a grey 8-bit picture (a palette to go through).
void BM_FittedRedrawGrey(benchmark::State& state) {
    TPreviewForm form;
    form.resize(1085, 710);
    TDibPicture picture = BigPicture();
    picture.BitsPerPixel = 8;
    picture.Palette = GreyPalette();
    picture.Pixels.resize(picture.Pixels.size() / 3);
    form.Picture = std::move(picture);
    form.ShowCatalogue();
    for (auto _ : state) {
        form.DrawPicture();
        form.repaint();
    }
}
BENCHMARK(BM_FittedRedrawGrey)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same scaling by Qt (area-averaging when reducing) for comparison.
void BM_QtSmoothScale(benchmark::State& state) {
    const TDibPicture picture = BigPicture();
    for (auto _ : state) {
        const QImage scaled = PictureImageView(picture).scaled(933, 700, Qt::IgnoreAspectRatio,
                                                               Qt::SmoothTransformation);
        benchmark::DoNotOptimize(scaled.constBits());
    }
}
BENCHMARK(BM_QtSmoothScale)->Unit(benchmark::kMillisecond);

void BM_QtPainterBilinear(benchmark::State& state) {
    const TDibPicture picture = BigPicture();
    for (auto _ : state) {
        QImage scaled(933, 700, QImage::Format_RGB32);
        QPainter painter(&scaled);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRect(0, 0, 933, 700), PictureImageView(picture));
        painter.end();
        benchmark::DoNotOptimize(scaled.constBits());
    }
}
BENCHMARK(BM_QtPainterBilinear)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CommonScaleBilinear(benchmark::State& state) {
    const TDibPicture picture = BigPicture();
    for (auto _ : state)
        benchmark::DoNotOptimize(ScaleBilinear(picture, 933, 700).Pixels.data());
}
BENCHMARK(BM_CommonScaleBilinear)->Unit(benchmark::kMillisecond);

void BM_FullSizeDragStep(benchmark::State& state) {
    TPreviewForm form;
    Prepare(form);
    form.FlatSpeedButton3Click();
    int x = 0;
    for (auto _ : state) {
        form.FormMouseDown(500, 300);
        form.FormMouseMove(Qt::LeftButton, Qt::NoModifier, (x++ % 2) ? 510 : 490, 300);
        form.repaint();
    }
}
BENCHMARK(BM_FullSizeDragStep)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TQuartoApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
