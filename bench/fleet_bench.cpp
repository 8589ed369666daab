// Fleet download speed: 32 virtual single-colour printers on loopback (in this
// process), 3 logos each, one `markograph-cli download --hosts FILE --jobs 8`
// run. Compares the wall time with four rounds of one download's mandated
// waits (32 printers / 8 at a time), the least any correct run can take.

#include "bench_images.h"
#include "sim/virtual_printer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int kPrinters = 32;
constexpr int kJobs = 8;
constexpr int kLogos = 3;
// A single-colour download: 6,000 ms to prepare, 1,000 ms before the first
// logo, 100 ms between logos and after the last.
constexpr int kMandatedWaitsMs = 6000 + 1000 + (kLogos - 1) * 100 + 100;

bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString cli = QCoreApplication::applicationDirPath() + "/markograph-cli";
    QTemporaryDir dir;
    std::vector<std::unique_ptr<CVirtualPrinter>> printers;
    QByteArray hosts = "# the benchmark's virtual printers\n";
    for (int n = 0; n < kPrinters; ++n) {
        printers.push_back(std::make_unique<CVirtualPrinter>());
        SimOptions options;
        options.listenPort = 0;
        const std::optional<quint16> port = printers.back()->Start(PrinterKind::Mono, options);
        if (!port) {
            std::fprintf(stderr, "virtual printer %d: %s\n", n, qPrintable(printers.back()->ErrorString()));
            return 1;
        }
        hosts += "127.0.0.1:" + QByteArray::number(*port) + "\n";
    }
    QStringList args{"download", "--hosts", dir.filePath("hosts.txt"), "--jobs", QString::number(kJobs), "--json",
                     "--model-type", "1", "--receipt-width", "576", "--no-limits"};
    for (int n = 0; n < kLogos; ++n) {
        const QString path = dir.filePath(QStringLiteral("logo%1.bmp").arg(n));
        if (!WriteBytes(path, EncodeBmp24(MakeLogoImage(576, 160, 7u + static_cast<unsigned>(n)))))
            return 1;
        args << path;
    }
    if (!WriteBytes(dir.filePath("hosts.txt"), hosts))
        return 1;

    QProcess process;
    QElapsedTimer timer;
    timer.start();
    process.start(cli, args);
    if (!process.waitForFinished(10 * 60 * 1000)) {
        std::fprintf(stderr, "markograph-cli did not finish: %s\n", qPrintable(process.errorString()));
        return 1;
    }
    const double wallMs = static_cast<double>(timer.elapsed());
    const QJsonObject summary = QJsonDocument::fromJson(process.readAllStandardOutput()).object();
    double slowest = 0;
    double fastest = 1e9;
    for (const QJsonValue& value : summary.value("printers").toArray()) {
        slowest = std::max(slowest, value.toObject().value("seconds").toDouble());
        fastest = std::min(fastest, value.toObject().value("seconds").toDouble());
    }
    int stored = 0;
    for (const auto& printer : printers) {
        printer->WaitFor([&] { return printer->StoredImages().size() >= kLogos; }, 5000);
        stored += static_cast<int>(printer->StoredImages().size());
    }
    const int rounds = (kPrinters + kJobs - 1) / kJobs;
    const double floorMs = static_cast<double>(rounds) * kMandatedWaitsMs;
    std::printf("fleet download: %d single-colour printers, %d logos each (576x160), --jobs %d\n", kPrinters, kLogos,
                kJobs);
    std::printf("  exit status              %d (%d of %d printers succeeded)\n", process.exitCode(),
                summary.value("succeeded").toInt(), kPrinters);
    std::printf("  images stored            %d of %d\n", stored, kPrinters * kLogos);
    std::printf("  mandated waits, one run  %d ms\n", kMandatedWaitsMs);
    std::printf("  four rounds of them      %.0f ms\n", floorMs);
    std::printf("  wall time                %.0f ms\n", wallMs);
    std::printf("  ratio                    %.3fx (target <= 1.3x)\n", wallMs / floorMs);
    std::printf("  per printer              %.2f s .. %.2f s\n", fastest, slowest);
    return process.exitCode() == 0 && stored == kPrinters * kLogos ? 0 : 1;
}
