#include "journeys/journey_driver.h"

#include "dialog_test_helpers.h"

#include "config/port_config_dlg.h"
#include "config/port_config_ids.h"
#include "framework/widgets/ip_address_ctrl.h"
#include "import/import_dlg.h"
#include "res/resource_ids.h"
#include "support/bmp_writer.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <QTreeWidget>

CJourneyDriver::CJourneyDriver(CMainDlg& window, std::array<CJourneyPrinter*, 3> printers, const CTestDir& dir,
                               CJourneyClock& clock)
    : m_window(window), m_printers(printers), m_dir(dir), m_clock(clock)
{
}

QString CJourneyDriver::ModelFile() const { return m_dir.Path(QStringLiteral("NV.inf")); }

CJourneyPrinter* CJourneyDriver::Reached() const
{
    const CurrentConfiguration& config = m_window.Configuration();
    const std::optional<PrinterKind> kind = config.modelType.Kind();
    // Only ever the loopback printers: any other setting is not used.
    if (!kind || config.port.interfaceKind != InterfaceKind::Ethernet
        || config.port.ipAddress != std::array<quint8, 4>{127, 0, 0, 1})
        return nullptr;
    CJourneyPrinter* printer = PrinterOf(*kind);
    return printer->Port() == config.port.tcpPort ? printer : nullptr;
}

StepRecord CJourneyDriver::Run(const Step& step)
{
    StepRecord record;
    record.printer = Reached();
    // The impact models differ in width only: one printer plays both.
    if (record.printer)
        record.printer->MatchWidth(m_window.Configuration().receiptWidth);
    QTreeWidget* view = Control<QTreeWidget>(m_window, IDC_LOGO_LIST);
    const int rows = view->topLevelItemCount();
    static const std::array<int, 3> sliders{IDC_THRESHOLD_SLIDER, IDC_R_SLIDER, IDC_L_SLIDER};
    switch (step.action) {
    case Action::AddBmp: {
        QStringList paths;
        for (int i = 0; i < step.a; ++i)
            paths << (step.c == 1 && i == 0 ? WriteLogo(256, 6, unsigned(step.b + i))
                                            : WriteLogo(8 + (step.b + 7 * i) % 41, 4 + (step.b + i) % 9,
                                                        unsigned(step.b + i)));
        AddFiles(paths, step);
        break;
    }
    case Action::AddBatch: {
        QStringList paths;
        for (int i = 0; i < step.a; ++i)
            paths << WriteLogo(8, 2, unsigned(step.b + i));
        AddFiles(paths, step);
        break;
    }
    case Action::ImportPicture:
        AddFiles({WriteLogo(24 + step.b % 40, 6 + step.b % 7, unsigned(step.b), true)}, step);
        break;
    case Action::Select:
        if (rows == 0)
            record.note = QStringLiteral("no rows");
        else
            ClickRow(step.a % rows, step.c ? Qt::ControlModifier : Qt::NoModifier);
        break;
    case Action::DragSlider:
    case Action::KeySlider: {
        const int id = sliders[size_t(step.a % 3)];
        if (!Control<QSlider>(m_window, id)->isEnabled())
            record.note = QStringLiteral("slider disabled");
        else if (step.action == Action::DragSlider)
            DragSlider(id, step.b % (Control<QSlider>(m_window, id)->maximum() + 1));
        else
            KeySlider(id, step.b);
        break;
    }
    case Action::Colour:
    case Action::Invert: {
        const int id = step.action == Action::Invert ? IDC_INVERT : IDC_COLOR_RED + step.a % 4;
        if (!Control<QAbstractButton>(m_window, id)->isEnabled())
            record.note = QStringLiteral("disabled");
        else
            Click(id);
        break;
    }
    case Action::PortSetting:
        PortSetting(step, record);
        break;
    case Action::Remove:
        Click(IDC_REMOVE);
        break;
    case Action::Reset:
        Click(IDC_RESET);
        break;
    case Action::Download:
        Download(step, record);
        break;
    case Action::Print:
        Print(step, record);
        break;
    }
    QApplication::processEvents();
    return record;
}

void CJourneyDriver::AddFiles(const QStringList& paths, const Step& step)
{
    // Pictures (and BMP files wider than the paper) go through the import
    // dialog: accepted, or closed by one of the ways out.
    for (int i = 0; i < paths.size(); ++i)
        m_modals.Expect("CImportDlg", [this, step](QDialog& dialog) {
            if (step.closeBy == CloseBy::Button && step.action == Action::ImportPicture && step.c == 1)
                CloseDialog(dialog, CloseBy::Button, win::kIdCancel);
            else if (step.action == Action::ImportPicture && step.c == 2)
                CloseDialog(dialog, step.closeBy == CloseBy::Button ? CloseBy::Escape : step.closeBy, 0);
            else
                ::Click(dialog, win::kIdOk);
        });
    m_files.QueueAnswer(paths);
    Click(IDC_OPEN_FILE);
}

QString CJourneyDriver::WriteLogo(int width, int height, unsigned seed, bool png)
{
    // Few colours, each in several shades: every separation setting moves
    // some pixels between the inks.
    static const std::array<QRgb, 10> colours{qRgb(255, 0, 0),   qRgb(0, 160, 0),   qRgb(0, 0, 255),
                                              qRgb(255, 255, 0), qRgb(0, 255, 255), qRgb(255, 0, 255),
                                              qRgb(255, 128, 0), qRgb(0, 0, 0),     qRgb(255, 255, 255),
                                              qRgb(128, 128, 128)};
    std::mt19937 random(seed);
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const QRgb base = colours[random() % colours.size()];
            const int shade = int(random() % 3) * 40;
            image.setPixel(x, y, qRgb(std::max(qRed(base) - shade, 0), std::max(qGreen(base) - shade, 0),
                                      std::min(qBlue(base) + shade / 2, 255)));
        }
    const QString path = m_dir.Path(QStringLiteral("logo%1.%2").arg(++m_filesWritten).arg(png ? "png" : "bmp"));
    if (png) {
        EXPECT_TRUE(image.save(path, "PNG"));
        return path;
    }
    std::vector<win::COLORREF> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const QRgb p = image.pixel(x, y);
            pixels.push_back(win::MakeColorRef(qRed(p), qGreen(p), qBlue(p)));
        }
    EXPECT_TRUE(WriteBmp24(path, width, height, pixels));
    return path;
}

void CJourneyDriver::Click(int id)
{
    QTest::mouseClick(Control<QAbstractButton>(m_window, id), Qt::LeftButton);
}

void CJourneyDriver::ClickRow(int row, Qt::KeyboardModifiers modifiers)
{
    QTreeWidget* view = Control<QTreeWidget>(m_window, IDC_LOGO_LIST);
    view->scrollToItem(view->topLevelItem(row));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers,
                      view->visualItemRect(view->topLevelItem(row)).center());
}

void CJourneyDriver::DragSlider(int id, int value)
{
    // The handle is put at the value, then the mouse lets go of it: the
    // release is what the window acts on.
    QSlider* slider = Control<QSlider>(m_window, id);
    slider->setValue(value);
    QTest::mouseClick(slider, Qt::LeftButton, {}, SliderHandleRect(slider).center());
}

void CJourneyDriver::KeySlider(int id, int key)
{
    static const std::array<Qt::Key, 6> keys{Qt::Key_Left, Qt::Key_Right, Qt::Key_PageUp,
                                             Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End};
    QSlider* slider = Control<QSlider>(m_window, id);
    slider->setFocus();
    QTest::keyClick(slider, keys[size_t(key) % keys.size()]);
}

void CJourneyDriver::CloseDialog(QDialog& dialog, CloseBy by, int buttonId)
{
    switch (by) {
    case CloseBy::Button:
        QTest::mouseClick(Control<QAbstractButton>(dialog, buttonId), Qt::LeftButton);
        break;
    case CloseBy::TitleBar:
        dialog.close();  // what the window manager's close box sends
        break;
    case CloseBy::Escape:
        QTest::keyClick(&dialog, Qt::Key_Escape);
        break;
    }
}

SimFaults FaultsFor(const Step& step, qint64 total, qint64 lastItem)
{
    SimFaults faults;
    switch (step.fault) {
    case Fault::HangUp:
        faults.closeAfterBytes = std::max<qint64>(1, qint64(double(total) * step.at));
        break;
    case Fault::HangUpLastItem:
        faults.closeAfterBytes = std::max<qint64>(1, total - std::max<qint64>(1, qint64(double(lastItem) * step.at)));
        break;
    case Fault::StopsReading:
        faults.pauseReadingAfterBytes = qint64(double(total) * step.at);
        faults.pauseReadingMs = 150;
        break;
    case Fault::Garbage:
        faults.reply = SimReplyFault::Garbage;
        break;
    default:
        break;
    }
    return faults;
}

void CJourneyDriver::ArmFault(const Step& step, CJourneyPrinter& printer, qint64 total, qint64 lastItem)
{
    if (step.fault == Fault::NotThere) {
        printer.SwitchOff();
        return;
    }
    printer.SetFaults(FaultsFor(step, total, lastItem));
    m_armedTotal = total;
    m_bytesBefore = printer.Sim().Counters().bytesReceived;
    // The printer's hang-up reaches the window before its next tick, as it
    // does in real time: 100 ms is long on a local network.
    m_settleOnTick = step.fault == Fault::HangUp || step.fault == Fault::HangUpLastItem;
}
