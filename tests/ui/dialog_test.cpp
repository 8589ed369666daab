#include "dialog_test_helpers.h"
#include "framework/widgets/dialog.h"

#include "framework/message_box.h"  // win::kIdOk
#include "framework/widgets/dialog_template.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <vector>

// The dialog base on the offscreen platform: when OnInitDialog runs, what a
// refusal does, EndDialog's result, controls by id.

namespace {

constexpr int kEditId = 1001;
constexpr int kLabelId = 1002;

DialogTemplate ProbeTemplate()
{
    using K = ControlKind;
    return {QStringLiteral("Probe"), QStringLiteral("Arial"), 8, 120, 60,
            {
                {kLabelId, K::Static, QStringLiteral("Name :"), 7, 7, 40, 8},
                {kEditId, K::Edit, {}, 50, 5, 60, 12},
                {win::kIdOk, K::DefaultPushButton, QStringLiteral("OK"), 60, 40, 50, 14},
            }};
}

// Records every OnInitDialog with what the operator could have seen by then,
// and every way out.
class CProbeDlg : public CDialog {
public:
    struct Init {
        bool visible;  // the window was already shown
        int paints;    // paints of the window before it
    };

    explicit CProbeDlg(bool refuse = false) : CDialog(ProbeTemplate()), m_refuse(refuse)
    {
        ConnectClicked(win::kIdOk, &QDialog::accept);
    }

    void done(int result) override
    {
        m_ends.push_back(result);
        CDialog::done(result);
    }

    const std::vector<Init>& Inits() const { return m_inits; }
    const std::vector<int>& Ends() const { return m_ends; }
    int Paints() const { return m_paints; }
    int SpontaneousShows() const { return m_spontaneousShows; }

protected:
    bool OnInitDialog() override
    {
        m_inits.push_back({isVisible(), m_paints});
        Control<QLineEdit>(kEditId)->setText(QStringLiteral("start"));
        return !m_refuse;
    }

    void paintEvent(QPaintEvent* event) override
    {
        ++m_paints;
        CDialog::paintEvent(event);
    }

    void showEvent(QShowEvent* event) override
    {
        m_spontaneousShows += event->spontaneous() ? 1 : 0;
        CDialog::showEvent(event);
    }

private:
    bool m_refuse;
    std::vector<Init> m_inits;
    std::vector<int> m_ends;
    int m_paints = 0;
    int m_spontaneousShows = 0;
};

TEST(Dialog, BuildsItsTemplateAndStartsNothingBeforeItOpens)
{
    CProbeDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), "Probe");
    EXPECT_EQ(dialog.Control<QLabel>(kLabelId)->text(), "Name :");
    EXPECT_TRUE(dialog.Control<QLineEdit>(kEditId)->text().isEmpty());
    EXPECT_TRUE(dialog.Inits().empty());
}

TEST(Dialog, EveryShowOfAHiddenDialogInitialisesItOnceBeforeTheFirstPaint)
{
    CProbeDlg dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    dialog.repaint();
    ASSERT_EQ(dialog.Inits().size(), 1u);
    EXPECT_EQ(dialog.Inits()[0].paints, 0);
    EXPECT_GT(dialog.Paints(), 0);  // so the count above could have caught a late start

    // The operator's text stays while the dialog is open, whatever is shown again.
    dialog.Control<QLineEdit>(kEditId)->setText(QStringLiteral("typed"));
    dialog.show();
    EXPECT_EQ(dialog.Inits().size(), 1u);
    EXPECT_EQ(dialog.Control<QLineEdit>(kEditId)->text(), "typed");

    // Restored from minimised: the window system shows it, nothing starts.
    dialog.showMinimized();
    QApplication::processEvents();
    dialog.showNormal();
    QApplication::processEvents();
    ASSERT_EQ(dialog.SpontaneousShows(), 1);  // the restore did reach the dialog
    EXPECT_EQ(dialog.Inits().size(), 1u);
    EXPECT_EQ(dialog.Control<QLineEdit>(kEditId)->text(), "typed");

    // Hidden and shown again: a new opening starts afresh.
    dialog.hide();
    dialog.show();
    EXPECT_EQ(dialog.Inits().size(), 2u);
    EXPECT_EQ(dialog.Control<QLineEdit>(kEditId)->text(), "start");
}

TEST(Dialog, ExecInitialisesOncePerRunBeforeTheWindowAppears)
{
    CProbeDlg dialog;
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        const int result = RunModal(dialog, [&] {
            // Started once for this run, and the operator sees its work.
            EXPECT_EQ(dialog.Inits().size(), static_cast<size_t>(run));
            EXPECT_EQ(dialog.Control<QLineEdit>(kEditId)->text(), "start");
            dialog.Control<QLineEdit>(kEditId)->setText(QStringLiteral("typed"));
            Click(dialog, win::kIdOk);
        });
        EXPECT_EQ(result, QDialog::Accepted);
        ASSERT_EQ(dialog.Inits().size(), static_cast<size_t>(run));
        EXPECT_FALSE(dialog.Inits().back().visible);
    }
}

TEST(Dialog, ARefusingDialogNeverAppearsUnderExecAndEndsRejected)
{
    CProbeDlg dialog(/*refuse=*/true);
    QSignalSpy finished(&dialog, &QDialog::finished);
    bool appeared = false;
    QTimer::singleShot(0, &dialog, [&] {
        appeared = dialog.isVisible();
        if (appeared)
            dialog.done(-1);
    });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_FALSE(appeared);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.Ends(), std::vector<int>{QDialog::Rejected});
    ASSERT_EQ(finished.size(), 1);
    EXPECT_EQ(finished.front().front().toInt(), QDialog::Rejected);
    QApplication::processEvents();  // no late second ending
    EXPECT_EQ(dialog.Ends().size(), 1u);
}

TEST(Dialog, ARefusingDialogShownWithoutExecClosesAsSoonAsEventsRun)
{
    CProbeDlg dialog(/*refuse=*/true);
    dialog.setResult(QDialog::Accepted);
    dialog.show();
    EXPECT_EQ(dialog.Inits().size(), 1u);
    QApplication::processEvents();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(dialog.Ends(), std::vector<int>{QDialog::Rejected});
}

TEST(Dialog, EndDialogEndsTheModalRunWithItsResultThroughDone)
{
    for (const int wanted : {static_cast<int>(QDialog::Rejected), static_cast<int>(QDialog::Accepted), 7}) {
        SCOPED_TRACE(wanted);
        CProbeDlg dialog;
        EXPECT_EQ(RunModal(dialog, [&] { dialog.EndDialog(wanted); }), wanted);
        EXPECT_EQ(dialog.result(), wanted);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.Ends(), std::vector<int>{wanted});  // an override of done() sees it
    }
}

TEST(Dialog, ControlFindsATemplateControlOnlyByItsIdAndKind)
{
    CProbeDlg dialog;
    EXPECT_EQ(dialog.Control(kEditId), dialog.Control<QLineEdit>(kEditId));
    EXPECT_NE(dialog.Control<QLineEdit>(kEditId), nullptr);
    EXPECT_NE(dialog.Control<QPushButton>(win::kIdOk), nullptr);

    // Both misses are logged with the id and the kind asked for.
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type == QtWarningMsg)
                warnings.append(text);
        });
    const QWidget* wrongKind = dialog.Control<QPushButton>(kEditId);
    const QWidget* unknownId = dialog.Control<QLineEdit>(4242);
    const QWidget* noIdAtAll = dialog.Control(-1);  // controls without an id are not addressable
    qInstallMessageHandler(previous);
    EXPECT_EQ(wrongKind, nullptr);
    EXPECT_EQ(unknownId, nullptr);
    EXPECT_EQ(noIdAtAll, nullptr);
    ASSERT_EQ(warnings.size(), 3) << Listed(warnings);
    EXPECT_TRUE(warnings[0].contains("1001") && warnings[0].contains("QPushButton")) << Listed(warnings);
    EXPECT_TRUE(warnings[1].contains("4242") && warnings[1].contains("QLineEdit")) << Listed(warnings);
}

}  // namespace
