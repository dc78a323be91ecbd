#include "FolderChooser.h"

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace drovana {

namespace {

// Releases a COM interface when it goes.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() {
        if (p_) {
            p_->Release();
        }
    }
    T* operator->() const { return p_; }
    T** operator&() { return &p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

// Keeps COM initialised on this thread for as long as it lives.
class ComScope {
public:
    ComScope()
        : ok_(SUCCEEDED(
              CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    ~ComScope() {
        if (ok_) {
            CoUninitialize();
        }
    }

private:
    bool ok_;
};

// false when the system has no such dialog; `chosen` stays empty on cancel.
bool ChooseWithFileDialog(HWND owner, const std::wstring& startFolder, const std::wstring& prompt,
                          std::wstring& chosen) {
    ComPtr<IFileDialog> dialog;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&dialog)))) {
        return false;
    }
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
    dialog->SetTitle(prompt.c_str());
    ComPtr<IShellItem> start;
    if (SUCCEEDED(
            SHCreateItemFromParsingName(startFolder.c_str(), nullptr, IID_PPV_ARGS(&start)))) {
        dialog->SetFolder(start.operator->());
    }
    ComPtr<IShellItem> result;
    if (FAILED(dialog->Show(owner)) || FAILED(dialog->GetResult(&result))) {
        return true;
    }
    PWSTR path = nullptr;
    if (SUCCEEDED(result->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
        chosen = path;
        CoTaskMemFree(path);
    }
    return true;
}

int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM, LPARAM startFolder) {
    if (message == BFFM_INITIALIZED) {
        SendMessageW(window, BFFM_SETSELECTIONW, TRUE, startFolder);
    }
    return 0;
}

std::wstring ChooseWithBrowser(HWND owner, const std::wstring& startFolder,
                               const std::wstring& prompt) {
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.lpszTitle = prompt.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(startFolder.c_str());
    PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&info);
    if (!item) {
        return {};
    }
    wchar_t path[MAX_PATH] = L"";
    const bool ok = SHGetPathFromIDListW(item, path);
    CoTaskMemFree(item);
    return ok ? path : L"";
}

}  // namespace

std::wstring ChooseFolder(HWND owner, const std::wstring& startFolder, const std::wstring& prompt) {
    const ComScope com;
    std::wstring chosen;
    if (ChooseWithFileDialog(owner, startFolder, prompt, chosen)) {
        return chosen;
    }
    return ChooseWithBrowser(owner, startFolder, prompt);
}

}  // namespace drovana
