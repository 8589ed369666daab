#include "main_dlg_test_fixture.h"

#include "logos/logo_store.h"

class MainDlgColors : public CMainDlgTest {
protected:
    void SetUp() override { WriteModelFile(DefaultModelFile()); }

    static QPoint PreviewPoint(const CMainDlg& dlg, int x, int y)
    {
        return FindControl(&dlg, IDC_PREVIEW)->geometry().topLeft() + QPoint(x, y);
    }
};

TEST_F(MainDlgColors, StartsWithRedAndTheDefaultWeights)
{
    const auto dlg = OpenWindow();
    EXPECT_TRUE(Checked(*dlg, IDC_COLOR_RED));
    EXPECT_EQ(Text(*dlg, IDC_THRESHOLD_VALUE), "0");
    EXPECT_EQ(Text(*dlg, IDC_R_VALUE), "100");
    EXPECT_EQ(Text(*dlg, IDC_L_VALUE), "100");
    EXPECT_EQ(Slider(*dlg, IDC_THRESHOLD_SLIDER)->maximum(), 360);
    EXPECT_EQ(Slider(*dlg, IDC_R_SLIDER)->maximum(), 255);
    EXPECT_EQ(Slider(*dlg, IDC_L_SLIDER)->pageStep(), 1);
    EXPECT_EQ(CentreColour(*dlg, IDC_R_SWATCH), Qrgb(255, 155, 155));
    EXPECT_EQ(CentreColour(*dlg, IDC_L_SWATCH), Qrgb(155, 155, 155));
    EXPECT_EQ(CentreColour(*dlg, IDC_THRESHOLD_SWATCH), Qrgb(255, 0, 0));
    EXPECT_EQ(CentreColour(*dlg, IDC_R_CARTRIDGE_SWATCH), Qrgb(255, 0, 0));
    EXPECT_EQ(CentreColour(*dlg, IDC_L_CARTRIDGE_SWATCH), Qrgb(0, 0, 0));
}

TEST_F(MainDlgColors, ThresholdAt360ShowsZeroAndRed)
{
    const auto dlg = OpenWindow();
    DragSliderTo(*dlg, IDC_THRESHOLD_SLIDER, 120);
    EXPECT_EQ(Text(*dlg, IDC_THRESHOLD_VALUE), "120");
    EXPECT_EQ(CentreColour(*dlg, IDC_THRESHOLD_SWATCH), Qrgb(0, 255, 0));
    DragSliderTo(*dlg, IDC_THRESHOLD_SLIDER, 360);
    EXPECT_EQ(Text(*dlg, IDC_THRESHOLD_VALUE), "0");
    EXPECT_EQ(CentreColour(*dlg, IDC_THRESHOLD_SWATCH), Qrgb(255, 0, 0));
}

TEST_F(MainDlgColors, AMoveAppliesWhenTheMouseLetsGoOrTheKeyComesUp)
{
    const auto dlg = OpenWindow();
    OpenFiles(*dlg, {WriteLogo("a.bmp", 8, 8)});
    ClickRow(*dlg, 0);
    QSlider* threshold = Slider(*dlg, IDC_THRESHOLD_SLIDER);
    threshold->setFocus();
    QTest::keyClick(threshold, Qt::Key_End);
    QApplication::processEvents();
    EXPECT_EQ(threshold->value(), 360);
    EXPECT_EQ(Text(*dlg, IDC_THRESHOLD_VALUE), "0");
    QTest::keyClick(threshold, Qt::Key_PageDown);
    QApplication::processEvents();
    EXPECT_EQ(Text(*dlg, IDC_THRESHOLD_VALUE), "359");
    EXPECT_EQ(dlg->LogoList().At(0).threshold, 359);  // the logo keeps what the keys set

    // An auto-repeat burst applies once its last key comes up.
    QSlider* r = Slider(*dlg, IDC_R_SLIDER);
    r->setFocus();
    for (int i = 0; i < 5; ++i) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier, {}, i > 0);
        QApplication::sendEvent(r, &press);
        if (i < 4) {
            QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier, {}, true);
            QApplication::sendEvent(r, &repeat);
            QApplication::processEvents();
            EXPECT_EQ(dlg->LogoList().At(0).rValue, 100) << "applied within the burst";
        }
    }
    QTest::keyRelease(r, Qt::Key_Right);
    QApplication::processEvents();
    EXPECT_EQ(r->value(), 105);
    EXPECT_EQ(Text(*dlg, IDC_R_VALUE), "105");
    EXPECT_EQ(dlg->LogoList().At(0).rValue, 105);
    EXPECT_EQ(CentreColour(*dlg, IDC_R_SWATCH), Qrgb(255, 150, 150));

    threshold->setValue(0);
    QTest::mouseClick(threshold, Qt::LeftButton, {}, QPoint(threshold->width() - 3, threshold->height() / 2));
    QApplication::processEvents();
    EXPECT_GT(threshold->value(), 0);  // a click on the groove counts
    EXPECT_EQ(Text(*dlg, IDC_THRESHOLD_VALUE), QString::number(threshold->value()));

    QSlider* l = Slider(*dlg, IDC_L_SLIDER);
    const QPoint start = SliderHandle(l).center();
    const QPoint end(l->width() - 2, start.y());
    QTest::mousePress(l, Qt::LeftButton, {}, start);
    QTest::mouseMove(l, end);
    QTest::mouseRelease(l, Qt::LeftButton, {}, end);
    QApplication::processEvents();
    EXPECT_GT(l->value(), 100);  // so does the end of a drag
    EXPECT_EQ(Text(*dlg, IDC_L_VALUE), QString::number(l->value()));
}

TEST_F(MainDlgColors, InvertRelabelsNotUsedAndTintsTheLSwatch)
{
    const auto dlg = OpenWindow();
    Click(*dlg, IDC_INVERT);
    EXPECT_EQ(Text(*dlg, IDC_COLOR_NOT_USED), "Black Only");
    EXPECT_EQ(CentreColour(*dlg, IDC_L_SWATCH), Qrgb(255, 155, 155));  // Red: dark pixels print red
    Click(*dlg, IDC_COLOR_GREEN);
    EXPECT_EQ(CentreColour(*dlg, IDC_L_SWATCH), Qrgb(155, 255, 155));
    Click(*dlg, IDC_INVERT);
    EXPECT_EQ(Text(*dlg, IDC_COLOR_NOT_USED), "Not Used");
    EXPECT_EQ(CentreColour(*dlg, IDC_L_SWATCH), Qrgb(155, 155, 155));
    // Clearing the box runs the Green handler: the sliders go to green's hue.
    EXPECT_EQ(Text(*dlg, IDC_THRESHOLD_VALUE), "120");
    EXPECT_EQ(CentreColour(*dlg, IDC_R_CARTRIDGE_SWATCH), Qrgb(0, 255, 0));
}

TEST_F(MainDlgColors, RadiosSetHueWeightAndCartridgeSwatches)
{
    const auto dlg = OpenWindow();
    DragSliderTo(*dlg, IDC_R_SLIDER, 30);
    struct Case {
        int radio;
        const char* threshold;
        QRgb rCartridge;
        QRgb rSwatch;
    };
    const Case cases[] = {{IDC_COLOR_GREEN, "120", Qrgb(0, 255, 0), Qrgb(155, 255, 155)},
                          {IDC_COLOR_BLUE, "240", Qrgb(0, 0, 255), Qrgb(155, 155, 255)},
                          {IDC_COLOR_RED, "0", Qrgb(255, 0, 0), Qrgb(255, 155, 155)}};
    for (const Case& c : cases) {
        Click(*dlg, c.radio);
        EXPECT_EQ(Text(*dlg, IDC_THRESHOLD_VALUE), c.threshold) << c.radio;
        EXPECT_EQ(Text(*dlg, IDC_R_VALUE), "100") << c.radio;
        EXPECT_EQ(CentreColour(*dlg, IDC_R_CARTRIDGE_SWATCH), c.rCartridge) << c.radio;
        EXPECT_EQ(CentreColour(*dlg, IDC_R_SWATCH), c.rSwatch) << c.radio;
    }
    // Not Used keeps the R swatch and blackens the L cartridge.
    Click(*dlg, IDC_COLOR_NOT_USED);
    EXPECT_EQ(CentreColour(*dlg, IDC_R_SWATCH), Qrgb(255, 155, 155));
    EXPECT_EQ(CentreColour(*dlg, IDC_L_CARTRIDGE_SWATCH), Qrgb(0, 0, 0));
}

TEST_F(MainDlgColors, MovingASliderWithoutACurrentLogoStoresNothing)
{
    const auto dlg = OpenWindow();
    OpenFiles(*dlg, {WriteLogo("a.bmp", 8, 8)});
    ASSERT_EQ(dlg->LogoList().CurrentEntryNumber(), -1);
    DragSliderTo(*dlg, IDC_R_SLIDER, 42);
    Click(*dlg, IDC_COLOR_BLUE);
    const LogoEntry& entry = dlg->LogoList().At(0);
    EXPECT_EQ(entry.rValue, 100);
    EXPECT_EQ(entry.threshold, 0);
    EXPECT_EQ(entry.colorMode, ColorChoice::Red);
}

TEST_F(MainDlgColors, SelectingALogoLoadsItsSettingsAndAReleaseWritesThemBack)
{
    const auto dlg = OpenWindow();
    OpenFiles(*dlg, {WriteLogo("a.bmp", 8, 8)});
    Click(*dlg, IDC_COLOR_GREEN);
    DragSliderTo(*dlg, IDC_L_SLIDER, 60);
    OpenFiles(*dlg, {WriteLogo("b.bmp", 8, 8)});  // green, L 60

    ClickRow(*dlg, 0);
    EXPECT_EQ(dlg->LogoList().CurrentEntryNumber(), 1);
    EXPECT_EQ(Text(*dlg, IDC_THRESHOLD_VALUE), "0");
    EXPECT_EQ(Text(*dlg, IDC_L_VALUE), "100");
    EXPECT_TRUE(Checked(*dlg, IDC_COLOR_RED));
    EXPECT_EQ(CentreColour(*dlg, IDC_R_CARTRIDGE_SWATCH), Qrgb(255, 0, 0));

    ClickRow(*dlg, 1);
    EXPECT_EQ(Text(*dlg, IDC_THRESHOLD_VALUE), "120");
    EXPECT_EQ(Slider(*dlg, IDC_L_SLIDER)->value(), 60);
    EXPECT_TRUE(Checked(*dlg, IDC_COLOR_GREEN));
    EXPECT_EQ(CentreColour(*dlg, IDC_R_CARTRIDGE_SWATCH), Qrgb(0, 255, 0));
    EXPECT_EQ(dlg->PreviewPath(), m_dir.Path("b.bmp"));

    DragSliderTo(*dlg, IDC_R_SLIDER, 210);
    DragSliderTo(*dlg, IDC_THRESHOLD_SLIDER, 200);
    const LogoEntry& b = dlg->LogoList().At(1);
    EXPECT_EQ(b.rValue, 210);
    EXPECT_EQ(b.threshold, 200);
    EXPECT_EQ(b.lValue, 60);
    EXPECT_EQ(b.colorMode, ColorChoice::Green);
    EXPECT_EQ(dlg->LogoList().At(0).rValue, 100);  // the other logo keeps its own
    ClickRow(*dlg, 0);
    QTest::keyClick(LogoView(*dlg), Qt::Key_Down);  // the keyboard selects too
    EXPECT_EQ(dlg->LogoList().CurrentEntryNumber(), 2);
    EXPECT_EQ(Text(*dlg, IDC_R_VALUE), "210");
}

TEST_F(MainDlgColors, PreviewShowsTheSeparatedLogoFromTheTopLeftCutAtTheFrame)
{
    const auto dlg = OpenWindow();
    const QRect frame = FindControl(dlg.get(), IDC_PREVIEW)->geometry();
    // Left 20 columns red, the rest black, larger than the frame.
    const int width = frame.width() + 40;
    const int height = frame.height() + 40;
    std::vector<win::COLORREF> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(x < 20 ? win::MakeColorRef(255, 0, 0) : win::MakeColorRef(0, 0, 0));
    ASSERT_TRUE(WriteBmp24(m_dir.Path("rb.bmp"), width, height, pixels));
    OpenFiles(*dlg, {m_dir.Path("rb.bmp")});
    ClickRow(*dlg, 0);
    EXPECT_EQ(PixelAt(*dlg, PreviewPoint(*dlg, 5, 10)), Qrgb(255, 0, 0));
    EXPECT_EQ(PixelAt(*dlg, PreviewPoint(*dlg, 30, 10)), Qrgb(0, 0, 0));
    EXPECT_EQ(PixelAt(*dlg, frame.bottomRight() - QPoint(3, 3)), Qrgb(0, 0, 0));
    EXPECT_NE(PixelAt(*dlg, frame.bottomRight() + QPoint(3, 3)), Qrgb(0, 0, 0));
    // Invert with Red: the dark pixels come out red as well.
    Click(*dlg, IDC_INVERT);
    EXPECT_EQ(PixelAt(*dlg, PreviewPoint(*dlg, 30, 10)), Qrgb(255, 0, 0));
    // "Black Only": everything darker than the L Value's limit prints black.
    Click(*dlg, IDC_COLOR_NOT_USED);
    EXPECT_EQ(PixelAt(*dlg, PreviewPoint(*dlg, 5, 10)), Qrgb(0, 0, 0));
}

TEST_F(MainDlgColors, PaletteFilesShowTheNearestColourOfTheirPalette)
{
    const auto dlg = OpenWindow();
    BmpSpec bitmap;
    bitmap.width = 16;
    bitmap.height = 16;
    bitmap.bitsPerPixel = 1;
    bitmap.palette = {win::MakeColorRef(0, 0, 0), win::MakeColorRef(255, 255, 255)};
    bitmap.pixel = [](int x, int) { return x < 8 ? 0u : 1u; };
    ASSERT_TRUE(WriteBmp(m_dir.Path("mono.bmp"), bitmap));
    Click(*dlg, IDC_INVERT);  // dark pixels print red, which black and white cannot show
    OpenFiles(*dlg, {m_dir.Path("mono.bmp")});
    ClickRow(*dlg, 0);
    EXPECT_EQ(PixelAt(*dlg, PreviewPoint(*dlg, 3, 3)), Qrgb(0, 0, 0));
    EXPECT_EQ(PixelAt(*dlg, PreviewPoint(*dlg, 12, 3)), Qrgb(255, 255, 255));
}

// A single-colour model: the colour controls grey out with their labels and
// value boxes, which leave the tab order.
TEST_F(MainDlgColors, GreyedColourControlsGreyTheirLabelsAndValueBoxes)
{
    WriteModelFileWith("ModelType", "1");
    const auto dlg = OpenWindow();
    for (int id : {IDC_THRESHOLD_VALUE, IDC_R_VALUE, IDC_L_VALUE, IDC_THRESHOLD_SLIDER, IDC_COLOR_RED}) {
        QWidget* control = FindControl(dlg.get(), id);
        EXPECT_FALSE(control->isEnabled()) << id;
    }
    int greyLabels = 0;
    for (const QLabel* label : dlg->findChildren<QLabel*>()) {
        if (label->buddy() && qobject_cast<QLineEdit*>(label->buddy()) && label->buddy()->objectName().toInt() >= IDC_THRESHOLD_VALUE &&
            label->buddy()->objectName().toInt() <= IDC_L_VALUE) {
            EXPECT_FALSE(label->isEnabled()) << label->text().toStdString();
            ++greyLabels;
        }
    }
    EXPECT_EQ(greyLabels, 3);
    EXPECT_TRUE(Enabled(*dlg, IDC_COLOR_NOT_USED));
}

// A hand-written list may give a logo a colour mode outside the four (its
// pixels then print unchanged). Moving a slider on it and closing the window
// keeps that mode in the store instead of turning it into Red.
TEST_F(MainDlgColors, AStoredModeOutsideTheFourComesBackAfterASliderMove)
{
    const QString store = m_dir.Path("store");
    {
        SetLogoStoreRoot(store);
        CLogoList list;
        list.SetLimits({50, 384, 576});
        ASSERT_EQ(list.AddLogoFile(WriteLogo("odd.bmp", 8, 8), LogoSettings{0, 100, 100, FromStoredNumber(7)}), kLogoAdded);
        ASSERT_TRUE(SaveLogoList(list));
        SetLogoStoreRoot(QString());
    }
    {
        const auto dlg = OpenWindow(store);
        ClickRow(*dlg, 0);
        DragSliderTo(*dlg, IDC_R_SLIDER, 42);
        EXPECT_EQ(ToStoredNumber(dlg->LogoList().At(0).colorMode), 7);
        Click(*dlg, IDC_EXIT);
    }
    const auto reopened = OpenWindow(store);
    EXPECT_EQ(reopened->LogoList().At(0).rValue, 42);
    EXPECT_EQ(ToStoredNumber(reopened->LogoList().At(0).colorMode), 7);
}
