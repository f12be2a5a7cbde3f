#pragma once

#include <memory>

#include <QString>

#include "ui/measure_options.h"

class QSettings;

namespace quintrel {

// The values kept between runs, in section "Settings".
struct StoredSettings {
  QString oldFolder;       // history string of the old folder box
  QString newFolder;       // history string of the new folder box
  QString windowInfo;      // see window_info.h
  bool recursive = false;  // the subfolder check box; stored as "1" or "0"
  // The check box that measures code, not layout; stored as "1" or "0" under IgnoreFormat.
  bool ignoreFormat = false;
  // Extensions and ExcludeDirs, the lists as typed; Renames, "0" for off or the percent.
  MeasureOptions options;
};

// The per-user store: organisation "Vantle", the application's name (its executable's base
// name). On Linux ~/.config/Vantle/<name>.conf (honouring XDG_CONFIG_HOME), on Windows the
// registry key HKEY_CURRENT_USER\Software\Vantle\<name>.
std::unique_ptr<QSettings> OpenUserSettings();

// A value that is missing or unreadable gives `windowInfoDefault` (window information), the
// empty string (histories) or false (the check boxes: only the text "1" turns one on, so that
// a file written before a box existed keeps it off). The run options that are missing, or that
// the command line's rules refuse, are MeasureOptions' defaults: a file written before they
// existed measures as it did.
StoredSettings LoadSettings(QSettings& settings, const QString& windowInfoDefault);
void SaveSettings(QSettings& settings, const StoredSettings& values);

}  // namespace quintrel
