#pragma once

#include <QString>

// The per-user settings store: values filed under a root, the program's own
// name and a section. Every call opens the store, touches one value and
// closes it again, so nothing is held between calls. On Windows the store is
// the registry (HKEY_CURRENT_USER\Software\root\name\section), elsewhere a
// file under the user's configuration folder.
namespace drovana {

// Root under which every program of ours files its settings.
inline constexpr char kSettingsRoot[] = "Quenmoor";
// The section the converter dialog keeps its entries in.
inline constexpr char kSettingsSection[] = "Settings";

// The executable's file name without folder and last extension: 'my.tool.exe'
// is filed as 'my.tool', so copies under other names keep their own settings.
QString ApplicationNameFor(const QString& executablePath);

// Files every later read and write under root and the executable's name.
void SetSettingsRoot(const QString& root, const QString& executablePath);

// Absent values and values that are not numbers give the default. Texts may
// carry bytes that are not valid UTF-8, as FromNative (NativeText.h) keeps
// them; such a text is stored as its bytes, since the settings file would
// write the kept bytes as replacement characters. Any other text is stored
// as it is.
QString GetProfileString(const QString& section, const QString& entry,
                         const QString& defaultValue = QString());
int GetProfileInt(const QString& section, const QString& entry, int defaultValue);

// Write failures are not reported. An integer is stored as a number (a
// 32-bit value in the registry), never as text such as "true".
void WriteProfileString(const QString& section, const QString& entry, const QString& value);
void WriteProfileInt(const QString& section, const QString& entry, int value);

}  // namespace drovana
