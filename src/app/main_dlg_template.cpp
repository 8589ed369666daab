#include "app/main_dlg_template.h"

#include "res/resource_ids.h"

namespace {

using K = ControlKind;

// Upper part: the logo list on the left, the preview on the right; the
// summary under the list.
void AddListAndPreview(std::vector<ControlTemplate>& c)
{
    c.push_back({IDC_LOGO_LIST, K::ListView, "", 1, 1, 193, 201});
    c.push_back({IDC_PREVIEW, K::BlackFrame, "", 199, 1, 299, 201});
    c.push_back({IDC_SUMMARY, K::Static, "", 1, 207, 130, 22});
}

// "Configuration": the button, then eight label/value rows.
void AddConfiguration(std::vector<ControlTemplate>& c)
{
    c.push_back({-1, K::GroupBox, "Configuration", 1, 229, 130, 118});
    c.push_back({IDC_PORT_SETTING, K::PushButton, "Port Setting", 7, 240, 118, 14});
    struct Row {
        int labelId;
        const char* label;
        int valueId;
        const char* value;
    };
    const Row rows[] = {
        {IDC_LABEL_PRINTER, "Printer : ", IDC_MODEL_NAME, "TX-100"},
        {IDC_LABEL_DOWNLOAD_MODE, "Download Mode : ", IDC_DOWNLOAD_MODE, "Mono Thermal"},
        {IDC_LABEL_INTERFACE, "Interface :", IDC_INTERFACE, "Serial"},
        {IDC_LABEL_PORT, "Port :", IDC_PORT_NAME, "COM1"},
        {IDC_LABEL_BAUDRATE, "Baudrate :", IDC_BAUDRATE, "19200"},
        {IDC_LABEL_DATABITS, "Databits :", IDC_DATABITS, "8"},
        {IDC_LABEL_PARITY, "Parity :", IDC_PARITY, "NONE"},
        {IDC_LABEL_STOPBITS, "Stopbits :", IDC_STOPBITS, "0"},
    };
    int y = 259;
    for (const Row& row : rows) {
        // Labels 4 units wider than drawn at first, so that "Download Mode : "
        // fits in the desktop's font; long values are elided.
        c.push_back({row.labelId, K::Static, row.label, 7, y, 62, 9});
        c.push_back({row.valueId, K::Static, row.value, 70, y, 56, 9});
        y += 11;
    }
}

// "Bitmap Selection" and the untitled group with the printer operations.
void AddButtons(std::vector<ControlTemplate>& c)
{
    c.push_back({-1, K::GroupBox, "Bitmap Selection", 135, 204, 104, 72});
    c.push_back({IDC_OPEN_FILE, K::PushButton, "Open File", 142, 215, 90, 16});
    c.push_back({IDC_REMOVE, K::PushButton, "Remove", 142, 235, 90, 16});
    c.push_back({IDC_RESET, K::PushButton, "Reset", 142, 255, 90, 16});
    c.push_back({-1, K::GroupBox, "", 135, 279, 103, 68});
    c.push_back({IDC_DOWNLOAD, K::PushButton, "Download..", 142, 289, 89, 22});
    c.push_back({IDC_PRINT, K::PushButton, "Print", 142, 317, 89, 22});
}

// One setting of "Change Color Range": its label, its read-only value and
// its swatch on one line, the slider under them.
void AddColorSetting(std::vector<ControlTemplate>& c, const char* label, int valueId, int swatchId, int sliderId,
                     int top)
{
    c.push_back({-1, K::Static, label, 249, top + 2, 50, 9});
    c.push_back({valueId, K::ReadOnlyEdit, "", 300, top, 30, 12});
    c.push_back({swatchId, K::BlackFrame, "", 334, top, 24, 12});
    c.push_back({sliderId, K::Slider, "", 247, top + 14, 113, 16});
}

void AddColorRange(std::vector<ControlTemplate>& c)
{
    c.push_back({-1, K::GroupBox, "Change Color Range", 243, 204, 121, 143});
    AddColorSetting(c, "THRESHOLD", IDC_THRESHOLD_VALUE, IDC_THRESHOLD_SWATCH, IDC_THRESHOLD_SLIDER, 216);
    AddColorSetting(c, "R Value", IDC_R_VALUE, IDC_R_SWATCH, IDC_R_SLIDER, 260);
    AddColorSetting(c, "L Value", IDC_L_VALUE, IDC_L_SWATCH, IDC_L_SLIDER, 304);
}

// "Color": the four radios, the invert box, the two cartridge swatches.
void AddColorChoice(std::vector<ControlTemplate>& c)
{
    c.push_back({-1, K::GroupBox, "Color", 370, 204, 128, 99});
    c.push_back({IDC_COLOR_RED, K::FirstRadioButton, "Red", 377, 216, 50, 10});
    c.push_back({IDC_COLOR_GREEN, K::RadioButton, "Green", 377, 229, 50, 10});
    c.push_back({IDC_COLOR_BLUE, K::RadioButton, "Blue", 377, 242, 50, 10});
    c.push_back({IDC_COLOR_NOT_USED, K::RadioButton, "Not Used", 377, 255, 52, 10});
    c.push_back({-1, K::Static, "R Color(Cartridge)", 432, 216, 62, 9});
    c.push_back({IDC_R_CARTRIDGE_SWATCH, K::BlackFrame, "", 432, 226, 60, 10});
    c.push_back({-1, K::Static, "L Color(Cartridge)", 432, 241, 62, 9});
    c.push_back({IDC_L_CARTRIDGE_SWATCH, K::BlackFrame, "", 432, 251, 60, 10});
    c.push_back({IDC_INVERT, K::CheckBox, "Color Change Select \n(Invert to L Cartridge )", 377, 272, 116, 24});
}

}  // namespace

DialogTemplate MainDlgTemplate()
{
    DialogTemplate layout;
    layout.caption = "Markograph ver 3.1.1";
    layout.fontFamily = "Arial";
    layout.fontPointSize = 8;
    layout.width = 500;
    layout.height = 351;
    AddListAndPreview(layout.controls);
    AddConfiguration(layout.controls);
    AddButtons(layout.controls);
    AddColorRange(layout.controls);
    AddColorChoice(layout.controls);
    layout.controls.push_back({IDC_EXIT, K::PushButton, "EXIT", 370, 308, 128, 39});
    return layout;
}
