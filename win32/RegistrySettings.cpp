#include "RegistrySettings.h"

#include <windows.h>

#include <cwchar>
#include <filesystem>

namespace drovana {

std::wstring ApplicationNameFor(const std::wstring& executablePath) {
    return std::filesystem::path(executablePath).stem().wstring();
}

std::wstring CRegistrySettings::KeyPath(const wchar_t* section) const {
    return std::wstring(L"Software\\") + kSettingsRootW + L"\\" + m_application + L"\\" + section;
}

std::wstring CRegistrySettings::GetString(const wchar_t* section, const wchar_t* entry,
                                          const std::wstring& defaultValue) const {
    const std::wstring key = KeyPath(section);
    DWORD bytes = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), entry, RRF_RT_REG_SZ, nullptr, nullptr,
                     &bytes) != ERROR_SUCCESS) {
        return defaultValue;
    }
    std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), entry, RRF_RT_REG_SZ, nullptr, value.data(),
                     &bytes) != ERROR_SUCCESS) {
        return defaultValue;
    }
    value.resize(std::wcslen(value.c_str()));
    return value;
}

int CRegistrySettings::GetInt(const wchar_t* section, const wchar_t* entry,
                              int defaultValue) const {
    const std::wstring key = KeyPath(section);
    DWORD value = 0;
    DWORD bytes = sizeof(value);
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), entry, RRF_RT_REG_DWORD, nullptr, &value,
                     &bytes) == ERROR_SUCCESS) {
        return static_cast<int>(value);
    }
    const std::wstring text = GetString(section, entry);
    wchar_t* end = nullptr;
    const long number = std::wcstol(text.c_str(), &end, 10);
    return !text.empty() && *end == L'\0' ? static_cast<int>(number) : defaultValue;
}

void CRegistrySettings::WriteString(const wchar_t* section, const wchar_t* entry,
                                    const std::wstring& value) const {
    const std::wstring key = KeyPath(section);
    RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), entry, REG_SZ, value.c_str(),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void CRegistrySettings::WriteInt(const wchar_t* section, const wchar_t* entry, int value) const {
    const std::wstring key = KeyPath(section);
    const DWORD number = static_cast<DWORD>(value);
    RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), entry, REG_DWORD, &number, sizeof(number));
}

}  // namespace drovana
