#include "PreviewWindow.h"

#include <algorithm>
#include <array>
#include <string>

#include "BatchRules.h"
#include "PathParts.h"
#include "PreviewPicture.h"
#include "WideText.h"

namespace drovana {

namespace fs = std::filesystem;

namespace {

constexpr wchar_t kClassName[] = L"DrovanaPreview";
constexpr int kMargin = 8;
constexpr int kCheckerCell = 8;

struct Pane {
    std::wstring caption;
    PreviewPicture picture;
};

struct Preview {
    std::array<Pane, 2> panes;  // the map, then its S16
};

// Transparent pixels over a grey checkerboard, as picture viewers show them.
void OverCheckerboard(PreviewPicture& picture) {
    for (std::int32_t y = 0; y < picture.shownHeight; ++y) {
        for (std::int32_t x = 0; x < picture.shownWidth; ++x) {
            std::uint32_t& pixel = picture.pixels[static_cast<std::size_t>(y) *
                                                      static_cast<std::size_t>(picture.shownWidth) +
                                                  static_cast<std::size_t>(x)];
            const std::uint32_t back =
                ((x / kCheckerCell + y / kCheckerCell) % 2 == 0) ? 0xcc : 0x99;
            const std::uint32_t alpha = pixel >> 24;
            std::uint32_t out = 0;
            for (int shift = 0; shift < 24; shift += 8) {
                const std::uint32_t front = (pixel >> shift) & 0xff;
                out |= ((front * alpha + back * (255 - alpha)) / 255) << shift;
            }
            pixel = out;
        }
    }
}

// The largest picture a window on this monitor could show.
SIZE MonitorRoom(HWND owner) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY), &info)) {
        return {1920, 1080};
    }
    return {info.rcWork.right - info.rcWork.left, info.rcWork.bottom - info.rcWork.top};
}

int CaptionHeight(HDC dc) {
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    return metrics.tmHeight + kMargin;
}

void PaintPane(HDC dc, const Pane& pane, RECT area) {
    const int captionHeight = CaptionHeight(dc);
    RECT caption{area.left, area.top, area.right, area.top + captionHeight};
    DrawTextW(dc, pane.caption.c_str(), static_cast<int>(pane.caption.size()), &caption,
              DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    const PreviewPicture& picture = pane.picture;
    if (picture.pixels.empty()) {
        return;
    }
    // Shrunk to the room left, never enlarged, keeping the proportions.
    const double roomWidth = std::max<LONG>(1, area.right - area.left);
    const double roomHeight = std::max<LONG>(1, area.bottom - area.top - captionHeight);
    const double scale =
        std::min({1.0, roomWidth / picture.shownWidth, roomHeight / picture.shownHeight});
    const int width = std::max(1, static_cast<int>(picture.shownWidth * scale));
    const int height = std::max(1, static_cast<int>(picture.shownHeight * scale));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = picture.shownWidth;
    info.bmiHeader.biHeight = -picture.shownHeight;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchDIBits(dc, area.left, area.top + captionHeight, width, height, 0, 0, picture.shownWidth,
                  picture.shownHeight, picture.pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
}

void Paint(HWND window, const Preview& preview) {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window, &paint);
    const HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    RECT client;
    GetClientRect(window, &client);
    const LONG half = (client.right - client.left) / 2;
    PaintPane(dc, preview.panes[0],
              {kMargin, kMargin, half - kMargin / 2, client.bottom - kMargin});
    PaintPane(dc, preview.panes[1],
              {half + kMargin / 2, kMargin, client.right - kMargin, client.bottom - kMargin});
    SelectObject(dc, oldFont);
    EndPaint(window, &paint);
}

LRESULT CALLBACK PreviewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* preview = reinterpret_cast<Preview*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_CREATE:
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(
                                  reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
            return 0;
        case WM_PAINT:
            if (preview) {
                Paint(window, *preview);
                return 0;
            }
            break;
        case WM_SIZE:
            InvalidateRect(window, nullptr, TRUE);
            return 0;
        case WM_KEYDOWN:
            if (wParam == VK_ESCAPE) {
                DestroyWindow(window);
                return 0;
            }
            break;
        case WM_NCDESTROY:
            delete preview;
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            break;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterPreviewClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    if (GetClassInfoExW(instance, kClassName, &windowClass)) {
        return;
    }
    windowClass.lpfnWndProc = PreviewProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);
}

Pane MakePane(const fs::path& path, PreviewPicture picture) {
    Pane pane{WideOf(PreviewCaption(path, picture)), std::move(picture)};
    OverCheckerboard(pane.picture);
    return pane;
}

BOOL CALLBACK ClosePreviewOf(HWND window, LPARAM owner) {
    wchar_t name[32] = L"";
    GetClassNameW(window, name, 32);
    if (GetWindow(window, GW_OWNER) == reinterpret_cast<HWND>(owner) &&
        std::wstring(name) == kClassName) {
        DestroyWindow(window);
    }
    return TRUE;
}

}  // namespace

HWND OpenPreview(HWND owner, const fs::path& map, const fs::path& target) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    RegisterPreviewClass(instance);
    const SIZE room = MonitorRoom(owner);
    const fs::path s16 = FindInAnyCase(target);
    PreviewPicture s16Picture;
    if (s16.empty()) {
        s16Picture.reason = kNoS16;
    } else {
        s16Picture = LoadS16Preview(s16, room.cx, room.cy);
    }
    auto* preview = new Preview{{MakePane(map, LoadShpPreview(map, room.cx, room.cy)),
                                 MakePane(s16.empty() ? target : s16, std::move(s16Picture))}};

    // Large enough for both pictures at 1:1, within most of the monitor.
    const int wanted = preview->panes[0].picture.shownWidth + preview->panes[1].picture.shownWidth;
    const int tallest =
        std::max(preview->panes[0].picture.shownHeight, preview->panes[1].picture.shownHeight);
    const int width = std::clamp(wanted + 80, 480, static_cast<int>(room.cx * 4 / 5));
    const int height = std::clamp(tallest + 100, 320, static_cast<int>(room.cy * 4 / 5));
    const std::wstring title = L"Preview: " + WideOf(QuotedName(TextOf(map.filename())));
    const HWND window =
        CreateWindowExW(0, kClassName, title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                        CW_USEDEFAULT, width, height, owner, nullptr, instance, preview);
    if (!window) {
        delete preview;
        return nullptr;
    }
    if (IsWindowVisible(owner)) {
        ShowWindow(window, SW_SHOWNORMAL);
    }
    return window;
}

std::wstring PreviewCaptions(HWND preview) {
    const auto* data = reinterpret_cast<const Preview*>(GetWindowLongPtrW(preview, GWLP_USERDATA));
    return data ? data->panes[0].caption + L"\n" + data->panes[1].caption : std::wstring();
}

void ClosePreviews(HWND owner) {
    EnumThreadWindows(GetCurrentThreadId(), ClosePreviewOf, reinterpret_cast<LPARAM>(owner));
}

}  // namespace drovana
