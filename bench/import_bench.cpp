// Measures the picture import:
// 1. the whole `markograph-cli import` process for a 4000 x 3000 JPEG
//    photograph fitted to 576 dots with Floyd-Steinberg (load, shrink, tones,
//    dithering, BMP written), best and median of several runs;
// 2. the dithering step alone on a 576 x 1000 picture, Floyd-Steinberg and
//    Atkinson, against the JavaScript receipt encoder's dithering of the same
//    picture, measured in the same run (bench/js, installed by
//    bench/import_bench.sh).
// Usage: markograph-import-bench [--js bench/js/dither_bench.mjs]
//        markograph-import-bench --dither-json PICTURE.rgba
// The second form (bench/compare.sh) times the dithering alone, writes the
// picture as RGBA bytes for the JavaScript side and prints one JSON object.

#include "import/dither.h"
#include "import/tone_curve.h"

#include <QGuiApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

namespace {

volatile size_t g_sink = 0;

// The processor time this thread has used, in milliseconds: on a shared
// machine wall time mostly measures the other processes.
double ThreadMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) * 1e-6;
}

// Best of several rounds of at least 0.3 s of processor time each, in
// milliseconds per call.
double BestMsPerCall(const std::function<void()>& work)
{
    double best = 1e9;
    for (int round = 0; round < 7; ++round) {
        int calls = 0;
        double spent = 0;
        while (spent < 300 || calls < 3) {
            const double start = ThreadMs();
            work();
            spent += ThreadMs() - start;
            ++calls;
        }
        best = std::min(best, spent / calls);
    }
    return best;
}

// A photograph-like picture: smooth colour gradients, soft shapes and fine
// noise, so the JPEG is of realistic size and the dithering has work to do.
QImage Photograph(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    std::uint32_t state = 2024;
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            const int noise = static_cast<int>(state >> 28) - 8;
            const double u = static_cast<double>(x) / width;
            const double v = static_cast<double>(y) / height;
            const int r = std::clamp(static_cast<int>(255 * (0.5 + 0.5 * std::sin(6 * u + 2 * v))) + noise, 0, 255);
            const int g = std::clamp(static_cast<int>(255 * v) + noise, 0, 255);
            const int b = std::clamp(static_cast<int>(255 * (1 - u * v)) + noise, 0, 255);
            line[x] = qRgb(r, g, b);
        }
    }
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(30, 30, 30));
    painter.drawEllipse(QRectF(width * 0.2, height * 0.2, width * 0.3, height * 0.4));
    painter.setFont(QFont(QStringLiteral("Sans"), height / 10));
    painter.drawText(QRectF(0, height * 0.7, width, height * 0.3), Qt::AlignCenter, QStringLiteral("Markograph"));
    return image;
}

void BenchWholeImport(const QString& cli, const QTemporaryDir& dir)
{
    const QString jpeg = dir.filePath("photo.jpg");
    if (!Photograph(4000, 3000).save(jpeg, "jpeg", 90)) {
        std::printf("cannot write the test photograph\n");
        return;
    }
    const QStringList args{"import", "--model-type", "1", "--receipt-width", "576", "--dither", "floyd-steinberg",
                           "-o", dir.filePath("logo.bmp"), jpeg};
    std::vector<double> times;
    for (int run = 0; run < 15; ++run) {
        QProcess process;
        QElapsedTimer timer;
        timer.start();
        process.start(cli, args);
        if (!process.waitForFinished(30000) || process.exitCode() != 0) {
            std::printf("markograph-cli import failed: %s\n", process.readAllStandardError().constData());
            return;
        }
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    std::printf("whole import, 4000 x 3000 JPEG (%lld KB) -> 576 dots wide, Floyd-Steinberg, one process:\n"
                "  best %.1f ms, median %.1f ms over %zu runs (target: under 150 ms)\n",
                static_cast<long long>(QFile(jpeg).size() / 1024), times.front(), times[times.size() / 2],
                times.size());
}

bool WriteRgba(const QImage& picture, const QString& path)
{
    // The picture as RGBA bytes, as a canvas would hold it.
    const QImage rgba = picture.convertToFormat(QImage::Format_RGBA8888);
    QFile raw(path);
    return raw.open(QIODevice::WriteOnly) &&
           raw.write(reinterpret_cast<const char*>(rgba.constBits()), rgba.sizeInBytes()) == rgba.sizeInBytes();
}

// Milliseconds per call of both methods on the 576 x 1000 picture, from grey
// levels and from the picture itself (grey conversion and tones included, as
// the encoder's own timing includes its grey conversion).
int DitherJson(const QString& rgbaPath)
{
    const QImage picture = Photograph(576, 1000);
    if (!WriteRgba(picture, rgbaPath))
        return 1;
    const ToneTable tones = MakeToneTable(0, 0, 1.0);
    const GreyPlane grey = ToGreyPlane(picture, tones);
    const auto dither = [&](DitherMethod method) {
        return BestMsPerCall([&] { g_sink = g_sink + DitherToDots(grey, method, 128).size(); });
    };
    const auto withGrey = [&](DitherMethod method) {
        return BestMsPerCall([&] { g_sink = g_sink + DitherToDots(ToGreyPlane(picture, tones), method, 128).size(); });
    };
    std::printf("{\"floydSteinbergMs\": %.4f, \"atkinsonMs\": %.4f, \"floydSteinbergWithGreyMs\": %.4f, "
                "\"atkinsonWithGreyMs\": %.4f}\n",
                dither(DitherMethod::FloydSteinberg), dither(DitherMethod::Atkinson),
                withGrey(DitherMethod::FloydSteinberg), withGrey(DitherMethod::Atkinson));
    return 0;
}

void BenchDithering(const QString& jsScript, const QTemporaryDir& dir)
{
    constexpr int kWidth = 576;
    constexpr int kHeight = 1000;
    const QImage picture = Photograph(kWidth, kHeight);
    const ToneTable tones = MakeToneTable(0, 0, 1.0);
    const GreyPlane grey = ToGreyPlane(picture, tones);
    std::printf("dithering 576 x 1000 (0.58 Mpixel), one core, best of 7 rounds:\n");
    double ours[2] = {};
    const DitherMethod methods[2] = {DitherMethod::FloydSteinberg, DitherMethod::Atkinson};
    for (int i = 0; i < 2; ++i) {
        ours[i] = BestMsPerCall([&] { g_sink = g_sink + DitherToDots(grey, methods[i], 128).size(); });
        const double withGrey = BestMsPerCall(
            [&] { g_sink = g_sink + DitherToDots(ToGreyPlane(picture, tones), methods[i], 128).size(); });
        std::printf("  Markograph %-16s %.3f ms (with the grey conversion and tones: %.3f ms)\n",
                    qPrintable(DitherMethodName(methods[i])), ours[i], withGrey);
    }
    if (jsScript.isEmpty()) {
        std::printf("  (no --js: the JavaScript encoder was not measured; run bench/import_bench.sh)\n");
        return;
    }
    const QString raw = dir.filePath("picture.rgba");
    if (!WriteRgba(picture, raw))
        return;
    QProcess node;
    node.start(QStringLiteral("node"), {jsScript, raw, QString::number(kWidth), QString::number(kHeight)});
    if (!node.waitForFinished(300000) || node.exitCode() != 0) {
        std::printf("  the JavaScript benchmark failed: %s\n", node.readAllStandardError().constData());
        return;
    }
    const QJsonObject js = QJsonDocument::fromJson(node.readAllStandardOutput()).object();
    const double theirs[2] = {js["floydSteinbergMs"].toDouble(), js["atkinsonMs"].toDouble()};
    std::printf("  @point-of-sale/receipt-printer-encoder %s, its dithering module:\n",
                qPrintable(js["version"].toString()));
    for (int i = 0; i < 2; ++i)
        std::printf("  encoder %-16s %.3f ms -> Markograph is %.1fx faster (target: at least 20x)\n",
                    qPrintable(DitherMethodName(methods[i])), theirs[i], theirs[i] / ours[i]);
    std::printf("  encoder image() with floyd-steinberg, whole call: %.3f ms; with atkinson: %.3f ms\n",
                js["imageFloydSteinbergMs"].toDouble(), js["imageAtkinsonMs"].toDouble());
}

}  // namespace

int main(int argc, char** argv)
{
    // Drawing the test picture's text needs fonts, hence a GUI application,
    // on the offscreen platform unless told otherwise.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    if (args.size() == 3 && args[1] == "--dither-json")
        return DitherJson(args[2]);
    const qsizetype js = args.indexOf("--js");
    const QString jsScript = js >= 0 ? args.value(js + 1) : QString();
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    BenchWholeImport(QCoreApplication::applicationDirPath() + "/markograph-cli", dir);
    BenchDithering(jsScript, dir);
    return 0;
}
