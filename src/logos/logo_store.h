#pragma once

#include "logos/logo_list.h"

#include <QString>

// The logo list between runs: one string value per logo, named image001,
// image002 ... in list order, under the key "Software\Quentar\LogoKeeper\Imagelist"
// of the program's store (CRegistryKey), each holding the logo's value text
// (FormatLogoValue). The main window restores the list at start and saves it
// when it closes. User-interface thread only.

// Where the store lives: the folder the key paths are below. The default is
// markograph/registry in the per-user XDG config folder ($XDG_CONFIG_HOME,
// usually ~/.config), looked up at each save and restore. Tests point it
// elsewhere.
void SetLogoStoreRoot(const QString& folder);   // empty restores the default

// The lock file that keeps two running windows off the store (CStoreLock):
// beside the store's folder; empty when there is no store folder at all.
QString LogoStoreLockPath();

// Writes the whole list under the key, replacing what was there; an empty list removes the key.
// The previous store stays whole when the write fails; returns false with the reason.
// The new list is written in one atomic step, so readers (and the next start,
// after a crash) find either the previous list or the new one, whole.
bool SaveLogoList(const CLogoList& list, QString* error = nullptr);

// Reads image001, image002, ... (at most 255, stopping at the first missing or non-string value)
// and adds each through list.AddLogoFile with the value's settings, so missing files show
// "Failed to load image file!" and limits refuse with the list's own messages.
// A damaged store restores nothing; it is reported on standard error.
void RestoreLogoList(CLogoList& list);
