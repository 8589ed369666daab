// Desktop start-up with a saved logo list: the time from starting the
// program to its main window painted for the first time, on the offscreen
// platform, with an empty list and with 50 saved logos of 576 x 1000.
//
// The benchmark runs itself as the measured program (--window MODEL STORE):
// the application object and the main window of the desktop program, the
// model file and the logo store named, the process ending at the window's
// first paint. Messages go to standard error, not to boxes, so a logo the
// restore refuses shows instead of blocking. The parent times whole
// processes, start to exit, several times in turn for each list.

#include "bench_images.h"

#include "app/main_dlg.h"
#include "app/tool_app.h"
#include "framework/message_box.h"
#include "logos/logo_list.h"
#include "logos/logo_store.h"

#include <QDir>
#include <QEvent>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

namespace {

constexpr int kLogos = 50;
constexpr int kRuns = 21;

// Ends the process once the window has painted: what follows (the event loop
// going on, the list saved at close) is not start-up. Prints the processor
// time spent so far (loading the libraries included), which a loaded machine
// disturbs far less than the wall time.
class CFirstPaintExit : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            QMetaObject::invokeMethod(
                this,
                [] {
                    std::printf("%.3f\n", 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC);
                    std::fflush(stdout);
                    std::_Exit(0);
                },
                Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }
};

int RunWindow(int argc, char** argv)
{
    CToolApp app(argc, argv);
    SetMessageHandler([](const MessageRequest& request) {
        std::fprintf(stderr, "message: %s\n", qPrintable(request.text));
        return static_cast<int>(win::kIdOk);
    });
    CMainDlg dialog(MainDlgPaths{QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3])});
    CFirstPaintExit exitOnPaint;
    dialog.installEventFilter(&exitOnPaint);
    dialog.show();
    app.exec();
    return 1;  // the window was never painted
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// A logo store holding `count` logos of 576 x 1000, each its own file.
bool PrepareStore(const QString& folder, const QString& store, int count)
{
    QDir().mkpath(store);
    CLogoList list;
    list.SetLimits({255, 0x3FFFFF, 576});
    for (int i = 0; i < count; ++i) {
        const QString path = QDir(folder).filePath(QStringLiteral("logo%1.bmp").arg(i + 1, 2, 10, QChar('0')));
        if (!WriteFile(path, EncodeBmp24(MakeLogoImage(576, 1000, 100 + static_cast<unsigned>(i)))) ||
            list.AddLogoFile(path, LogoSettings{i % 360, 100, 100, i % 4}) != kLogoAdded)
            return false;
    }
    SetLogoStoreRoot(store);
    const bool saved = SaveLogoList(list);
    SetLogoStoreRoot(QString());
    return saved;
}

struct StartTime {
    double wallMs = -1;  // negative: the window did not come up
    double cpuMs = -1;
};

// One whole run of the window, start to exit.
StartTime TimeOneStart(const QString& model, const QString& store)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(environment);
    const auto start = std::chrono::steady_clock::now();
    process.start(QCoreApplication::applicationFilePath(), {"--window", model, store});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    const double wall = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    return {wall, process.readAllStandardOutput().trimmed().toDouble()};
}

struct Series {
    std::vector<double> wall;
    std::vector<double> cpu;

    void Add(const StartTime& time)
    {
        wall.push_back(time.wallMs);
        cpu.push_back(time.cpuMs);
    }
    bool AllCameUp() const { return *std::min_element(wall.begin(), wall.end()) >= 0; }
};

double Best(std::vector<double> times) { return *std::min_element(times.begin(), times.end()); }

double Median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--window") == 0)
        return RunWindow(argc, argv);
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    const QString model = folder.filePath("NV.inf");
    const QByteArray modelText =
        "[COMMON]\nDESCRIPTION=Start-up benchmark\nModelName=QX-80N\nModelType=1\n"
        "RECEIPTWIDTH=576\nMEMORYSIZE=8192\nDOWNMAX=255\n"
        "[COMMUNICATION]\nINTERFACE=3\nPORTNAME=Ethernet\nIP1=127\nIP2=0\nIP3=0\nIP4=1\nPORT=9100\n";
    const QString emptyStore = folder.filePath("empty-store");
    const QString fullStore = folder.filePath("full-store");
    if (!WriteFile(model, modelText) || !PrepareStore(folder.path(), emptyStore, 0) ||
        !PrepareStore(folder.path(), fullStore, kLogos)) {
        std::fprintf(stderr, "cannot prepare the logo stores in %s\n", qPrintable(folder.path()));
        return 1;
    }
    Series empty;
    Series full;
    for (int run = 0; run < kRuns; ++run) {
        empty.Add(TimeOneStart(model, emptyStore));
        full.Add(TimeOneStart(model, fullStore));
    }
    if (!empty.AllCameUp() || !full.AllCameUp()) {
        std::fprintf(stderr, "a window did not come up\n");
        return 1;
    }
    std::printf("Desktop start-up to the first paint of the main window (offscreen; %d runs each, in turn)\n", kRuns);
    std::printf("  %-24s %13s %13s %13s %13s\n", "logo list", "wall best ms", "wall median", "CPU best ms",
                "CPU median");
    for (const auto& [name, series] : {std::pair<const char*, const Series&>{"empty", empty},
                                       std::pair<const char*, const Series&>{"50 logos of 576 x 1000", full}})
        std::printf("  %-24s %13.1f %13.1f %13.1f %13.1f\n", name, Best(series.wall), Median(series.wall),
                    Best(series.cpu), Median(series.cpu));
    std::printf("  ratio 50 logos / empty: wall best %.2fx, median %.2fx; CPU best %.2fx, median %.2fx\n",
                Best(full.wall) / Best(empty.wall), Median(full.wall) / Median(empty.wall),
                Best(full.cpu) / Best(empty.cpu), Median(full.cpu) / Median(empty.cpu));
    return 0;
}
