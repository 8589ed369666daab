#pragma once

#include "app/main_dlg.h"
#include "dialog_test_helpers.h"
#include "file_dialog_script.h"
#include "framework/widgets/control_ids.h"
#include "res/resource_ids.h"
#include "support/bmp_writer.h"
#include "support/message_recorder.h"
#include "support/temp_dir.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>

// A main window on a model file in a temporary folder, with the logo store
// below the same folder; messages and file dialogs are answered by script.
class CMainDlgTest : public ::testing::Test {
protected:
    // A two-colour thermal model on a serial port.
    static QString DefaultModelFile()
    {
        return QStringLiteral(
            "[COMMON]\nDESCRIPTION=Logo Tool Test\nModelName=TX-200\nModelType=2\n"
            "RECEIPTWIDTH=576\nMEMORYSIZE=384\nDOWNMAX=50\n"
            "[PRINTERLIST]\nPRINTER01=TX-100,015,001,512,050,256\nPRINTER02=TX-200,015,002,576,050,384\n"
            "[COMMUNICATION]\nINTERFACE=0\nPORTNAME=COM2\nBAUDRATE=38400\nPARITY=EVEN\nDATABITS=7\nSTOPBITS=2\n");
    }

    QString ModelFile() const { return m_dir.Path("NV.inf"); }

    void WriteModelFile(const QString& text) const
    {
        QFile file(ModelFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << "cannot write the model file";
        file.write(text.toLatin1());
    }

    // The default model file with one key's value replaced.
    void WriteModelFileWith(const QString& key, const QString& value) const
    {
        QString text = DefaultModelFile();
        const qsizetype at = text.indexOf("\n" + key + "=");
        ASSERT_GE(at, 0) << key.toStdString();
        const qsizetype valueAt = at + key.size() + 2;
        WriteModelFile(text.replace(valueAt, text.indexOf('\n', valueAt) - valueAt, value));
    }

    std::unique_ptr<CMainDlg> OpenWindow(const QString& storeRoot = {}) const
    {
        auto dlg = std::make_unique<CMainDlg>(
            MainDlgPaths{ModelFile(), storeRoot.isEmpty() ? m_dir.Path("store") : storeRoot});
        dlg->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dlg.get()));
        return dlg;
    }

    // A 24-bit BMP filled with one colour.
    QString WriteLogo(const QString& name, int width, int height, win::COLORREF colour = win::MakeColorRef(0, 0, 0)) const
    {
        const QString path = m_dir.Path(name);
        EXPECT_TRUE(WriteBmp24(path, width, height, std::vector<win::COLORREF>(size_t(width) * size_t(height), colour)));
        return path;
    }

    void OpenFiles(const CMainDlg& dlg, const QStringList& paths)
    {
        m_files.QueueAnswer(paths);
        Click(dlg, IDC_OPEN_FILE);
    }

    static void Click(const CMainDlg& dlg, int id)
    {
        auto* button = FindControl<QAbstractButton>(&dlg, id);
        ASSERT_NE(button, nullptr) << id;
        QTest::mouseClick(button, Qt::LeftButton);
    }

    // The caption of a label, edit or button.
    static QString Text(const CMainDlg& dlg, int id)
    {
        if (auto* label = FindControl<QLabel>(&dlg, id))
            return label->text();
        if (auto* edit = FindControl<QLineEdit>(&dlg, id))
            return edit->text();
        if (auto* button = FindControl<QAbstractButton>(&dlg, id))
            return QString(button->text()).remove(QLatin1Char('&'));  // the caption, without its mnemonic mark
        ADD_FAILURE() << "no text control " << id;
        return {};
    }

    static bool Enabled(const CMainDlg& dlg, int id) { return FindControl(&dlg, id)->isEnabled(); }
    static bool Checked(const CMainDlg& dlg, int id) { return FindControl<QAbstractButton>(&dlg, id)->isChecked(); }
    static QTreeWidget* LogoView(const CMainDlg& dlg) { return FindControl<QTreeWidget>(&dlg, IDC_LOGO_LIST); }
    static QSlider* Slider(const CMainDlg& dlg, int id) { return FindControl<QSlider>(&dlg, id); }

    // "No.|Name|Size" per row of the list view.
    static QStringList Rows(const CMainDlg& dlg)
    {
        QStringList rows;
        for (int i = 0; i < LogoView(dlg)->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = LogoView(dlg)->topLevelItem(i);
            rows << item->text(0) + "|" + item->text(1) + "|" + item->text(2);
        }
        return rows;
    }

    // Clicks the row, with Ctrl to add it to the selection.
    static void ClickRow(const CMainDlg& dlg, int row, Qt::KeyboardModifiers modifiers = {})
    {
        QTreeWidget* view = LogoView(dlg);
        ASSERT_LT(row, view->topLevelItemCount());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers,
                          view->visualItemRect(view->topLevelItem(row)).center());
    }

    static QRect SliderHandle(QSlider* slider) { return SliderHandleRect(slider); }

    // A drag that ends at the position: the slider is put there and the mouse
    // lets go of its handle.
    static void DragSliderTo(const CMainDlg& dlg, int id, int position)
    {
        QSlider* slider = Slider(dlg, id);
        slider->setValue(position);
        QTest::mouseClick(slider, Qt::LeftButton, {}, SliderHandle(slider).center());
        QApplication::processEvents();
    }

    // The colour the window shows at a point, or at the centre of a control.
    static QRgb PixelAt(CMainDlg& dlg, QPoint point) { return dlg.grab().toImage().pixel(point) & 0xFFFFFFu; }
    static QRgb CentreColour(CMainDlg& dlg, int id)
    {
        return PixelAt(dlg, FindControl(&dlg, id)->geometry().center());
    }
    static QRgb Qrgb(int r, int g, int b) { return qRgb(r, g, b) & 0xFFFFFFu; }

    CTestDir m_dir;
    CMessageRecorder m_messages;
    CFileDialogScript m_files;
};
