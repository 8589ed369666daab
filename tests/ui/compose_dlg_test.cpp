#include "compose/compose_dlg.h"
#include "compose/compose_dlg_ids.h"
#include "main_dlg_test_fixture.h"
#include "support/data_home.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

// The compose dialog from the main window's menu: the result follows every
// setting, is exactly what the core composes for the layout on show, refuses
// content too long for a QR code with the length that fits, and OK puts the
// logo into the per-user logos folder and the list.

TEST_F(CMainDlgTest, ComposeDialogShowsTheComposedDotsAndAddsTheLogo)
{
    CDataHome home(m_dir.Path("data"));
    WriteModelFile(DefaultModelFile());  // two-colour, 576 dots
    const auto dlg = OpenWindow();
    QAction* compose = nullptr;
    for (QAction* action : dlg->actions())
        if (action->text() == "&Compose Logo...")
            compose = action;
    ASSERT_TRUE(compose);

    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<CComposeDlg*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        seen = true;
        auto* ok = FindControl<QPushButton>(dialog, win::kIdOk);
        FindControl<QWidget>(dialog, IDC_COMPOSE_TEXT)->findChild<QPlainTextEdit*>()->setPlainText("Corner Café\nHarbour St");
        FindControl<QComboBox>(dialog, IDC_COMPOSE_TEXT_INK)->setCurrentIndex(1);
        const QImage textOnly = dialog->Result()->logo.Preview();
        auto* qr = FindControl<QLineEdit>(dialog, IDC_COMPOSE_QR);
        qr->setText(QString(3000, 'x'));
        EXPECT_FALSE(dialog->Result());
        EXPECT_FALSE(ok->isEnabled());
        EXPECT_TRUE(FindControl<QLabel>(dialog, IDC_COMPOSE_INFO)->text().contains("at most"));
        qr->setText("https://example.com/menu");
        ASSERT_TRUE(dialog->Result());
        EXPECT_NE(dialog->Result()->logo.Preview(), textOnly);

        ImportSettings settings;
        settings.modelType = PrinterKind::TwoColor;
        settings.receiptWidth = 576;
        QString error;
        const std::optional<ComposedLogo> expected = ComposeLogo(dialog->Layout(), QImage(), settings, &error);
        ASSERT_TRUE(expected) << error.toStdString();
        EXPECT_EQ(dialog->Result()->logo.dots, expected->logo.dots);
        EXPECT_EQ(dialog->Layout().lines.size(), 2u);
        EXPECT_EQ(dialog->Layout().lines[0].ink, ComposeInk::Second);
        ok->click();
    });
    compose->trigger();
    ASSERT_TRUE(seen);
    const QStringList files = QDir(m_dir.Path("data/markograph/logos")).entryList(QDir::Files);
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(files.front().startsWith("compose-k2-576-")) << files.front().toStdString();
    ASSERT_EQ(dlg->LogoList().Entries().size(), 1u);
    EXPECT_EQ(dlg->LogoList().At(0).colorMode, ColorChoice::Red);
    EXPECT_TRUE(m_messages.Texts().isEmpty()) << m_messages.Texts().join('|').toStdString();
}
