#include "main_dlg_test_fixture.h"

class MainDlgLogoList : public CMainDlgTest {};

TEST_F(MainDlgLogoList, OpenFileAddsRowsWithNumberNameAndKByte)
{
    WriteModelFile(DefaultModelFile());
    const auto dlg = OpenWindow();
    // 600 dots wide counts 576 (72 bytes a line); 100 x 50 is 650 bytes.
    OpenFiles(*dlg, {WriteLogo("wide.bmp", 600, 100), WriteLogo("small.bmp", 100, 50)});
    EXPECT_TRUE(m_messages.Texts().isEmpty()) << m_messages.Texts().join(" / ").toStdString();
    EXPECT_EQ(Rows(*dlg), (QStringList{"1|wide.bmp|7", "2|small.bmp|0"}));
    EXPECT_EQ(Text(*dlg, IDC_SUMMARY), "Logo Files : 2 / 50 \nLogo Size Total : 7 / 384 KByte");

    ASSERT_EQ(m_files.Requests().size(), 1u);
    const FileDialogRequest& request = m_files.Requests().front();
    EXPECT_EQ(request.mode, FileDialogRequest::OpenMany);
    EXPECT_EQ(request.filter, "Image Files(*.bmp)|*.bmp||");
    EXPECT_EQ(request.parent, dlg.get());
}

TEST_F(MainDlgLogoList, NewLogosTakeTheWindowsCurrentSettings)
{
    WriteModelFile(DefaultModelFile());
    const auto dlg = OpenWindow();
    Click(*dlg, IDC_COLOR_BLUE);
    DragSliderTo(*dlg, IDC_L_SLIDER, 77);
    OpenFiles(*dlg, {WriteLogo("a.bmp", 8, 8)});
    ASSERT_EQ(dlg->LogoList().Count(), 1);
    const LogoEntry& entry = dlg->LogoList().At(0);
    EXPECT_EQ(entry.threshold, 240);
    EXPECT_EQ(entry.rValue, 100);
    EXPECT_EQ(entry.lValue, 77);
    EXPECT_EQ(entry.colorMode, 2);
}

TEST_F(MainDlgLogoList, CountLimitAddsTheFirstAndRefusesTheRest)
{
    WriteModelFileWith("DOWNMAX", "3");
    const auto dlg = OpenWindow();
    OpenFiles(*dlg, {WriteLogo("1.bmp", 8, 8), WriteLogo("2.bmp", 8, 8)});
    OpenFiles(*dlg, {WriteLogo("3.bmp", 8, 8), WriteLogo("4.bmp", 8, 8), WriteLogo("5.bmp", 8, 8)});
    EXPECT_EQ(m_messages.Texts(), (QStringList{"Don't Read files any more!", "Don't Read files any more!"}));
    EXPECT_EQ(Rows(*dlg), (QStringList{"1|1.bmp|0", "2|2.bmp|0", "3|3.bmp|0"}));
    EXPECT_EQ(Text(*dlg, IDC_SUMMARY), "Logo Files : 3 / 3 \nLogo Size Total : 0 / 384 KByte");
}

TEST_F(MainDlgLogoList, MemoryLimitAcceptsExactlyTheSizeAndRefusesOneByteMore)
{
    WriteModelFileWith("MEMORYSIZE", "1");
    const auto dlg = OpenWindow();
    // 8 bytes a line: 120 + 8 lines are exactly 1,024 bytes; one more byte is too much.
    OpenFiles(*dlg, {WriteLogo("a.bmp", 64, 120), WriteLogo("b.bmp", 64, 8), WriteLogo("c.bmp", 1, 1)});
    EXPECT_EQ(m_messages.Texts(), QStringList{"NV-bitimage area too small"});
    EXPECT_EQ(Rows(*dlg), (QStringList{"1|a.bmp|0", "2|b.bmp|0"}));
    EXPECT_EQ(Text(*dlg, IDC_SUMMARY), "Logo Files : 2 / 50 \nLogo Size Total : 1 / 1 KByte");
}

TEST_F(MainDlgLogoList, FileThatDoesNotLoadIsSkippedAndTheNextStillAdded)
{
    WriteModelFile(DefaultModelFile());
    const auto dlg = OpenWindow();
    const QString notBmp = m_dir.Path("notes.bmp");
    QFile file(notBmp);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a bitmap");
    file.close();
    OpenFiles(*dlg, {notBmp, WriteLogo("ok.bmp", 8, 8)});
    EXPECT_EQ(m_messages.Texts(), QStringList{"Failed to load image file!"});
    EXPECT_EQ(Rows(*dlg), QStringList{"1|ok.bmp|0"});
}

TEST_F(MainDlgLogoList, CancelledFileDialogStillRefreshesViewAndSummary)
{
    WriteModelFile(DefaultModelFile());
    const auto dlg = OpenWindow();
    OpenFiles(*dlg, {WriteLogo("a.bmp", 8, 8)});
    // Spoil what the window shows; a cancelled dialog puts it right again.
    LogoView(*dlg)->clear();
    FindControl<QLabel>(dlg.get(), IDC_SUMMARY)->setText("stale");
    OpenFiles(*dlg, {});
    EXPECT_EQ(m_files.Requests().size(), 2u);
    EXPECT_EQ(Rows(*dlg), QStringList{"1|a.bmp|0"});
    EXPECT_EQ(Text(*dlg, IDC_SUMMARY), "Logo Files : 1 / 50 \nLogo Size Total : 0 / 384 KByte");
    EXPECT_TRUE(m_messages.Texts().isEmpty());
}

TEST_F(MainDlgLogoList, RemovingRowsTwoAndFourOfFiveRenumbersTheRest)
{
    WriteModelFile(DefaultModelFile());
    const auto dlg = OpenWindow();
    QStringList files;
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp", "d.bmp", "e.bmp"})
        files << WriteLogo(name, 8, 8);
    OpenFiles(*dlg, files);
    ClickRow(*dlg, 1);
    ClickRow(*dlg, 3, Qt::ControlModifier);
    m_messages.QueueAnswer(IDYES);
    Click(*dlg, IDC_REMOVE);

    ASSERT_EQ(m_messages.Requests().size(), 1u);
    const MessageRequest& question = m_messages.Requests().front();
    EXPECT_EQ(question.text, "Do you want to remove all of selection?");
    EXPECT_EQ(question.title, "BMP Logo!");
    EXPECT_EQ(question.icon, MessageIcon::Question);
    EXPECT_EQ(question.buttons, MessageButtons::YesNo);
    EXPECT_EQ(Rows(*dlg), (QStringList{"1|a.bmp|0", "2|c.bmp|0", "3|e.bmp|0"}));
    EXPECT_EQ(Text(*dlg, IDC_SUMMARY), "Logo Files : 3 / 50 \nLogo Size Total : 0 / 384 KByte");
    // Two rows removed: the preview keeps its bitmap.
    EXPECT_EQ(dlg->PreviewPath(), files[3]);
}

TEST_F(MainDlgLogoList, RemovingOneRowClearsThePreview)
{
    WriteModelFile(DefaultModelFile());
    const auto dlg = OpenWindow();
    OpenFiles(*dlg, {WriteLogo("a.bmp", 8, 8), WriteLogo("b.bmp", 8, 8)});
    ClickRow(*dlg, 0);
    EXPECT_FALSE(dlg->PreviewPath().isEmpty());
    m_messages.QueueAnswer(IDYES);
    Click(*dlg, IDC_REMOVE);
    EXPECT_EQ(Rows(*dlg), QStringList{"1|b.bmp|0"});
    EXPECT_TRUE(dlg->PreviewPath().isEmpty());
    EXPECT_EQ(dlg->LogoList().CurrentEntryNumber(), -1);
}

TEST_F(MainDlgLogoList, AnsweringNoKeepsTheList)
{
    WriteModelFile(DefaultModelFile());
    const auto dlg = OpenWindow();
    OpenFiles(*dlg, {WriteLogo("a.bmp", 8, 8), WriteLogo("b.bmp", 8, 8)});
    ClickRow(*dlg, 0);
    m_messages.QueueAnswer(IDNO);
    Click(*dlg, IDC_REMOVE);
    EXPECT_EQ(Rows(*dlg), (QStringList{"1|a.bmp|0", "2|b.bmp|0"}));
    EXPECT_EQ(dlg->LogoList().Count(), 2);
}

TEST_F(MainDlgLogoList, RemoveWithNothingSelectedWarnsAndChangesNothing)
{
    WriteModelFile(DefaultModelFile());
    const auto dlg = OpenWindow();
    OpenFiles(*dlg, {WriteLogo("a.bmp", 8, 8)});
    Click(*dlg, IDC_REMOVE);
    ASSERT_EQ(m_messages.Requests().size(), 1u);
    EXPECT_EQ(m_messages.Requests().front().text, "Without a bmpfile being selected.");
    EXPECT_EQ(m_messages.Requests().front().icon, MessageIcon::Exclamation);
    EXPECT_EQ(m_messages.Requests().front().buttons, MessageButtons::Ok);
    EXPECT_EQ(Rows(*dlg), QStringList{"1|a.bmp|0"});
}

TEST_F(MainDlgLogoList, ResetEmptiesListPreviewAndSummary)
{
    WriteModelFile(DefaultModelFile());
    const auto dlg = OpenWindow();
    OpenFiles(*dlg, {WriteLogo("a.bmp", 100, 100, RGB(255, 0, 0)), WriteLogo("b.bmp", 8, 8)});
    ClickRow(*dlg, 0);
    const QPoint inside = FindControl(dlg.get(), IDC_PREVIEW)->geometry().topLeft() + QPoint(20, 20);
    EXPECT_EQ(PixelAt(*dlg, inside), Qrgb(255, 0, 0));
    Click(*dlg, IDC_RESET);
    EXPECT_TRUE(Rows(*dlg).isEmpty());
    EXPECT_EQ(dlg->LogoList().Count(), 0);
    EXPECT_EQ(dlg->LogoList().CurrentEntryNumber(), -1);
    EXPECT_TRUE(dlg->PreviewPath().isEmpty());
    EXPECT_NE(PixelAt(*dlg, inside), Qrgb(255, 0, 0));
    EXPECT_EQ(Text(*dlg, IDC_SUMMARY), "Logo Files : 0 / 50 \nLogo Size Total : 0 / 384 KByte");
    EXPECT_TRUE(m_messages.Texts().isEmpty());
}
