#include "main_dlg_test_fixture.h"

#include <QPushButton>

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
    EXPECT_EQ(reopened->LogoList().At(0).colorMode, ColorChoice::Red);

    // Emptied (the question answered Yes) and closed with Escape: nothing
    // comes back.
    m_messages.QueueAnswer(win::kIdYes);
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
    // The start-up message names the file that is gone.
    EXPECT_EQ(m_messages.Texts(), (QStringList{"Failed to load image file!\n" + gone + ": No such file or directory",
                                               "Don't Read files any more!"}));
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

TEST_F(MainDlgPersistence, ASecondWindowOnTheSameStoreAsksAndQuitsOrStaysReadOnly)
{
    const auto first = OpenWindow();
    OpenFiles(*first, {WriteLogo("mine.bmp", 8, 8)});
    ASSERT_TRUE(m_messages.Texts().isEmpty());

    // The program's own path: a window whose operator quits never opens.
    m_messages.QueueAnswer(win::kIdNo);
    CMainDlg quitting(MainDlgPaths{ModelFile(), m_dir.Path("store")});
    EXPECT_EQ(quitting.exec(), QDialog::Rejected);
    EXPECT_FALSE(quitting.isVisible());
    ASSERT_EQ(m_messages.Requests().size(), 1u);
    EXPECT_TRUE(m_messages.Texts()[0].startsWith("Markograph is already running with this logo list and these "
                                                 "settings (process "))
        << m_messages.Texts()[0].toStdString();
    EXPECT_EQ(m_messages.Requests()[0].buttons, MessageButtons::YesNo);
    EXPECT_TRUE(quitting.StartRefused());

    m_messages.Clear();
    m_messages.QueueAnswer(win::kIdYes);
    auto readOnly = OpenWindow();
    EXPECT_FALSE(readOnly->StartRefused());
    EXPECT_TRUE(readOnly->IsReadOnly());
    EXPECT_TRUE(readOnly->windowTitle().endsWith(" (read-only)")) << readOnly->windowTitle().toStdString();
    EXPECT_FALSE(FindControl<QPushButton>(readOnly.get(), IDC_PORT_SETTING)->isEnabled());
    m_messages.QueueAnswer(win::kIdYes);
    Click(*readOnly, IDC_RESET);
    Click(*readOnly, IDC_EXIT);  // would save an empty list over the first window's
    Click(*first, IDC_EXIT);

    m_messages.Clear();
    const auto next = OpenWindow();  // both closed: no question, the first window's list
    EXPECT_TRUE(m_messages.Texts().isEmpty()) << m_messages.Texts().join(" / ").toStdString();
    EXPECT_FALSE(next->IsReadOnly());
    EXPECT_EQ(Rows(*next), QStringList{"1|mine.bmp|0"});
}

TEST_F(MainDlgPersistence, AWindowThatNeverOpenedLeavesTheSavedListAlone)
{
    {
        const auto dlg = OpenWindow();
        OpenFiles(*dlg, {WriteLogo("kept.bmp", 8, 8)});
        Click(*dlg, IDC_EXIT);
    }
    {
        // Built but never opened: it restored nothing, so it must save nothing.
        const CMainDlg unopened(MainDlgPaths{ModelFile(), m_dir.Path("store")});
    }
    EXPECT_EQ(Rows(*OpenWindow()), QStringList{"1|kept.bmp|0"});
    EXPECT_TRUE(m_messages.Texts().isEmpty()) << m_messages.Texts().join(" / ").toStdString();
}

TEST_F(MainDlgPersistence, AFileNameWithACommaIsRefusedWhenAddedAndSaysWhy)
{
    const QString comma = WriteLogo("shop,front.bmp", 8, 8);
    {
        const auto dlg = OpenWindow();
        OpenFiles(*dlg, {comma, WriteLogo("plain.bmp", 8, 8)});
        ASSERT_EQ(m_messages.Requests().size(), 1u);
        EXPECT_EQ(m_messages.Texts()[0].section('\n', 0, 0), "Cannot add " + comma);
        EXPECT_TRUE(m_messages.Texts()[0].contains("comma")) << m_messages.Texts()[0].toStdString();
        EXPECT_EQ(m_messages.Requests()[0].icon, MessageIcon::Exclamation);
        EXPECT_EQ(Rows(*dlg), QStringList{"1|plain.bmp|0"});
        Click(*dlg, IDC_EXIT);
    }
    m_messages.Clear();
    EXPECT_EQ(Rows(*OpenWindow()), QStringList{"1|plain.bmp|0"});
    EXPECT_TRUE(m_messages.Texts().isEmpty());
}
