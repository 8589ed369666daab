#include "e2e/e2e_support.h"

#include "operations/download_list_builder.h"
#include "logos/logo_list.h"
#include "support/bmp_writer.h"

#include <gtest/gtest.h>

CSimulatedPrinter::CSimulatedPrinter(PrinterKind kind, const SimFaults& faults, bool pty)
    : CSimulatedPrinter(kind, [&] {
          SimOptions options;
          options.pty = pty;
          options.faults = faults;
          return options;
      }())
{
}

CSimulatedPrinter::CSimulatedPrinter(PrinterKind kind, SimOptions options)
{
    options.listenPort = 0;
    const std::optional<quint16> port = m_printer.Start(kind, options);
    EXPECT_TRUE(port) << m_printer.ErrorString().toStdString();
    m_port = port.value_or(0);
}

PortSettings CSimulatedPrinter::Ethernet() const
{
    PortSettings settings;
    settings.interfaceKind = InterfaceKind::Ethernet;
    settings.ipAddress = {127, 0, 0, 1};
    settings.tcpPort = m_port;
    return settings;
}

PortSettings CSimulatedPrinter::Serial() const
{
    PortSettings settings;
    settings.interfaceKind = InterfaceKind::Serial;
    settings.portName = m_printer.PtyPath();
    settings.baudRate = 19200;
    settings.dataBits = 8;
    return settings;
}

bool CSimulatedPrinter::WaitForImages(int count, int timeoutMs)
{
    return m_printer.WaitFor([&] { return static_cast<int>(m_printer.StoredImages().size()) >= count; }, timeoutMs);
}

bool CSimulatedPrinter::WaitForPrints(int count, int timeoutMs)
{
    return m_printer.WaitFor([&] { return static_cast<int>(m_printer.Prints().size()) >= count; }, timeoutMs);
}

QStringList CSimulatedPrinter::StoredNames() const
{
    QStringList names;
    for (const SimStoredImage& image : m_printer.StoredImages())
        names << image.name;
    return names;
}

QString WriteTestLogo(const CTestDir& dir, const QString& name, int width, int height)
{
    BmpSpec spec;
    spec.width = width;
    spec.height = height;
    spec.pixel = [](int x, int y) -> std::uint32_t {
        if (y < 2)
            return win::MakeColorRef(255, 0, 0);
        return x % 3 == 0 ? win::MakeColorRef(0, 0, 0) : win::MakeColorRef(255, 255, 255);
    };
    const QString path = dir.Path(name);
    EXPECT_TRUE(WriteBmp(path, spec));
    return path;
}

DownloadList ConvertLogos(PrinterKind kind, const QStringList& paths, DotDensity density)
{
    std::vector<LogoEntry> entries;
    for (const QString& path : paths) {
        LogoEntry entry;
        entry.path = path;
        entry.name = LogoFileName(path);
        entry.colorMode = kind == PrinterKind::Mono ? ColorChoice::NotUsed : ColorChoice::Red;
        entries.push_back(entry);
    }
    std::vector<const LogoEntry*> logos;
    for (const LogoEntry& entry : entries)
        logos.push_back(&entry);
    DownloadBuildOptions options;
    options.receiptWidth = 576;
    options.density = density;
    QString error;
    std::optional<DownloadList> items = BuildDownloadList(kind, logos, options, &error);
    EXPECT_TRUE(items) << error.toStdString();
    return items.value_or(DownloadList());
}
