#include "framework/widgets/responsive_clock.h"

#include "dialog_test_helpers.h"
#include "download/upload_dlg.h"
#include "download/upload_dlg_ids.h"
#include "e2e/e2e_support.h"
#include "kinds/printer_kind.h"
#include "support/message_recorder.h"
#include "support/temp_dir.h"
#include "support/virtual_clock.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <numeric>
#include <thread>

// Waits of the desktop program: the time passes in virtual slices, the
// windows go on painting, the operator's input is refused.

namespace {

// Counts its paints.
class CPaintCounter : public QWidget {
public:
    using QWidget::QWidget;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override
    {
        ++paints;
        QPainter(this).fillRect(rect(), Qt::white);
    }
};

int Sum(const std::vector<int>& values) { return std::accumulate(values.begin(), values.end(), 0); }

TEST(ResponsiveClock, AWaitKeepsTheWindowPaintingWhileInputIsRefused)
{
    CVirtualClock time;
    CResponsiveClock clock(time);
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* canvas = new CPaintCounter(&window);
    canvas->setMinimumSize(50, 50);
    auto* button = new QPushButton(QStringLiteral("Start"), &window);
    auto* edit = new QLineEdit(&window);
    layout->addWidget(canvas);
    layout->addWidget(button);
    layout->addWidget(edit);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    edit->setFocus();
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });

    // What happens once the wait runs: the window is asked to repaint, the
    // operator clicks, types and presses the close box.
    int paintsBefore = -1;
    bool busyCursor = false;
    QTimer::singleShot(0, [&] {
        paintsBefore = canvas->paints;
        busyCursor = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        canvas->update();
        const QPointF centre = QRectF(button->rect()).center();
        QApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonPress, centre, button->mapToGlobal(centre),
                                                        Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
        QApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonRelease, centre,
                                                        button->mapToGlobal(centre), Qt::LeftButton, Qt::NoButton,
                                                        Qt::NoModifier));
        QApplication::postEvent(edit, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a")));
        QApplication::postEvent(&window, new QCloseEvent);
    });
    const qint64 start = time.NowMs();
    clock.Sleep(6000);

    EXPECT_EQ(time.NowMs() - start, 6000);  // the wait keeps its length
    EXPECT_EQ(Sum(time.Sleeps()), 6000);
    EXPECT_GE(paintsBefore, 0) << "nothing ran during the wait";
    EXPECT_GT(canvas->paints, paintsBefore) << "the window did not paint during the wait";
    EXPECT_TRUE(busyCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(edit->text(), QString());
    EXPECT_TRUE(window.isVisible());
    // Afterwards the window takes input again.
    QTest::keyClick(edit, Qt::Key_B);
    EXPECT_EQ(edit->text(), QStringLiteral("b"));
}

TEST(ResponsiveClock, AWaitOnAnotherThreadIsTheUnderlyingSleep)
{
    CVirtualClock time;
    CResponsiveClock clock(time);
    std::thread other([&clock] { clock.Sleep(500); });
    other.join();
    EXPECT_EQ(time.Sleeps(), std::vector<int>{500});
}

// The erase wait of a single-colour download counts down in the status line.
TEST(ResponsiveClock, TheEraseWaitCountsDownInTheUploadDialog)
{
    CTestDir dir;
    CMessageRecorder messages;
    CSimulatedPrinter sim(PrinterKind::Mono);
    CVirtualClock time;
    CResponsiveClock responsive(time);
    CClock* previous = SetClock(&responsive);
    const DownloadList items = ConvertLogos(PrinterKind::Mono, {WriteTestLogo(dir, "a.bmp", 16, 8)});
    CUploadDlg dialog(nullptr, PrinterKind::Mono, sim.Ethernet(), "TX-100 Image download dialog", items);
    dialog.show();
    QStringList shown;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        const QString text = Control<QLabel>(dialog, IDC_UPLOAD_STATUS)->text();
        if (shown.isEmpty() || shown.back() != text)
            shown << text;
    });
    sampler.start(0);
    Click(dialog, IDC_UPLOAD_START);
    sampler.stop();
    SetClock(previous);
    dialog.reject();
    EXPECT_EQ(Listed(shown), Listed({"Erasing NV memory... 6 s", "Erasing NV memory... 5 s", "Erasing NV memory... 4 s",
                                     "Erasing NV memory... 3 s", "Erasing NV memory... 2 s",
                                     "Erasing NV memory... 1 s"}));
    EXPECT_EQ(Sum(time.Sleeps()), 6000);
}

}  // namespace
