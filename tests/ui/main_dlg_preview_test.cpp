#include "app/preview_source.h"
#include "support/bmp_writer.h"
#include "support/temp_dir.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

QString WriteFilled(const CTestDir& dir, int width, int height, win::COLORREF colour)
{
    const QString path = dir.Path("logo.bmp");
    EXPECT_TRUE(WriteBmp24(path, width, height, std::vector<win::COLORREF>(size_t(width) * size_t(height), colour)));
    return path;
}

QRgb At(const QImage& image) { return image.pixel(1, 1) & 0xFFFFFFu; }

}  // namespace

TEST(MainDlgPreviewSource, SeparatesTheVisiblePartAndReadsTheFileOnlyWhenItChanges)
{
    CTestDir dir;
    const QString path = WriteFilled(dir, 300, 200, win::MakeColorRef(20, 20, 20));
    CPreviewSource preview;
    SeparationInputs inputs;
    EXPECT_EQ(preview.Render(path, QSize(100, 50), inputs, PrinterKind::TwoColor).size(), QSize(100, 50));
    EXPECT_EQ(At(preview.Render(path, QSize(100, 50), inputs, PrinterKind::TwoColor)), 0x000000u);  // dark: the second ink
    inputs.lColor = {255, 0, 0};
    EXPECT_EQ(At(preview.Render(path, QSize(100, 50), inputs, PrinterKind::TwoColor)), 0xFF0000u);
    EXPECT_EQ(preview.LoadCount(), 1);

    // Replaced under the same name (another size, so the change shows even
    // within the file time's resolution): read again.
    WriteFilled(dir, 30, 20, win::MakeColorRef(255, 255, 255));
    EXPECT_EQ(preview.Render(path, QSize(100, 50), inputs, PrinterKind::TwoColor).size(), QSize(30, 20));
    EXPECT_EQ(At(preview.Render(path, QSize(100, 50), inputs, PrinterKind::TwoColor)), 0xFFFFFFu);
    EXPECT_EQ(preview.LoadCount(), 2);
}

TEST(MainDlgPreviewSource, EmptyPathOrAFileThatIsGoneShowsNothing)
{
    CTestDir dir;
    const QString path = WriteFilled(dir, 10, 10, win::MakeColorRef(0, 0, 0));
    CPreviewSource preview;
    EXPECT_TRUE(preview.Render(QString(), QSize(50, 50), SeparationInputs{}, PrinterKind::TwoColor).isNull());
    EXPECT_FALSE(preview.Render(path, QSize(50, 50), SeparationInputs{}, PrinterKind::TwoColor).isNull());
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_TRUE(preview.Render(path, QSize(50, 50), SeparationInputs{}, PrinterKind::TwoColor).isNull());
}
