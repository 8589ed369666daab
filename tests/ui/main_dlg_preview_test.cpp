#include "app/preview_source.h"
#include "imaging/color_separation.h"
#include "support/bmp_writer.h"
#include "support/temp_dir.h"

#include <QFile>

#include <gtest/gtest.h>

#include <vector>

namespace {

QString WriteFilled(const CTestDir& dir, const QString& name, int width, int height, COLORREF colour)
{
    const QString path = dir.Path(name);
    EXPECT_TRUE(WriteBmp24(path, width, height,
                           std::vector<COLORREF>(static_cast<size_t>(width) * static_cast<size_t>(height), colour)));
    return path;
}

}  // namespace

TEST(MainDlgPreviewSource, SeparatesTheVisiblePartAndReadsTheFileOnce)
{
    CTestDir dir;
    const QString path = WriteFilled(dir, "a.bmp", 300, 200, RGB(20, 20, 20));
    CPreviewSource preview;
    SeparationInputs inputs;
    const QImage& first = preview.Render(path, QSize(100, 50), inputs);
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(first.size(), QSize(100, 50));
    EXPECT_EQ(first.pixel(10, 10) & 0xFFFFFFu, 0x000000u);  // dark: the second ink, black

    inputs.lColor = {255, 0, 0};
    inputs.rValue = 7;
    const QImage& second = preview.Render(path, QSize(100, 50), inputs);
    EXPECT_EQ(second.pixel(10, 10) & 0xFFFFFFu, 0xFF0000u);
    EXPECT_EQ(preview.LoadCount(), 1);

    // A smaller bitmap gives a smaller image.
    const QString small = WriteFilled(dir, "b.bmp", 30, 20, RGB(255, 255, 255));
    EXPECT_EQ(preview.Render(small, QSize(100, 50), inputs).size(), QSize(30, 20));
    EXPECT_EQ(preview.LoadCount(), 2);
}

TEST(MainDlgPreviewSource, ReloadsAFileReplacedUnderTheSameName)
{
    CTestDir dir;
    const QString path = WriteFilled(dir, "a.bmp", 10, 10, RGB(0, 0, 0));
    CPreviewSource preview;
    const SeparationInputs inputs;
    EXPECT_EQ(preview.Render(path, QSize(50, 50), inputs).pixel(1, 1) & 0xFFFFFFu, 0x000000u);
    // Another size, so the change shows even within one second of file time.
    WriteFilled(dir, "a.bmp", 12, 10, RGB(255, 255, 255));
    EXPECT_EQ(preview.Render(path, QSize(50, 50), inputs).pixel(1, 1) & 0xFFFFFFu, 0xFFFFFFu);
    EXPECT_EQ(preview.LoadCount(), 2);
}

TEST(MainDlgPreviewSource, EmptyPathOrMissingFileGivesNothing)
{
    CTestDir dir;
    CPreviewSource preview;
    EXPECT_TRUE(preview.Render(QString(), QSize(50, 50), SeparationInputs{}).isNull());
    EXPECT_TRUE(preview.Render(dir.Path("none.bmp"), QSize(50, 50), SeparationInputs{}).isNull());
}
