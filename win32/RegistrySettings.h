#pragma once

#include <string>

// The per-user settings in the registry, where the Qt build on Windows keeps
// them too: HKEY_CURRENT_USER\Software\<root>\<application>\<section>. Every
// call opens the key, touches one value and closes it again.
namespace drovana {

// Root under which every program of ours files its settings.
inline constexpr wchar_t kSettingsRootW[] = L"Quenmoor";
// The section the converter dialog keeps its entries in.
inline constexpr wchar_t kSettingsSectionW[] = L"Settings";

// The executable's file name without folder and last extension, as the Qt
// build names it: a copy under another name keeps its own settings.
std::wstring ApplicationNameFor(const std::wstring& executablePath);

// One application's settings, filed under the root.
class CRegistrySettings {
public:
    explicit CRegistrySettings(std::wstring application) : m_application(std::move(application)) {}

    // The key's path below HKEY_CURRENT_USER.
    std::wstring KeyPath(const wchar_t* section) const;

    // Absent values, and values of another type, give the default. A number
    // stored as text, as a hand edit may leave it, is read as the number.
    std::wstring GetString(const wchar_t* section, const wchar_t* entry,
                           const std::wstring& defaultValue = {}) const;
    int GetInt(const wchar_t* section, const wchar_t* entry, int defaultValue) const;

    // Texts as REG_SZ, numbers as REG_DWORD. Write failures are not reported.
    void WriteString(const wchar_t* section, const wchar_t* entry, const std::wstring& value) const;
    void WriteInt(const wchar_t* section, const wchar_t* entry, int value) const;

private:
    std::wstring m_application;
};

}  // namespace drovana
