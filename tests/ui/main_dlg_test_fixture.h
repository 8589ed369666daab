#pragma once

#include "app/main_dlg.h"
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
    // A two-colour thermal model on a serial port; tests replace lines.
    static QString DefaultModelFile()
    {
        return QStringLiteral(
            "[COMMON]\n"
            "DESCRIPTION=Logo Tool Test\n"
            "ModelName=TX-200\n"
            "ModelType=2\n"
            "RECEIPTWIDTH=576\n"
            "MEMORYSIZE=384\n"
            "DOWNMAX=50\n"
            "[PRINTERLIST]\n"
            "PRINTER01=TX-100,015,001,512,050,256\n"
            "PRINTER02=TX-200,015,002,576,050,384\n"
            "[COMMUNICATION]\n"
            "INTERFACE=0\n"
            "PORTNAME=COM2\n"
            "BAUDRATE=38400\n"
            "PARITY=EVEN\n"
            "DATABITS=7\n"
            "STOPBITS=2\n");
    }

    QString ModelFile() const { return m_dir.Path("NV.inf"); }
    QString StoreRoot() const { return m_dir.Path("store"); }

    void WriteModelFile(const QString& text) const
    {
        QFile file(ModelFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << "cannot write the model file";
        file.write(text.toLatin1());
    }

    // The default model file with one key's line replaced (or added).
    void WriteModelFileWith(const QString& key, const QString& value) const
    {
        QStringList lines = DefaultModelFile().split('\n');
        bool replaced = false;
        for (QString& line : lines) {
            if (line.startsWith(key + "=")) {
                line = key + "=" + value;
                replaced = true;
            }
        }
        EXPECT_TRUE(replaced) << key.toStdString();
        WriteModelFile(lines.join('\n'));
    }

    // Opens the window on the model file (write it first) and shows it.
    std::unique_ptr<CMainDlg> OpenWindow() const
    {
        auto dlg = std::make_unique<CMainDlg>(MainDlgPaths{ModelFile(), StoreRoot()});
        dlg->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dlg.get()));
        return dlg;
    }

    // A 24-bit BMP filled with one colour.
    QString WriteLogo(const QString& name, int width, int height, COLORREF colour = RGB(0, 0, 0)) const
    {
        const QString path = m_dir.Path(name);
        EXPECT_TRUE(WriteBmp24(path, width, height,
                               std::vector<COLORREF>(static_cast<size_t>(width) * static_cast<size_t>(height), colour)));
        return path;
    }

    // Adds the files through "Open File".
    void OpenFiles(CMainDlg& dlg, const QStringList& paths)
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

    // The caption of a label, button or edit.
    static QString Text(const CMainDlg& dlg, int id)
    {
        if (auto* label = FindControl<QLabel>(&dlg, id))
            return label->text();
        if (auto* edit = FindControl<QLineEdit>(&dlg, id))
            return edit->text();
        if (auto* button = FindControl<QAbstractButton>(&dlg, id))
            return button->text();
        ADD_FAILURE() << "no text control " << id;
        return {};
    }

    static bool Enabled(const CMainDlg& dlg, int id) { return FindControl(&dlg, id)->isEnabled(); }
    static bool Checked(const CMainDlg& dlg, int id) { return FindControl<QAbstractButton>(&dlg, id)->isChecked(); }

    static QTreeWidget* LogoView(const CMainDlg& dlg) { return FindControl<QTreeWidget>(&dlg, IDC_LOGO_LIST); }

    // Row texts of the list view: "No.|Name|Size" per row.
    static QStringList Rows(const CMainDlg& dlg)
    {
        QStringList rows;
        const QTreeWidget* view = LogoView(dlg);
        for (int i = 0; i < view->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = view->topLevelItem(i);
            rows << item->text(0) + "|" + item->text(1) + "|" + item->text(2);
        }
        return rows;
    }

    // Clicks the row, with Ctrl to add it to the selection.
    static void ClickRow(const CMainDlg& dlg, int row, Qt::KeyboardModifiers modifiers = {})
    {
        QTreeWidget* view = LogoView(dlg);
        ASSERT_LT(row, view->topLevelItemCount());
        const QRect rect = view->visualItemRect(view->topLevelItem(row));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers, rect.center());
    }

    static QSlider* Slider(const CMainDlg& dlg, int id) { return FindControl<QSlider>(&dlg, id); }

    static QRect SliderHandle(QSlider* slider)
    {
        QStyleOptionSlider option;
        option.initFrom(slider);
        option.orientation = slider->orientation();
        option.minimum = slider->minimum();
        option.maximum = slider->maximum();
        option.sliderPosition = slider->sliderPosition();
        option.sliderValue = slider->value();
        option.singleStep = slider->singleStep();
        option.pageStep = slider->pageStep();
        option.upsideDown = slider->invertedAppearance();
        option.tickPosition = slider->tickPosition();
        option.subControls = QStyle::SC_All;
        return slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider);
    }

    // A drag that ends at the position: the slider is put there and the
    // mouse lets go of its handle.
    static void DragSliderTo(const CMainDlg& dlg, int id, int position)
    {
        QSlider* slider = Slider(dlg, id);
        slider->setValue(position);
        QTest::mouseClick(slider, Qt::LeftButton, {}, SliderHandle(slider).center());
        QApplication::processEvents();
    }

    // The colour painted at the centre of a control (swatches, preview).
    static QRgb PixelAt(CMainDlg& dlg, QPoint point)
    {
        const QImage image = dlg.grab().toImage();
        return image.pixel(point) & 0xFFFFFFu;
    }
    static QRgb CentreColour(CMainDlg& dlg, int id)
    {
        return PixelAt(dlg, FindControl(&dlg, id)->geometry().center());
    }
    static QRgb Qrgb(int r, int g, int b) { return qRgb(r, g, b) & 0xFFFFFFu; }

    CTestDir m_dir;
    CMessageRecorder m_messages;
    CFileDialogScript m_files;
};
