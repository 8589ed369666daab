#include "import/import_dlg.h"
#include "import/import_dlg_ids.h"
#include "main_dlg_test_fixture.h"
#include "support/data_home.h"

#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

// Pictures reach the logo list through the import dialog: from "Open File"
// and by dropping them on the list. The dialog shows its result live and
// writes the BMP into the per-user logos folder on OK.

namespace {

// A grey ramp with a dark red bar: every setting changes something.
QImage RampPicture()
{
    QImage image(800, 200, QImage::Format_RGB32);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 800; ++x)
            image.setPixel(x, y, y < 40 ? qRgb(170, 20, 20) : qRgb(x * 255 / 800, x * 255 / 800, x * 255 / 800));
    return image;
}

class ImportDialog : public CMainDlgTest {
protected:
    ImportDialog() : m_home(m_dir.Path("data")) {}
    void SetUp() override { WriteModelFile(DefaultModelFile()); }  // two-colour, 576 dots

    // When the import dialog appears, act on it (on the event loop it runs).
    void WhenImportOpens(std::function<void(CImportDlg&)> act)
    {
        m_seen = false;
        QTimer::singleShot(0, [this, act] {
            auto* dialog = qobject_cast<CImportDlg*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            m_seen = true;
            act(*dialog);
        });
    }

    static void Press(CImportDlg& dialog, int id) { QTest::mouseClick(FindControl<QPushButton>(&dialog, id), Qt::LeftButton); }

    QString WritePicture(const QString& name) const
    {
        const QString path = m_dir.Path(name);
        EXPECT_TRUE(RampPicture().save(path));
        return path;
    }

    QStringList LogosFolder() const { return QDir(m_dir.Path("data/markograph/logos")).entryList(QDir::Files); }

    CDataHome m_home;
    bool m_seen = false;
};

}  // namespace

TEST_F(ImportDialog, OpenFileOffersPicturesAndImportsAPng)
{
    const auto dlg = OpenWindow();
    QImage before;
    QImage after;
    WhenImportOpens([&](CImportDlg& dialog) {
        before = dialog.Result()->Preview();
        // The result follows the slider while it moves, before any release.
        FindControl<QSlider>(&dialog, IDC_IMPORT_BRIGHTNESS)->setValue(60);
        after = dialog.Result()->Preview();
        if (const char* folder = getenv("MARKOGRAPH_SCREENSHOT_DIR"))
            dialog.grab().save(QString::fromLocal8Bit(folder) + "/import-dialog.png");
        Press(dialog, win::kIdOk);
    });
    OpenFiles(*dlg, {WritePicture("shop.png")});
    ASSERT_TRUE(m_seen);
    const QString filter = m_files.Requests().back().filter;
    EXPECT_TRUE(filter.startsWith("BMP images (*.bmp)|*.bmp|All pictures (")) << filter.toStdString();
    EXPECT_TRUE(filter.contains("*.png") && filter.contains("*.jpg") && filter.contains("*.svg"));
    EXPECT_TRUE(filter.endsWith("|All files (*)|*||")) << filter.toStdString();

    EXPECT_EQ(before.size(), QSize(576, 144));
    EXPECT_NE(before, after);
    ASSERT_EQ(LogosFolder().size(), 1);
    EXPECT_TRUE(LogosFolder().front().startsWith("shop-k2-576-fs-"));
    // 576 x 144 dots: 72 x 144 bytes; the settings map the red ink exactly.
    EXPECT_EQ(Rows(*dlg), QStringList{"1|" + LogosFolder().front() + "|10"});
    const LogoEntry& entry = dlg->LogoList().At(0);
    EXPECT_EQ(entry.colorMode, ColorChoice::Red);
    EXPECT_EQ(entry.threshold, 0);
    EXPECT_TRUE(m_messages.Texts().isEmpty()) << m_messages.Texts().join('|').toStdString();
}

TEST_F(ImportDialog, WideBmpsAreImportedAndCancelAddsNothing)
{
    const auto dlg = OpenWindow();
    QString method;
    WhenImportOpens([&](CImportDlg& dialog) {
        method = FindControl<QComboBox>(&dialog, IDC_IMPORT_METHOD)->currentText();
        Press(dialog, win::kIdCancel);
    });
    OpenFiles(*dlg, {WriteLogo("wide.bmp", 600, 40), WriteLogo("fits.bmp", 576, 40)});
    EXPECT_TRUE(m_seen);
    EXPECT_EQ(method, "floyd-steinberg");
    EXPECT_EQ(Rows(*dlg), QStringList{"1|fits.bmp|2"});  // the fitting BMP goes straight in
    EXPECT_TRUE(LogosFolder().isEmpty());
}

TEST_F(ImportDialog, DroppedPicturesGoThroughTheDialogToo)
{
    const auto dlg = OpenWindow();
    WhenImportOpens([&](CImportDlg& dialog) {
        FindControl<QComboBox>(&dialog, IDC_IMPORT_INK)->setCurrentIndex(1);  // green
        Press(dialog, win::kIdOk);
    });
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(WritePicture("drop.png")), QUrl::fromLocalFile(WriteLogo("small.bmp", 8, 8))});
    QWidget* viewport = LogoView(*dlg)->viewport();
    // A drop reaches the widget that accepted the drag's entry.
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);
    EXPECT_TRUE(m_seen);
    EXPECT_TRUE(drop.isAccepted());
    ASSERT_EQ(dlg->LogoList().Count(), 2);
    EXPECT_EQ(dlg->LogoList().At(0).colorMode, ColorChoice::Green);
    EXPECT_EQ(dlg->LogoList().At(0).threshold, 120);
    EXPECT_EQ(dlg->LogoList().At(1).name, "small.bmp");
}

TEST_F(ImportDialog, SettingsThatGiveNoResultDisableOk)
{
    CImportDlg dialog(m_dir.Path("x.png"), RampPicture(), ImportSettings{});
    dialog.show();
    auto* width = FindControl<QLineEdit>(&dialog, IDC_IMPORT_WIDTH);
    // 800 x 200 at 1 dot wide... and back: a width of 1 gives a 1 x 1 logo.
    width->setText("1");
    emit width->editingFinished();
    ASSERT_TRUE(dialog.Result());
    EXPECT_EQ(dialog.Result()->dotWidth, 1);
    EXPECT_TRUE(FindControl<QPushButton>(&dialog, win::kIdOk)->isEnabled());
    CImportDlg tall(m_dir.Path("y.png"), RampPicture().copy(0, 0, 2, 200), ImportSettings{});
    tall.show();
    auto* tallWidth = FindControl<QLineEdit>(&tall, IDC_IMPORT_WIDTH);
    tallWidth->setText("400");  // 40,000 rows
    emit tallWidth->editingFinished();
    EXPECT_FALSE(tall.Result());
    EXPECT_FALSE(FindControl<QPushButton>(&tall, win::kIdOk)->isEnabled());
    EXPECT_TRUE(FindControl<QLabel>(&tall, IDC_IMPORT_INFO)->text().contains("16384"));
}
