#pragma once

// Resource ids of the compose dialog. OK and Cancel are win::kIdOk (1) and
// win::kIdCancel (2).
inline constexpr int IDD_COMPOSE = 150;
inline constexpr int IDC_COMPOSE_RESULT = 1501;       // the dots as they print
inline constexpr int IDC_COMPOSE_TEXT = 1502;         // the text lines, one a line
inline constexpr int IDC_COMPOSE_FONT = 1503;         // installed font families
inline constexpr int IDC_COMPOSE_SIZE = 1504;         // text size in dots
inline constexpr int IDC_COMPOSE_BOLD = 1505;
inline constexpr int IDC_COMPOSE_ALIGN = 1506;        // left, center, right
inline constexpr int IDC_COMPOSE_SPACING = 1507;      // dots between lines and parts
inline constexpr int IDC_COMPOSE_SHRINK = 1508;       // shrink lines wider than the paper
inline constexpr int IDC_COMPOSE_TEXT_INK = 1509;     // two-colour printers: black or second ink
inline constexpr int IDC_COMPOSE_QR = 1510;           // QR content; empty: no code
inline constexpr int IDC_COMPOSE_QR_LEVEL = 1511;     // L, M, Q, H
inline constexpr int IDC_COMPOSE_QR_POSITION = 1512;  // below, beside
inline constexpr int IDC_COMPOSE_QR_INK = 1513;       // two-colour printers: black or second ink
inline constexpr int IDC_COMPOSE_PICTURE = 1514;      // the picture's path (read-only)
inline constexpr int IDC_COMPOSE_BROWSE = 1515;       // choose a picture
inline constexpr int IDC_COMPOSE_NO_PICTURE = 1516;   // drop the picture
inline constexpr int IDC_COMPOSE_INFO = 1517;         // size, notes, or why there is no result
