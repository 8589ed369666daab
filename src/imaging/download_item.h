#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

// One element of a download: the text shown in the progress line and the
// bytes sent for it.
struct DownloadItem {
    QString name;
    QByteArray data;

    int size() const { return static_cast<int>(data.size()); }
};

using DownloadList = std::vector<DownloadItem>;

// The DOT MODE length table that goes first; the name is the one the progress
// line has always shown.
inline const QString kHeadItemName = QStringLiteral("HeadCommnad");

// Where a define command for a two-colour printer carries its key code.
inline constexpr int kKeyCodeOffset = 10;
