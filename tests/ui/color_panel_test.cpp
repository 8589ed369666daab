#include "app/color_panel.h"
#include "app/main_dlg_template.h"
#include "config/model_info.h"
#include "dialog_test_helpers.h"
#include "framework/widgets/dialog.h"
#include "res/resource_ids.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>

#include <gtest/gtest.h>

// The colour half alone, on the controls of the main window's template: the
// window's logo list is stood in for by one logo the panel may write to.
class ColorPanel : public ::testing::Test {
protected:
    ColorPanel()
    {
        m_panel = std::make_unique<CColorPanel>(
            &m_dialog, CColorPanel::Logos{[this] { return m_hasLogo ? &m_logo : nullptr; },
                                          [this] { return m_hasLogo ? &m_logo : nullptr; }});
        m_panel->OnInitDialog();
        m_panel->EnableForModel(CModelType::FromNumber(2));
    }

    QRgb Swatch(int id) const { return Control(m_dialog, id)->palette().color(QPalette::Window).rgb() & 0xFFFFFFu; }
    static QRgb Qrgb(int r, int g, int b) { return qRgb(r, g, b) & 0xFFFFFFu; }
    QString Text(int id) const { return Control<QLineEdit>(m_dialog, id)->text(); }
    bool Checked(int id) const { return Control<QAbstractButton>(m_dialog, id)->isChecked(); }

    // A slider moved by the keys: the panel acts when the key comes up.
    void MoveSlider(int id, int position)
    {
        auto* slider = Control<QSlider>(m_dialog, id);
        slider->setValue(position);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier);
        QApplication::sendEvent(slider, &release);
        QApplication::processEvents();
    }

    CDialog m_dialog{MainDlgTemplate()};
    LogoEntry m_logo;
    bool m_hasLogo = false;
    std::unique_ptr<CColorPanel> m_panel;
};

struct ChoiceCase {
    int radio;
    ColorChoice choice;
    const char* threshold;  // where the radio moves THRESHOLD
    QRgb rCartridge;
    QRgb rSwatchAt100;      // R Value 100 after the radio
    QRgb rSwatchAt30;       // R Value 30
};

// With invert off every radio sets its hue and R Value 100; the R swatch is
// tinted with the choice's ink for any R Value, and the L swatch is grey.
TEST_F(ColorPanel, EveryChoiceSetsItsHueAndTintsTheRSwatch)
{
    const QRgb previous = Qrgb(255, 0, 255);  // Not Used keeps whatever the R swatch showed
    const ChoiceCase cases[] = {
        {IDC_COLOR_RED, ColorChoice::Red, "0", Qrgb(255, 0, 0), Qrgb(255, 155, 155), Qrgb(255, 225, 225)},
        {IDC_COLOR_GREEN, ColorChoice::Green, "120", Qrgb(0, 255, 0), Qrgb(155, 255, 155), Qrgb(225, 255, 225)},
        {IDC_COLOR_BLUE, ColorChoice::Blue, "240", Qrgb(0, 0, 255), Qrgb(155, 155, 255), Qrgb(225, 225, 255)},
        {IDC_COLOR_NOT_USED, ColorChoice::NotUsed, "0", previous, previous, previous},
    };
    for (const ChoiceCase& c : cases) {
        // From Blue at R Value 255 each time, so that Not Used shows what it keeps.
        Click(m_dialog, IDC_COLOR_BLUE);
        MoveSlider(IDC_R_SLIDER, 255);
        const QRgb blueAt255 = Qrgb(0, 0, 255);
        ASSERT_EQ(Swatch(IDC_R_SWATCH), blueAt255);
        const auto expected = [&](QRgb rgb) { return rgb == previous ? blueAt255 : rgb; };

        Click(m_dialog, c.radio);
        EXPECT_EQ(m_panel->Choice(), c.choice) << c.radio;
        EXPECT_EQ(Text(IDC_THRESHOLD_VALUE), c.threshold) << c.radio;
        EXPECT_EQ(Text(IDC_R_VALUE), "100") << c.radio;
        EXPECT_EQ(Swatch(IDC_R_SWATCH), expected(c.rSwatchAt100)) << c.radio;
        EXPECT_EQ(Swatch(IDC_R_CARTRIDGE_SWATCH), c.choice == ColorChoice::NotUsed ? Qrgb(0, 0, 255) : c.rCartridge)
            << c.radio;
        MoveSlider(IDC_R_SLIDER, 30);
        EXPECT_EQ(Swatch(IDC_R_SWATCH), expected(c.rSwatchAt30)) << c.radio;
        for (int l : {0, 100, 255}) {
            MoveSlider(IDC_L_SLIDER, l);
            EXPECT_EQ(Swatch(IDC_L_SWATCH), Qrgb(255 - l, 255 - l, 255 - l)) << c.radio << " L " << l;
        }
    }
    EXPECT_EQ(Swatch(IDC_L_CARTRIDGE_SWATCH), Qrgb(0, 0, 0));
}

// With invert on the radio picks the colour dark pixels print in: the L
// swatch takes its tint and the sliders stay where they are. "Black Only"
// (Not Used relabelled) blackens both cartridges and keeps the L swatch.
TEST_F(ColorPanel, WithInvertTheChoiceTintsTheLSwatch)
{
    MoveSlider(IDC_THRESHOLD_SLIDER, 60);
    Click(m_dialog, IDC_INVERT);
    EXPECT_EQ(Control(m_dialog, IDC_COLOR_NOT_USED)->property("text").toString(), "Black Only");
    const struct {
        int radio;
        Rgb ink;
    } cases[] = {{IDC_COLOR_GREEN, {0, 255, 0}}, {IDC_COLOR_BLUE, {0, 0, 255}}, {IDC_COLOR_RED, {255, 0, 0}}};
    for (const auto& c : cases) {
        Click(m_dialog, c.radio);
        EXPECT_EQ(m_panel->Colors().lColor, c.ink) << c.radio;
        EXPECT_EQ(Text(IDC_THRESHOLD_VALUE), "60") << c.radio;
        for (int l : {0, 100}) {
            MoveSlider(IDC_L_SLIDER, l);
            const int v = 255 - l;
            EXPECT_EQ(Swatch(IDC_L_SWATCH), Qrgb(c.ink.r ? 255 : v, c.ink.g ? 255 : v, c.ink.b ? 255 : v))
                << c.radio << " L " << l;
        }
    }
    const QRgb redAt100 = Swatch(IDC_L_SWATCH);
    Click(m_dialog, IDC_COLOR_NOT_USED);
    EXPECT_EQ(m_panel->Colors().lColor, (Rgb{0, 0, 0}));
    EXPECT_EQ(Swatch(IDC_R_CARTRIDGE_SWATCH), Qrgb(0, 0, 0));
    EXPECT_EQ(Swatch(IDC_L_CARTRIDGE_SWATCH), Qrgb(0, 0, 0));
    EXPECT_EQ(Swatch(IDC_L_SWATCH), redAt100);
}

// A logo list written by hand may hold a colour mode outside the four: the
// logo shows no radio, and a slider release writes its weights back without
// turning its mode into another (its pixels stay as they are when printed).
TEST_F(ColorPanel, AStoredModeOutsideTheFourSurvivesASliderRelease)
{
    m_logo.colorMode = FromStoredNumber(7);
    m_logo.rValue = 10;
    m_hasLogo = true;
    m_panel->ShowLogo(m_logo);
    for (int radio : {IDC_COLOR_RED, IDC_COLOR_GREEN, IDC_COLOR_BLUE, IDC_COLOR_NOT_USED})
        EXPECT_FALSE(Checked(radio)) << radio;
    MoveSlider(IDC_R_SLIDER, 42);
    EXPECT_EQ(m_logo.rValue, 42);
    EXPECT_EQ(ToStoredNumber(m_logo.colorMode), 7);
    EXPECT_EQ(ToStoredNumber(m_panel->CurrentSettings().colorMode), 7);  // a logo added now takes it too

    // Choosing a radio is what changes it.
    Click(m_dialog, IDC_COLOR_GREEN);
    EXPECT_EQ(m_logo.colorMode, ColorChoice::Green);
}

// Single-colour models: only "Not Used" can be chosen, and it is.
TEST_F(ColorPanel, ASingleColourModelLeavesOnlyNotUsed)
{
    m_panel->EnableForModel(CModelType::FromNumber(1));
    EXPECT_EQ(m_panel->Choice(), ColorChoice::NotUsed);
    EXPECT_TRUE(Checked(IDC_COLOR_NOT_USED));
    for (int id : {IDC_COLOR_RED, IDC_COLOR_GREEN, IDC_COLOR_BLUE, IDC_INVERT, IDC_R_SLIDER, IDC_R_VALUE})
        EXPECT_FALSE(Control(m_dialog, id)->isEnabled()) << id;
    m_panel->EnableForModel(CModelType::FromNumber(0));
    EXPECT_EQ(m_panel->Choice(), ColorChoice::Red);
    EXPECT_TRUE(Control(m_dialog, IDC_R_SLIDER)->isEnabled());
}
