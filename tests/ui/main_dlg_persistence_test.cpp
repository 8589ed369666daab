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
    EXPECT_TRUE(m_messages.Texts().isEmpty()) << m_messages.Texts().join(" / ").toStdString();

    const auto reopened = OpenWindow();
    EXPECT_EQ(Rows(*reopened), (QStringList{"1|one.bmp|0", "2|two.bmp|0", "3|three.bmp|0"}));
    const LogoEntry& two = reopened->LogoList().At(1);
    EXPECT_EQ(two.path, files[1]);
    EXPECT_EQ(two.threshold, 240);
    EXPECT_EQ(two.rValue, 100);
    EXPECT_EQ(two.lValue, 85);
    EXPECT_EQ(two.colorMode, 2);
    ClickRow(*reopened, 1);
    EXPECT_TRUE(Checked(*reopened, IDC_COLOR_BLUE));
    EXPECT_EQ(Text(*reopened, IDC_THRESHOLD_VALUE), "240");
    EXPECT_EQ(Text(*reopened, IDC_L_VALUE), "85");
    EXPECT_EQ(reopened->LogoList().At(0).colorMode, 0);
}

TEST_F(MainDlgPersistence, ClosingWithAnEmptyListLeavesNothingToRestore)
{
    {
        const auto dlg = OpenWindow();
        OpenFiles(*dlg, {WriteLogo("a.bmp", 8, 8)});
        QTest::keyClick(dlg.get(), Qt::Key_Escape);
    }
    {
        const auto dlg = OpenWindow();
        EXPECT_EQ(Rows(*dlg), QStringList{"1|a.bmp|0"});
        Click(*dlg, IDC_RESET);
        Click(*dlg, IDC_EXIT);
    }
    const auto dlg = OpenWindow();
    EXPECT_TRUE(Rows(*dlg).isEmpty());
    EXPECT_TRUE(m_messages.Texts().isEmpty()) << m_messages.Texts().join(" / ").toStdString();
}

TEST_F(MainDlgPersistence, MissingFilesAndSmallerLimitsDropLogosOnRestore)
{
    const QString gone = WriteLogo("gone.bmp", 8, 8);
    {
        const auto dlg = OpenWindow();
        OpenFiles(*dlg, {WriteLogo("a.bmp", 8, 8), gone, WriteLogo("b.bmp", 8, 8), WriteLogo("c.bmp", 8, 8)});
        Click(*dlg, IDC_EXIT);
    }
    ASSERT_TRUE(QFile::remove(gone));
    WriteModelFileWith("DOWNMAX", "2");
    const auto dlg = OpenWindow();
    EXPECT_EQ(m_messages.Texts(), (QStringList{"Failed to load image file!", "Don't Read files any more!"}));
    EXPECT_EQ(Rows(*dlg), (QStringList{"1|a.bmp|0", "2|b.bmp|0"}));
    EXPECT_EQ(Text(*dlg, IDC_SUMMARY), "Logo Files : 2 / 2 \nLogo Size Total : 0 / 384 KByte");
}

TEST_F(MainDlgPersistence, AFailedSaveIsReportedOnceAndTheWindowStillCloses)
{
    // A store root that is a file: no key can be created below it.
    const QString blocked = m_dir.Path("blocked");
    QFile file(blocked);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    auto dlg = std::make_unique<CMainDlg>(MainDlgPaths{ModelFile(), blocked});
    dlg->show();
    OpenFiles(*dlg, {WriteLogo("a.bmp", 8, 8)});
    m_messages.Clear();
    Click(*dlg, IDC_EXIT);
    EXPECT_FALSE(dlg->isVisible());
    ASSERT_EQ(m_messages.Requests().size(), 1u);
    EXPECT_TRUE(m_messages.Requests().front().text.startsWith("The logo list could not be saved: "))
        << m_messages.Requests().front().text.toStdString();
    EXPECT_GT(m_messages.Requests().front().text.size(), QString("The logo list could not be saved: ").size());
    EXPECT_EQ(m_messages.Requests().front().icon, MessageIcon::Exclamation);
    dlg.reset();  // destroying the closed window does not try again
    EXPECT_EQ(m_messages.Requests().size(), 1u);
}
