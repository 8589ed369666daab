#include "main_dlg_test_fixture.h"

#include "dialog_test_helpers.h"

#include "address/address_dlg_ids.h"
#include "address/address_download_dlg.h"
#include "config/port_config_dlg.h"
#include "e2e/e2e_support.h"
#include "support/virtual_clock.h"

#include <QApplication>
#include <QFrame>
#include <QTimer>

#include <algorithm>
#include <array>
#include <random>

// The preview shows what the printer stores: random sequences of the
// operator's actions (model switch, selection, slider moves by mouse and by
// keys, invert, colour choice, Remove, Reset, Open File), then a download
// into a two-colour virtual printer, whose stored dots for the logo on show
// must match the preview pixel for pixel.
class MainDlgWysiwyg : public CMainDlgTest, public ::testing::WithParamInterface<int> {
protected:
    static constexpr int kLogoWidth = 48;  // a whole number of bytes: no padding columns
    static constexpr int kLogoHeight = 24;
    static constexpr int kMaxLogos = 5;

    void WriteModel(PrinterKind modelType)
    {
        m_modelType = modelType;
        WriteModelFile(QStringLiteral("[COMMON]\nDESCRIPTION=Test\nModelName=%1\nModelType=%2\nRECEIPTWIDTH=576\n"
                                      "MEMORYSIZE=384\nDOWNMAX=%3\n[PRINTERLIST]\n"
                                      "PRINTER01=TX-100,015,001,576,005,384\nPRINTER02=TX-200,015,002,576,005,384\n"
                                      "[COMMUNICATION]\nINTERFACE=3\nPORTNAME=Ethernet\nIP1=127\nIP2=0\nIP3=0\n"
                                      "IP4=1\nPORT=%4\n")
                           .arg(modelType == PrinterKind::Mono ? "TX-100" : "TX-200")
                           .arg(PrinterKindNumber(modelType))
                           .arg(kMaxLogos)
                           .arg(m_sim.Ethernet().tcpPort));
    }

    // A logo of many hues and brightnesses, different for every name.
    QString WriteColourfulLogo(const QString& name, std::mt19937& random)
    {
        std::vector<win::COLORREF> pixels;
        std::uniform_int_distribution<int> byte(0, 255);
        for (int i = 0; i < kLogoWidth * kLogoHeight; ++i)
            pixels.push_back(win::MakeColorRef(byte(random), byte(random), byte(random)));
        const QString path = m_dir.Path(name);
        EXPECT_TRUE(WriteBmp24(path, kLogoWidth, kLogoHeight, pixels));
        return path;
    }

    // Another model in the file, then Port Setting, cancelled: the window
    // reloads the file whatever the dialog's result.
    void SwitchModel(CMainDlg& dlg, PrinterKind modelType)
    {
        WriteModel(modelType);
        QTimer::singleShot(0, [] {
            if (auto* config = qobject_cast<CPortConfigDlg*>(QApplication::activeModalWidget()))
                config->reject();
        });
        Click(dlg, IDC_PORT_SETTING);
    }

    // Auto download: stores the list under 00, 01 ... in list order.
    void Download(CMainDlg& dlg)
    {
        QTimer::singleShot(0, [] {
            if (auto* address = qobject_cast<CAddressDownloadDlg*>(QApplication::activeModalWidget())) {
                Control<QAbstractButton>(*address, IDC_ADDR_AUTO_DOWNLOAD)->click();
                address->reject();
            }
        });
        Click(dlg, IDC_DOWNLOAD);
    }

    // The preview as dots: white paper, black, or the colour ink.
    CDotGrid PreviewDots(CMainDlg& dlg) const
    {
        const QImage window = dlg.grab().toImage();
        const auto* frame = FindControl<QFrame>(&dlg, IDC_PREVIEW);
        const QPoint origin = frame->contentsRect().translated(frame->pos()).topLeft();
        CDotGrid dots(kLogoWidth, kLogoHeight);
        for (int y = 0; y < kLogoHeight; ++y) {
            for (int x = 0; x < kLogoWidth; ++x) {
                const QRgb pixel = window.pixel(origin + QPoint(x, y)) & 0xFFFFFFu;
                dots.Set(x, y, pixel == 0xFFFFFFu ? CDotGrid::White : pixel == 0 ? CDotGrid::Black : CDotGrid::Red);
            }
        }
        return dots;
    }

    // One random action; returns its name for the failure message.
    QString Act(CMainDlg& dlg, std::mt19937& random);

    CSimulatedPrinter m_sim{PrinterKind::TwoColor};
    CVirtualClock m_clock;
    PrinterKind m_modelType = PrinterKind::Mono;
    int m_logosWritten = 0;
};

QString MainDlgWysiwyg::Act(CMainDlg& dlg, std::mt19937& random)
{
    const auto pick = [&random](int count) { return std::uniform_int_distribution<int>(0, count - 1)(random); };
    const int rows = LogoView(dlg)->topLevelItemCount();
    const std::array<int, 3> sliders = {IDC_THRESHOLD_SLIDER, IDC_R_SLIDER, IDC_L_SLIDER};
    switch (pick(10)) {
    case 0:
        SwitchModel(dlg, m_modelType == PrinterKind::Mono ? PrinterKind::TwoColor : PrinterKind::Mono);
        return QStringLiteral("model %1").arg(PrinterKindNumber(m_modelType));
    case 1:
    case 2: {
        if (rows == 0)
            return QStringLiteral("-");
        const int row = pick(rows);
        ClickRow(dlg, row);
        return QStringLiteral("select %1").arg(row);
    }
    case 3: {
        const int id = sliders[static_cast<size_t>(pick(3))];
        if (!Enabled(dlg, id))
            return QStringLiteral("-");
        const int value = pick(Slider(dlg, id)->maximum() + 1);
        DragSliderTo(dlg, id, value);
        return QStringLiteral("drag %1 to %2").arg(id).arg(value);
    }
    case 4: {
        const int id = sliders[static_cast<size_t>(pick(3))];
        if (!Enabled(dlg, id))
            return QStringLiteral("-");
        const std::array<Qt::Key, 5> keys = {Qt::Key_Left, Qt::Key_Right, Qt::Key_PageUp, Qt::Key_Home, Qt::Key_End};
        const Qt::Key key = keys[static_cast<size_t>(pick(5))];
        Slider(dlg, id)->setFocus();
        QTest::keyClick(Slider(dlg, id), key);
        QApplication::processEvents();
        return QStringLiteral("key %1 on %2").arg(key).arg(id);
    }
    case 5: {
        const int id = pick(2) == 0 ? IDC_INVERT : IDC_COLOR_RED + pick(4);
        if (!Enabled(dlg, id))
            return QStringLiteral("-");
        Click(dlg, id);
        return QStringLiteral("click %1").arg(id);
    }
    case 6: {
        if (rows == 0)
            return QStringLiteral("-");
        const int row = pick(rows);
        ClickRow(dlg, row);
        m_messages.QueueAnswer(win::kIdYes);
        Click(dlg, IDC_REMOVE);
        return QStringLiteral("remove %1").arg(row);
    }
    case 7:
        if (rows > 0)  // an empty list has nothing to lose and asks nothing
            m_messages.QueueAnswer(win::kIdYes);
        Click(dlg, IDC_RESET);
        return QStringLiteral("reset");
    default: {
        if (rows >= kMaxLogos)
            return QStringLiteral("-");
        OpenFiles(dlg, {WriteColourfulLogo(QStringLiteral("logo%1.bmp").arg(++m_logosWritten), random)});
        return QStringLiteral("open");
    }
    }
}

TEST_P(MainDlgWysiwyg, ThePreviewShowsWhatThePrinterStores)
{
    std::mt19937 random(static_cast<unsigned>(GetParam()));
    WriteModel(PrinterKind::Mono);
    const auto dlg = OpenWindow();
    // Added under the single-colour model: their colour choice is Not Used.
    for (int i = 0; i < 3; ++i)
        OpenFiles(*dlg, {WriteColourfulLogo(QStringLiteral("logo%1.bmp").arg(++m_logosWritten), random)});
    QStringList played;
    for (int step = 0; step < 25; ++step)
        played << Act(*dlg, random);
    // End as the operator in the field did: a logo on show, then the
    // two-colour model chosen in Port Setting (the printer is a two-colour one).
    if (LogoView(*dlg)->topLevelItemCount() == 0)
        OpenFiles(*dlg, {WriteColourfulLogo(QStringLiteral("logo%1.bmp").arg(++m_logosWritten), random)});
    if (dlg->LogoList().CurrentEntryNumber() < 0) {
        ClickRow(*dlg, 0);
        played << QStringLiteral("select 0");
    }
    if (m_modelType == PrinterKind::TwoColor)
        SwitchModel(*dlg, PrinterKind::Mono);
    SwitchModel(*dlg, PrinterKind::TwoColor);
    played << QStringLiteral("model 1, model 2");
    const std::string history = played.join(u", ").toStdString();
    const int current = dlg->LogoList().CurrentEntryNumber();
    ASSERT_GT(current, 0) << history;
    const CDotGrid shown = PreviewDots(*dlg);

    const int count = LogoView(*dlg)->topLevelItemCount();
    Download(*dlg);
    ASSERT_TRUE(m_sim.WaitForImages(count)) << history << "\n" << Listed(m_messages.Texts());
    const QString address = QStringLiteral("%1").arg(current - 1, 2, 10, QLatin1Char('0'));
    const std::vector<SimStoredImage> stored = m_sim.Printer().StoredImages();
    const auto image = std::find_if(stored.begin(), stored.end(),
                                    [&address](const SimStoredImage& s) { return s.name == address; });
    ASSERT_NE(image, stored.end()) << history << "\nstored: " << Listed(m_sim.StoredNames());
    EXPECT_EQ(image->dots.Width(), kLogoWidth);
    int differ = 0;
    for (int y = 0; y < kLogoHeight; ++y)
        for (int x = 0; x < kLogoWidth; ++x)
            differ += shown.At(x, y) != image->dots.At(x, y) ? 1 : 0;
    EXPECT_EQ(differ, 0) << "dots that differ from the preview; actions: " << history;
    // A logo that is all paper would prove nothing.
    EXPECT_LT(shown.Count(CDotGrid::White), kLogoWidth * kLogoHeight) << history;

    // Every other logo was stored with its own settings too, not with those
    // of the logo on show when the download started: each one's preview,
    // once selected, is what the printer holds under its address.
    for (int row = 0; row < count; ++row) {
        ClickRow(*dlg, row);
        const CDotGrid preview = PreviewDots(*dlg);
        const QString name = QStringLiteral("%1").arg(row, 2, 10, QLatin1Char('0'));
        const auto held = std::find_if(stored.begin(), stored.end(),
                                       [&name](const SimStoredImage& s) { return s.name == name; });
        ASSERT_NE(held, stored.end()) << history;
        int differing = 0;
        for (int y = 0; y < kLogoHeight; ++y)
            for (int x = 0; x < kLogoWidth; ++x)
                differing += preview.At(x, y) != held->dots.At(x, y) ? 1 : 0;
        EXPECT_EQ(differing, 0) << "logo " << row << " differs from its preview; actions: " << history;
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, MainDlgWysiwyg, ::testing::Range(1, 13));
