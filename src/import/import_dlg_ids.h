#pragma once

// Resource ids of the picture import dialog. OK and Cancel are
// win::kIdOk (1) and win::kIdCancel (2).
inline constexpr int IDD_IMPORT = 140;
inline constexpr int IDC_IMPORT_SOURCE = 1401;      // the picture, fitted to the result's size
inline constexpr int IDC_IMPORT_RESULT = 1402;      // the dots as they print
inline constexpr int IDC_IMPORT_WIDTH = 1403;       // width in dots; empty: the printable width
inline constexpr int IDC_IMPORT_ROTATE = 1404;
inline constexpr int IDC_IMPORT_METHOD = 1405;      // none, Floyd-Steinberg, Atkinson, Bayer
inline constexpr int IDC_IMPORT_LEVEL = 1406;
inline constexpr int IDC_IMPORT_LEVEL_TEXT = 1407;
inline constexpr int IDC_IMPORT_BRIGHTNESS = 1408;
inline constexpr int IDC_IMPORT_BRIGHTNESS_TEXT = 1409;
inline constexpr int IDC_IMPORT_CONTRAST = 1410;
inline constexpr int IDC_IMPORT_CONTRAST_TEXT = 1411;
inline constexpr int IDC_IMPORT_GAMMA = 1412;       // gamma x 100
inline constexpr int IDC_IMPORT_GAMMA_TEXT = 1413;
inline constexpr int IDC_IMPORT_INK = 1414;         // two-colour printers: red, green, blue
inline constexpr int IDC_IMPORT_DENSITY = 1415;     // DOT MODE: single, double, quad
inline constexpr int IDC_IMPORT_INFO = 1416;        // size of the result
