#include "main_dlg_test_fixture.h"

#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

class MainDlgLogoList : public CMainDlgTest {
protected:
    void SetUp() override { WriteModelFile(DefaultModelFile()); }

    QStringList WriteLogos(const QStringList& names) const
    {
        QStringList paths;
        for (const QString& name : names)
            paths << WriteLogo(name, 8, 8);
        return paths;
    }
};

TEST_F(MainDlgLogoList, OpenFileAddsRowsWithTheWindowsSettings)
{
    const auto dlg = OpenWindow();
    Click(*dlg, IDC_COLOR_BLUE);
    DragSliderTo(*dlg, IDC_L_SLIDER, 77);
    // 576 dots: 72 x 100 bytes; 100 x 50 is 650. (Wider BMPs go through the import dialog.)
    OpenFiles(*dlg, {WriteLogo("wide.bmp", 576, 100), WriteLogo("small.bmp", 100, 50)});
    EXPECT_TRUE(m_messages.Texts().isEmpty()) << m_messages.Texts().join(" / ").toStdString();
    EXPECT_EQ(Rows(*dlg), (QStringList{"1|wide.bmp|7", "2|small.bmp|0"}));
    EXPECT_EQ(Text(*dlg, IDC_SUMMARY), "Logo Files : 2 / 50 \nLogo Size Total : 7 / 384 KByte");
    const LogoEntry& entry = dlg->LogoList().At(1);
    EXPECT_EQ(entry.threshold, 240);
    EXPECT_EQ(entry.rValue, 100);
    EXPECT_EQ(entry.lValue, 77);
    EXPECT_EQ(entry.colorMode, ColorChoice::Blue);

    ASSERT_EQ(m_files.Requests().size(), 1u);
    EXPECT_EQ(m_files.Requests().front().mode, FileDialogRequest::OpenMany);
    const QString filter = m_files.Requests().front().filter;
    EXPECT_TRUE(filter.startsWith("BMP images (*.bmp)|*.bmp|All pictures (")) << filter.toStdString();
    EXPECT_TRUE(filter.endsWith("|All files (*)|*||")) << filter.toStdString();
    // The view shortens a long name; the tooltip tells the whole path.
    EXPECT_EQ(LogoView(*dlg)->topLevelItem(0)->toolTip(1), QDir::toNativeSeparators(m_dir.Path("wide.bmp")));
}

// Open File starts with the sample logos, then where the last logo came from.
TEST_F(MainDlgLogoList, OpenFileStartsInTheFolderLastUsed)
{
    const auto dlg = OpenWindow();
    Click(*dlg, IDC_OPEN_FILE);  // cancelled
    ASSERT_EQ(m_files.Requests().size(), 1u);
    EXPECT_EQ(QDir(m_files.Requests()[0].directory), QDir(QStringLiteral(MARKOGRAPH_SAMPLES_DIR)));
    ASSERT_TRUE(QDir().mkpath(m_dir.Path("logos")));
    OpenFiles(*dlg, {WriteLogo("logos/a.bmp", 8, 8)});
    Click(*dlg, IDC_OPEN_FILE);
    EXPECT_EQ(QDir(m_files.Requests()[2].directory), QDir(m_dir.Path("logos")));
    dlg->close();
    // Next run: the restored list tells where the operator was.
    const auto again = OpenWindow();
    Click(*again, IDC_OPEN_FILE);
    EXPECT_EQ(QDir(m_files.Requests()[3].directory), QDir(m_dir.Path("logos")));
}

TEST_F(MainDlgLogoList, DroppedBmpFilesAreAddedAsOpenFileAddsThem)
{
    WriteModelFileWith("DOWNMAX", "2");
    const auto dlg = OpenWindow();
    QFile text(m_dir.Path("notes.txt"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.close();
    const QStringList paths = WriteLogos({"a.bmp", "B.BMP", "c.bmp"});
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(m_dir.Path("notes.txt")), QUrl::fromLocalFile(paths[0]),
                  QUrl::fromLocalFile(paths[1]), QUrl::fromLocalFile(paths[2])});
    QWidget* viewport = LogoView(*dlg)->viewport();
    const QPoint at = viewport->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);
    EXPECT_TRUE(drop.isAccepted());
    // The text file is not taken; the third logo is refused as Open File refuses it.
    EXPECT_EQ(Rows(*dlg), (QStringList{"1|a.bmp|0", "2|B.BMP|0"}));
    EXPECT_EQ(m_messages.Texts(), QStringList{"Don't Read files any more!"});
    EXPECT_EQ(Text(*dlg, IDC_SUMMARY), "Logo Files : 2 / 2 \nLogo Size Total : 0 / 384 KByte");

    // Nothing droppable: refused at the door.
    QMimeData other;
    other.setUrls({QUrl::fromLocalFile(m_dir.Path("notes.txt"))});
    QDragEnterEvent refused(at, Qt::CopyAction, &other, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &refused);
    EXPECT_FALSE(refused.isAccepted());
}

TEST_F(MainDlgLogoList, CountLimitAddsTheFirstOfThreeAndRefusesTwice)
{
    WriteModelFileWith("DOWNMAX", "3");
    const auto dlg = OpenWindow();
    OpenFiles(*dlg, WriteLogos({"1.bmp", "2.bmp"}));
    // A file that does not load is skipped and says so; the rest still follow.
    OpenFiles(*dlg, QStringList{m_dir.Path("missing.bmp")} + WriteLogos({"3.bmp", "4.bmp", "5.bmp"}));
    EXPECT_EQ(m_messages.Texts(), (QStringList{"Failed to load image file!\n" + m_dir.Path("missing.bmp") +
                                                   ": No such file or directory",
                                               "Don't Read files any more!", "Don't Read files any more!"}));
    EXPECT_EQ(Rows(*dlg), (QStringList{"1|1.bmp|0", "2|2.bmp|0", "3|3.bmp|0"}));
}

TEST_F(MainDlgLogoList, MemoryLimitAcceptsExactlyTheSizeAndRefusesOneByteMore)
{
    WriteModelFileWith("MEMORYSIZE", "1");
    const auto dlg = OpenWindow();
    // 8 bytes a line: 120 + 8 lines are exactly 1,024 bytes.
    OpenFiles(*dlg, {WriteLogo("a.bmp", 64, 120), WriteLogo("b.bmp", 64, 8), WriteLogo("c.bmp", 1, 1)});
    EXPECT_EQ(m_messages.Texts(), QStringList{"NV-bitimage area too small"});
    EXPECT_EQ(Rows(*dlg), (QStringList{"1|a.bmp|0", "2|b.bmp|0"}));
    EXPECT_EQ(Text(*dlg, IDC_SUMMARY), "Logo Files : 2 / 50 \nLogo Size Total : 1 / 1 KByte");
}

TEST_F(MainDlgLogoList, CancelledFileDialogStillRefreshesViewAndSummary)
{
    const auto dlg = OpenWindow();
    OpenFiles(*dlg, WriteLogos({"a.bmp"}));
    LogoView(*dlg)->clear();
    FindControl<QLabel>(dlg.get(), IDC_SUMMARY)->setText("stale");
    OpenFiles(*dlg, {});
    EXPECT_EQ(Rows(*dlg), QStringList{"1|a.bmp|0"});
    EXPECT_EQ(Text(*dlg, IDC_SUMMARY), "Logo Files : 1 / 50 \nLogo Size Total : 0 / 384 KByte");
}

TEST_F(MainDlgLogoList, RemovingRowsTwoAndFourOfFiveRenumbersTheRest)
{
    const auto dlg = OpenWindow();
    const QStringList files = WriteLogos({"a.bmp", "b.bmp", "c.bmp", "d.bmp", "e.bmp"});
    OpenFiles(*dlg, files);
    ClickRow(*dlg, 1);
    ClickRow(*dlg, 3, Qt::ControlModifier);
    m_messages.QueueAnswer(win::kIdYes);
    Click(*dlg, IDC_REMOVE);
    ASSERT_EQ(m_messages.Requests().size(), 1u);
    const MessageRequest& question = m_messages.Requests().front();
    EXPECT_EQ(question.text, "Do you want to remove all of selection?");
    EXPECT_EQ(question.title, "BMP Logo!");
    EXPECT_EQ(question.icon, MessageIcon::Question);
    EXPECT_EQ(question.buttons, MessageButtons::YesNo);
    EXPECT_EQ(Rows(*dlg), (QStringList{"1|a.bmp|0", "2|c.bmp|0", "3|e.bmp|0"}));
    EXPECT_EQ(Text(*dlg, IDC_SUMMARY), "Logo Files : 3 / 50 \nLogo Size Total : 0 / 384 KByte");
    EXPECT_EQ(dlg->PreviewPath(), files[3]);  // two rows removed: the preview stays
}

TEST_F(MainDlgLogoList, RemoveAsksAndOneRemovedRowClearsThePreview)
{
    const auto dlg = OpenWindow();
    OpenFiles(*dlg, WriteLogos({"a.bmp", "b.bmp"}));
    ClickRow(*dlg, 0);
    m_messages.QueueAnswer(win::kIdNo);
    Click(*dlg, IDC_REMOVE);
    EXPECT_EQ(Rows(*dlg).size(), 2);
    m_messages.QueueAnswer(win::kIdYes);
    Click(*dlg, IDC_REMOVE);
    EXPECT_EQ(Rows(*dlg), QStringList{"1|b.bmp|0"});
    EXPECT_TRUE(dlg->PreviewPath().isEmpty());
    EXPECT_EQ(dlg->LogoList().CurrentEntryNumber(), -1);
}

TEST_F(MainDlgLogoList, RemoveWithNothingSelectedWarnsAndChangesNothing)
{
    const auto dlg = OpenWindow();
    OpenFiles(*dlg, WriteLogos({"a.bmp"}));
    Click(*dlg, IDC_REMOVE);
    ASSERT_EQ(m_messages.Requests().size(), 1u);
    EXPECT_EQ(m_messages.Requests().front().text, "Without a bmpfile being selected.");
    EXPECT_EQ(m_messages.Requests().front().icon, MessageIcon::Exclamation);
    EXPECT_EQ(Rows(*dlg), QStringList{"1|a.bmp|0"});
}

TEST_F(MainDlgLogoList, ResetAsksFirstThenEmptiesListPreviewAndSummary)
{
    const auto dlg = OpenWindow();
    OpenFiles(*dlg, {WriteLogo("a.bmp", 100, 100, win::MakeColorRef(255, 0, 0)), WriteLogo("b.bmp", 8, 8)});
    ClickRow(*dlg, 0);
    const QPoint inside = FindControl(dlg.get(), IDC_PREVIEW)->geometry().topLeft() + QPoint(20, 20);
    EXPECT_EQ(PixelAt(*dlg, inside), Qrgb(255, 0, 0));
    // No, the default, keeps the list as it is.
    m_messages.QueueAnswer(win::kIdNo);
    Click(*dlg, IDC_RESET);
    ASSERT_EQ(m_messages.Requests().size(), 1u);
    EXPECT_TRUE(m_messages.Texts()[0].startsWith("Remove all 2 logos from the list?")) << m_messages.Texts()[0].toStdString();
    EXPECT_TRUE(m_messages.Requests()[0].defaultNo);
    EXPECT_EQ(Rows(*dlg).size(), 2);
    EXPECT_EQ(PixelAt(*dlg, inside), Qrgb(255, 0, 0));

    m_messages.QueueAnswer(win::kIdYes);
    Click(*dlg, IDC_RESET);
    EXPECT_TRUE(Rows(*dlg).isEmpty());
    EXPECT_EQ(dlg->LogoList().CurrentEntryNumber(), -1);
    EXPECT_NE(PixelAt(*dlg, inside), Qrgb(255, 0, 0));
    EXPECT_EQ(Text(*dlg, IDC_SUMMARY), "Logo Files : 0 / 50 \nLogo Size Total : 0 / 384 KByte");
}
