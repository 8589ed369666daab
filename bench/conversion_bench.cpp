// Measures how fast logos become printer bytes, for each printer kind:
// separation + packing of an image already in memory (as a download does it,
// separating while packing, and the older two-pass way: separate the whole
// image, then pack it), and load + separation + packing from a BMP file, in
// megapixels per second on one core. References are measured in the same
// run: a memcpy of the same BMP bytes (the machine's ceiling) and a plain C
// threshold-and-pack kernel (plain_kernel.h), scalar and vectorised for this
// machine. Every kind runs on four picture classes (bench_images.h) at the
// vector level the machine picks and at the portable one. Times are the
// thread's processor time, so other work on a shared machine costs little
// accuracy (caches and memory bandwidth are still shared). A kind whose record refuses the
// image is shown as refused, not timed; a DOT MODE stream longer than the
// length table can describe is timed but marked, as a download refuses it.
// Then the peak memory of a load + conversion in a fresh process, against the
// decoded image; and the whole `markograph-cli convert` process for one
// 576 x 1000 logo.

#include "bench_images.h"
#include "plain_kernel.h"

#include "imaging/bitmap_surface.h"
#include "imaging/color_separation.h"
#include "operations/download_list_builder.h"
#include "imaging/raster_converter.h"
#include "imaging/row_kernels.h"
#include "logos/logo_list.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Packs for one kind; the size of the output, or -1 when the kind refuses it.
struct Kind {
    const char* name;
    std::function<qsizetype(const RasterSource&)> pack;
    bool dotMode = false;
};

volatile qsizetype g_sink = 0;  // keeps results alive so nothing is optimised away

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// The processor time this thread has used, in seconds.
double ThreadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// Best of several rounds of at least roundSeconds of processor time each, in
// seconds per call.
double BestSecondsPerCall(const std::function<void()>& prepare, const std::function<void()>& work,
                          double roundSeconds = 0.3)
{
    double best = 1e9;
    for (int round = 0; round < 5; ++round) {
        int calls = 0;
        double spent = 0;
        while (spent < roundSeconds || calls < 3) {
            prepare();
            const double start = ThreadSeconds();
            work();
            spent += ThreadSeconds() - start;
            ++calls;
        }
        best = std::min(best, spent / calls);
    }
    return best;
}

std::vector<Kind> Kinds()
{
    const CRasterConverter converter;
    return {
        {"mono record", [converter](const RasterSource& s) -> qsizetype {
             const auto record = converter.MakeMonoRecord(s, s.surface->Width(), s.surface->Height());
             return record ? record->size() : -1; }},
        {"two-colour command", [converter](const RasterSource& s) -> qsizetype {
             const int w = s.surface->Width();
             const QByteArray command = converter.MakeTwoColorRecord(s, w, s.surface->Height(), {'0', '0'}, w);
             return command.isEmpty() ? -1 : command.size(); }},
        {"DOT single", [](const RasterSource& s) { return MakeDotModeStream(s, DotDensity::Single).size(); }, true},
        {"DOT double", [](const RasterSource& s) { return MakeDotModeStream(s, DotDensity::Double).size(); }, true},
        {"DOT quad", [](const RasterSource& s) { return MakeDotModeStream(s, DotDensity::Quad).size(); }, true},
    };
}

long StatusKiB(const char* key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0)
            return std::stol(line.substr(std::strlen(key)));
    }
    return -1;
}

// Loads, separates and packs one file for one kind in a fresh process and
// prints how far its resident memory rose above where it started.
int RunPeakChild(const QString& kindName, const QString& path)
{
    const long before = StatusKiB("VmRSS:");
    for (const Kind& kind : Kinds()) {
        if (kindName != kind.name)
            continue;
        std::optional<CBitmapSurface> loaded = CBitmapSurface::LoadBmp(path);
        if (!loaded)
            return 1;
        const SeparationInputs inputs;
        g_sink = g_sink + kind.pack(RasterSource(*loaded, inputs));
    }
    std::printf("%ld\n", StatusKiB("VmHWM:") - before);
    return 0;
}

// Peak memory of a load + conversion above the process's starting point, KiB.
long PeakExtraKiB(const QString& kindName, const QString& path)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {"--peak", kindName, path});
    if (!child.waitForFinished(60000) || child.exitCode() != 0)
        return -1;
    return child.readAllStandardOutput().trimmed().toLong();
}

using PlainKernel = void (*)(const std::uint32_t*, int, int, int, unsigned, std::uint8_t*);

// Mpixel/s of a build of the plain C kernel on the decoded image.
double PlainKernelMpixels(const QImage& image, PlainKernel kernel = PlainThresholdPack)
{
    const double megapixels = image.width() * static_cast<double>(image.height()) / 1e6;
    std::vector<std::uint8_t> out(static_cast<size_t>((image.width() + 7) / 8) * static_cast<size_t>(image.height()));
    const auto* pixels = reinterpret_cast<const std::uint32_t*>(image.constBits());
    const int stride = static_cast<int>(image.bytesPerLine() / 4);
    const double seconds = BestSecondsPerCall([] {}, [&] {
        kernel(pixels, image.width(), image.height(), stride, 384, out.data());
        g_sink = g_sink + out[out.size() / 2];
    }, 0.1);
    return megapixels / seconds;
}

// One kind at one size: in memory (separating while packing, and separating
// the whole image first), from the file, and the peak memory.
void BenchKind(const Kind& kind, const CBitmapSurface& original, const QString& path, double megapixels,
               double decodedMiB, double plainMpixels)
{
    const SeparationInputs inputs;  // Red, hue red, R and L Value 100
    const qsizetype bytes = kind.pack(RasterSource(original, inputs));
    if (bytes < 0) {
        std::printf("  %-20s %10s  (the record cannot hold the image: nothing to time)\n", kind.name, "refused");
        return;
    }
    const double fused = BestSecondsPerCall([] {}, [&] { g_sink = g_sink + kind.pack(RasterSource(original, inputs)); });
    CBitmapSurface work;
    const double twoPass = BestSecondsPerCall(
        [&] {
            work = original;
            work.MapColors([](win::COLORREF c) { return c; });  // detach the copy outside the timing
        },
        [&] {
            SeparateSurface(work, inputs);
            g_sink = g_sink + kind.pack(work);
        });
    const double fromFile = BestSecondsPerCall([] {}, [&] {
        std::optional<CBitmapSurface> loaded = CBitmapSurface::LoadBmp(path);
        g_sink = g_sink + kind.pack(RasterSource(*loaded, inputs));
    });
    const long peakKiB = PeakExtraKiB(kind.name, path);
    const bool overTable = kind.dotMode && bytes > kMaxDotStreamBytes;
    std::printf("  %-20s %10.0f %9.2f %10.0f %10.0f %9.1f %9.2f%s\n", kind.name, megapixels / fused,
                megapixels / fused / plainMpixels, megapixels / twoPass, megapixels / fromFile, peakKiB / 1024.0,
                peakKiB / 1024.0 / decodedMiB, overTable ? "  (over the length table)" : "");
}

void BenchSize(int width, int height, const QString& folder)
{
    const double megapixels = width * static_cast<double>(height) / 1e6;
    const QImage image = MakeLogoImage(width, height, 7);
    const QByteArray bmp = EncodeBmp24(image);
    const QString path = QDir(folder).filePath(QStringLiteral("bench-%1x%2.bmp").arg(width).arg(height));
    if (!WriteFile(path, bmp))
        return;

    std::vector<char> copy(static_cast<size_t>(bmp.size()));
    const double memcpySeconds = BestSecondsPerCall([] {}, [&] {
        std::memcpy(copy.data(), bmp.constData(), copy.size());
        g_sink = g_sink + copy[copy.size() / 2];
    });
    const double plainMpixels = PlainKernelMpixels(image);
    const double decodedMiB = width * static_cast<double>(height) * 4 / (1024.0 * 1024.0);
    std::printf("\n%d x %d (%.2f Mpixel, BMP %.1f MiB, decoded %.1f MiB)\n", width, height, megapixels,
                bmp.size() / (1024.0 * 1024.0), decodedMiB);
    std::printf("  memcpy of the BMP bytes      %8.0f Mpixel/s  (the ceiling; a quarter: %.0f)\n",
                megapixels / memcpySeconds, megapixels / memcpySeconds / 4);
    std::printf("  plain C threshold-and-pack   %8.0f Mpixel/s  (the reference)\n", plainMpixels);
    std::printf("  %-20s %10s %9s %10s %10s %9s %9s\n", "kind", "Mpixel/s", "x plain", "two-pass", "load+all",
                "peak MiB", "x decoded");
    const CBitmapSurface original = CBitmapSurface::FromImage(image);
    for (const Kind& kind : Kinds())
        BenchKind(kind, original, path, megapixels, decodedMiB, plainMpixels);
}

// Mpixel/s of one kind on a surface at the active vector level, or -1 when
// its record refuses the image.
double KindMpixels(const Kind& kind, const CBitmapSurface& surface, double megapixels)
{
    const SeparationInputs inputs;
    if (kind.pack(RasterSource(surface, inputs)) < 0)
        return -1;
    return megapixels /
           BestSecondsPerCall([] {}, [&] { g_sink = g_sink + kind.pack(RasterSource(surface, inputs)); }, 0.1);
}

std::string KindCell(double mpixels, double reference)
{
    if (mpixels < 0)
        return "refused";
    char cell[64];
    std::snprintf(cell, sizeof cell, "%.0f (%.2fx)", mpixels, mpixels / reference);
    return cell;
}

std::string LoadAverage()
{
    std::ifstream file("/proc/loadavg");
    std::string one, five, fifteen;
    file >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

// Every kind on every picture class at 576 x 1000 and 576 x 3400, with the
// references of the same picture measured just before it: first at the level
// the machine picks (each cell: Mpixel/s and its ratio to the vectorised
// plain kernel), then the same at the portable level.
void BenchPictureClasses()
{
    constexpr std::pair<int, int> kSizes[] = {{576, 1000}, {576, 3400}};
    const VectorLevel active = ActiveVectorLevel();
    std::printf("Load average before: %s; vector level: %s; Mpixel/s of processor time, best of 5\n\n",
                LoadAverage().c_str(), VectorLevelName(active));
    std::printf("| size | picture | memcpy | plain C | plain C, vectorised | mono | two-colour | DOT single | "
                "DOT double | DOT quad | slowest kind / memcpy |\n|---|---|---|---|---|---|---|---|---|---|---|\n");
    std::string portable;
    for (const auto& [width, height] : kSizes) {
        const double megapixels = width * static_cast<double>(height) / 1e6;
        for (const BenchPicture& picture : kBenchPictures) {
            const QImage image = picture.make(width, height);
            const QByteArray bmp = EncodeBmp24(image);
            std::vector<char> copy(static_cast<size_t>(bmp.size()));
            const double memcpyMpixels = megapixels / BestSecondsPerCall([] {}, [&] {
                std::memcpy(copy.data(), bmp.constData(), copy.size());
                g_sink = g_sink + copy[copy.size() / 2];
            }, 0.1);
            const double plain = PlainKernelMpixels(image, PlainThresholdPack);
            const double vectorised = PlainKernelMpixels(image, PlainThresholdPackNative);
            const CBitmapSurface surface = CBitmapSurface::FromImage(image);
            std::string cells;
            std::string portableCells;
            double slowest = 1e18;
            for (const Kind& kind : Kinds()) {
                PinVectorLevel(active);
                const double mpixels = KindMpixels(kind, surface, megapixels);
                PinVectorLevel(VectorLevel::kPortable);
                const double portableMpixels = KindMpixels(kind, surface, megapixels);
                if (mpixels >= 0)
                    slowest = std::min(slowest, mpixels);
                cells += " " + KindCell(mpixels, vectorised) + " |";
                portableCells += " " + KindCell(portableMpixels, vectorised) + " |";
            }
            PinVectorLevel(active);
            std::printf("| %d x %d | %s | %.0f | %.0f | %.0f |%s %.2f |\n", width, height, picture.name,
                        memcpyMpixels, plain, vectorised, cells.c_str(), slowest / memcpyMpixels);
            char head[64];
            std::snprintf(head, sizeof head, "| %d x %d | %s |", width, height, picture.name);
            portable += head + portableCells + "\n";
        }
    }
    std::printf("\nThe same kinds at the portable level (no vector kernels), ratio to the vectorised plain "
                "kernel:\n\n| size | picture | mono | two-colour | DOT single | DOT double | DOT quad |\n"
                "|---|---|---|---|---|---|---|\n%s", portable.c_str());
    std::printf("\nLoad average after: %s\n", LoadAverage().c_str());
}

// What the desktop program's start-up spends on restoring a saved list of 50
// logos of 576 x 1000: each file goes through the "Open File" path
// (AddLogoFile), which measures it (bench/startup_bench.cpp times the whole
// start-up).
void BenchRestore(const QString& folder)
{
    const QString logo = QDir(folder).filePath("restore-576x1000.bmp");
    if (!WriteFile(logo, EncodeBmp24(MakeLogoImage(576, 1000, 13))))
        return;
    const double seconds = BestSecondsPerCall([] {}, [&] {
        CLogoList list;
        list.SetLimits({255, 0x3FFFFF, 576});
        for (int i = 0; i < 50; ++i)
            list.AddLogoFile(logo, LogoSettings{});
        g_sink = g_sink + list.Count();
    });
    std::printf("\nRestoring 50 saved logos of 576 x 1000 (AddLogoFile each): %.1f ms\n", seconds * 1000);
}

void BenchCliProcess(const QString& folder)
{
    const QString cli = QCoreApplication::applicationDirPath() + "/markograph-cli";
    if (!QFile::exists(cli)) {
        std::printf("\nmarkograph-cli not found beside the benchmark; process timing skipped\n");
        return;
    }
    const QString logo = QDir(folder).filePath("cli-576x1000.bmp");
    if (!WriteFile(logo, EncodeBmp24(MakeLogoImage(576, 1000, 11))))
        return;
    // A model file as an operator names one; its limits are lifted, its kind
    // and width given on the command line.
    const QString model = QDir(folder).filePath("NV.inf");
    if (!WriteFile(model, "[COMMON]\nModelName=QX-80N\nModelType=1\nRECEIPTWIDTH=576\nMEMORYSIZE=256\n"
                          "DOWNMAX=50\n[COMMUNICATION]\nINTERFACE=3\n"))
        return;
    std::printf("\nmarkograph-cli convert, one 576 x 1000 24-bit BMP, whole process (best / median of 21 runs):\n");
    for (const char* type : {"1", "2", "0"}) {
        std::vector<double> times;
        for (int run = 0; run < 21; ++run) {
            QProcess process;
            const auto start = Clock::now();
            process.start(cli, {"convert", "--nv-inf", model, "--no-limits", "--model-type", type,
                                "--receipt-width", "576", "-o", QDir(folder).filePath("out.prn"), logo});
            process.waitForFinished(10000);
            times.push_back(Seconds(Clock::now() - start) * 1000);
        }
        std::sort(times.begin(), times.end());
        std::printf("  model type %s: %6.1f / %6.1f ms\n", type, times.front(), times[times.size() / 2]);
    }
}

// One kind on one picture class for about three seconds of processor time,
// for a profiler (`perf record build/bin/markograph-bench --profile ...`).
int RunProfile(const QString& kindName, const QString& pictureName, int width, int height)
{
    for (const BenchPicture& picture : kBenchPictures) {
        if (pictureName != picture.name)
            continue;
        const CBitmapSurface surface = CBitmapSurface::FromImage(picture.make(width, height));
        for (const Kind& kind : Kinds()) {
            if (kindName != kind.name)
                continue;
            const SeparationInputs inputs;
            const double start = ThreadSeconds();
            int calls = 0;
            while (ThreadSeconds() - start < 3) {
                g_sink = g_sink + kind.pack(RasterSource(surface, inputs));
                ++calls;
            }
            std::printf("%s on %s %d x %d: %.0f Mpixel/s\n", kind.name, picture.name, width, height,
                        calls * width * static_cast<double>(height) / 1e6 / (ThreadSeconds() - start));
            return 0;
        }
    }
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && std::strcmp(argv[1], "--peak") == 0)
        return RunPeakChild(argv[2], argv[3]);
    if (argc == 6 && std::strcmp(argv[1], "--profile") == 0)
        return RunProfile(argv[2], argv[3], std::atoi(argv[4]), std::atoi(argv[5]));
    QTemporaryDir folder;
    // --classes: every kind on every picture class against the references,
    // as Markdown tables (bench/compare.sh puts them in the README).
    if (argc == 2 && std::strcmp(argv[1], "--classes") == 0) {
        BenchPictureClasses();
        return 0;
    }
    std::printf("Markograph conversion benchmark (one core; best of 5 rounds; Mpixel/s of source pixels)\n");
    BenchPictureClasses();
    std::printf("\nThe logo picture in detail:\n");
    BenchSize(576, 1000, folder.path());
    // The tallest 576-dot image both thermal records accept (single-colour:
    // 576 x ceil(H / 8) + 4 <= 250,000 up to H = 3,472; two-colour:
    // 72 x H + 17 <= 256,000 up to H = 3,555).
    BenchSize(576, 3400, folder.path());
    BenchSize(576, 8000, folder.path());
    BenchSize(2048, 2048, folder.path());
    BenchRestore(folder.path());
    BenchCliProcess(folder.path());
    return 0;
}
