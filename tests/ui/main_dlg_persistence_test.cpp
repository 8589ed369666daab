#include "main_dlg_test_fixture.h"

class MainDlgPersistence : public CMainDlgTest {
protected:
    void SetUp() override { WriteModelFile(DefaultModelFile()); }
};

TEST_F(MainDlgPersistence, ListAndSettingsComeBackAfterClosingAndReopening)
{
    const QStringList files = {WriteLogo("one.bmp", 8, 8), WriteLogo("two.bmp", 16, 8), WriteLogo("three.bmp", 8, 8)};
    {
        const auto dlg = OpenWindow();
        OpenFiles(*dlg, files);
        ClickRow(*dlg, 1);
        Click(*dlg, IDC_COLOR_BLUE);
        DragSliderTo(*dlg, IDC_L_SLIDER, 85);
        Click(*dlg, IDC_EXIT);
    }
    const auto reopened = OpenWindow();
    EXPECT_TRUE(m_messages.Texts().isEmpty()) << m_messages.Texts().join(" / ").toStdString();
    EXPECT_EQ(Rows(*reopened), (QStringList{"1|one.bmp|0", "2|two.bmp|0", "3|three.bmp|0"}));
    ClickRow(*reopened, 1);
    EXPECT_TRUE(Checked(*reopened, IDC_COLOR_BLUE));
    EXPECT_EQ(Text(*reopened, IDC_THRESHOLD_VALUE), "240");
    EXPECT_EQ(Text(*reopened, IDC_L_VALUE), "85");
    EXPECT_EQ(reopened->LogoList().At(0).colorMode, 0);

    // Emptied and closed with Escape: nothing comes back.
    Click(*reopened, IDC_RESET);
    QTest::keyClick(reopened.get(), Qt::Key_Escape);
    EXPECT_TRUE(Rows(*OpenWindow()).isEmpty());
}

TEST_F(MainDlgPersistence, MissingFilesAndSmallerLimitsDropLogosOnRestore)
{
    const QString gone = WriteLogo("gone.bmp", 8, 8);
    OpenFiles(*OpenWindow(), {WriteLogo("a.bmp", 8, 8), gone, WriteLogo("b.bmp", 8, 8), WriteLogo("c.bmp", 8, 8)});
    ASSERT_TRUE(QFile::remove(gone));
    WriteModelFileWith("DOWNMAX", "2");
    const auto dlg = OpenWindow();
    EXPECT_EQ(m_messages.Texts(), (QStringList{"Failed to load image file!", "Don't Read files any more!"}));
    EXPECT_EQ(Rows(*dlg), (QStringList{"1|a.bmp|0", "2|b.bmp|0"}));
}

TEST_F(MainDlgPersistence, AFailedSaveIsReportedOnceAndTheWindowStillCloses)
{
    // A store root that is a file: no key can be made below it.
    QFile blocked(m_dir.Path("blocked"));
    ASSERT_TRUE(blocked.open(QIODevice::WriteOnly));
    blocked.close();
    auto dlg = OpenWindow(blocked.fileName());
    OpenFiles(*dlg, {WriteLogo("a.bmp", 8, 8)});
    Click(*dlg, IDC_EXIT);
    EXPECT_FALSE(dlg->isVisible());
    dlg.reset();  // destroying the closed window does not try again
    ASSERT_EQ(m_messages.Requests().size(), 1u);
    const QString prefix = "The logo list could not be saved: ";
    EXPECT_TRUE(m_messages.Texts().front().startsWith(prefix)) << m_messages.Texts().front().toStdString();
    EXPECT_GT(m_messages.Texts().front().size(), prefix.size());
    EXPECT_EQ(m_messages.Requests().front().icon, MessageIcon::Exclamation);
}
