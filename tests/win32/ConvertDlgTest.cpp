#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <filesystem>
#include <string>
#include <vector>

#include "DialogDriver.h"
#include "FileChecks.h"
#include "PreviewWindow.h"
#include "RegistrySettings.h"
#include "S16Bytes.h"
#include "ShpBuilder.h"
#include "TestFiles.h"
#include "WideText.h"

// The native dialog driven headless under the system's own dialog manager:
// its keys, controls, list, runs and settings.
namespace drovana::test {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

std::wstring Folder(const fs::path& path) {
    return path.wstring() + L"\\";
}

class Win32Dialog : public ::testing::Test {
protected:
    Win32Dialog() {
        RegDeleteTreeW(HKEY_CURRENT_USER, settings_.KeyPath(kSettingsSectionW).c_str());
        fs::create_directory(shp_);
        fs::create_directory(peg_);
    }
    ~Win32Dialog() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, settings_.KeyPath(kSettingsSectionW).c_str());
    }

    // Maps of a few sizes and kinds; each name's bytes kept for comparing.
    void WriteMaps(const std::vector<std::string>& names, int side = 64) {
        for (std::size_t i = 0; i < names.size(); ++i) {
            const Bytes map = MakeMap(side, side * 3 / 4, static_cast<MapStyle>(i % 3),
                                      static_cast<std::uint32_t>(i + 1));
            WriteBytes(shp_ / names[i], map);
            maps_[names[i]] = map;
        }
    }
    // Opens the dialog on the two folders.
    void OpenOn(const std::wstring& peg, CConvertDlg::FolderChooser chooser = {}) {
        driver_.Close();
        settings_.WriteString(kSettingsSectionW, L"Folder", Folder(shp_));
        settings_.WriteString(kSettingsSectionW, L"UpdateFolder", peg);
        driver_.Open([&](CConvertDlg& dlg) { dlg.SetFolderChooser(std::move(chooser)); });
    }
    void OpenOn() { OpenOn(Folder(peg_)); }
    // Every file in the PeG folder is the full conversion of its map.
    void ExpectWholeTargets() {
        for (const std::string& name : NamesIn(peg_)) {
            const std::string map = fs::path(name).stem().string() + ".SHP";
            ASSERT_EQ(maps_.count(map), 1u) << name;
            EXPECT_EQ(ReadBytes(peg_ / name), S16Of(maps_[map])) << name;
        }
    }

    CRegistrySettings settings_{kTestApplication};
    TempDir dir_;
    fs::path shp_ = dir_ / "maps";
    fs::path peg_ = dir_ / "peg";
    std::map<std::string, Bytes> maps_;
    DialogDriver driver_;
};

TEST_F(Win32Dialog, ControlsSitWhereTheTableSaysAndTabVisitsThemInOrder) {
    WriteMaps({"MAP01.SHP"});
    OpenOn();
    EXPECT_EQ(Utf8Of(driver_.Text(0)), kConvertDlgLayout.caption);
    EXPECT_NE(driver_.Send(0, WM_GETICON, ICON_BIG), 0);
    std::vector<int> expected;
    for (const DialogControl& control : kConvertDlgControls) {
        if (control.id == kNoControlId) {
            continue;
        }
        SCOPED_TRACE(control.id);
        // Position and size each in dialog units of the dialog's own font.
        RECT wanted{control.x, control.y, control.cx, control.cy};
        MapDialogRect(driver_.Window(), &wanted);
        RECT actual;
        GetWindowRect(driver_.Dlg().GetDlgItem(control.id), &actual);
        MapWindowPoints(nullptr, driver_.Window(), reinterpret_cast<POINT*>(&actual), 2);
        EXPECT_EQ((std::vector<LONG>{actual.left, actual.top, actual.right - actual.left,
                                     actual.bottom - actual.top}),
                  (std::vector<LONG>{wanted.left, wanted.top, wanted.right, wanted.bottom}));
        if (control.kind == ControlKind::kPushButton ||
            control.kind == ControlKind::kAutoCheckBox) {
            EXPECT_EQ(Utf8Of(driver_.Text(control.id)), control.text);
        }
        if (control.style & kTabStop) {
            expected.push_back(control.id);
        }
    }
    std::vector<int> visited{GetDlgCtrlID(GetFocus())};
    for (std::size_t i = 1; i < expected.size(); ++i) {
        driver_.Key(VK_TAB);
        visited.push_back(GetDlgCtrlID(GetFocus()));
    }
    EXPECT_EQ(visited, expected);
    driver_.Key(VK_TAB);
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), kIdShpFolderEdit);
}

TEST_F(Win32Dialog, ListsTheMapsTheSwitchAndTheFoldersAskFor) {
    WriteMaps({"MAP02.SHP", "map01.shp", "MAP03.Shp"});
    WriteBytes(shp_ / "notes.txt", {1, 2, 3});
    WriteBytes(peg_ / "MAP02.S16", {1});
    const fs::path chosen = dir_ / "chosen";
    fs::create_directory(chosen);
    std::wstring chooserAnswer;
    OpenOn(Folder(peg_),
           [&](HWND, const std::wstring&, const std::wstring&) { return chooserAnswer; });
    EXPECT_EQ(driver_.Entries(),
              (std::vector<std::wstring>{L"map01.shp", L"MAP02.SHP", L"MAP03.Shp"}));
    EXPECT_EQ(driver_.Text(kIdFileCount), L"3 files");

    driver_.Click(kIdUpdateOnly);
    EXPECT_EQ(driver_.Entries(), (std::vector<std::wstring>{L"map01.shp", L"MAP03.Shp"}));
    EXPECT_EQ(driver_.Text(kIdFileCount), L"2 files");

    // Leaving an edit confirms its folder; the choosers' answers likewise.
    const struct {
        const char* what;
        std::function<void()> act;
        int edit;
        std::wstring shown;
        int listed;
    } cases[] = {
        {"typed", [&] { driver_.Type(kIdShpFolderEdit, chosen.wstring()); }, kIdShpFolderEdit,
         Folder(chosen), 0},
        {"cleared", [&] { driver_.Type(kIdShpFolderEdit, L""); }, kIdShpFolderEdit, L"", 0},
        {"chosen",
         [&] {
             chooserAnswer = shp_.wstring();
             driver_.Click(kIdShpSelect);
         },
         kIdShpFolderEdit, Folder(shp_), 2},
        {"chooser cancelled",
         [&] {
             chooserAnswer.clear();
             driver_.Click(kIdPegSelect);
         },
         kIdPegFolderEdit, Folder(peg_), 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.act();
        EXPECT_EQ(driver_.Text(c.edit), c.shown);
        EXPECT_EQ(driver_.Entries().size(), static_cast<std::size_t>(c.listed));
        EXPECT_EQ(IsWindowEnabled(driver_.Dlg().GetDlgItem(kIdOk)) != FALSE, c.listed > 0);
    }
}

TEST_F(Win32Dialog, ARunWritesEveryTargetWholeMarksFailuresAndKeepsTheFocus) {
    WriteMaps({"MAP01.SHP", "MAP02.SHP", "MAP03.SHP"});
    WriteBytes(shp_ / "MAP04.SHP", {'n', 'o', 't', ' ', 'a', ' ', 'm', 'a', 'p'});
    OpenOn();
    // Enter runs with the folder as typed, its separator added.
    driver_.Focus(kIdPegFolderEdit);
    driver_.SetText(kIdPegFolderEdit, peg_.wstring());
    driver_.Key(VK_RETURN);
    ASSERT_TRUE(DialogDriver::PumpUntil([&] { return !driver_.Dlg().IsRunning(); }));

    EXPECT_EQ(NamesIn(peg_), (std::vector<std::string>{"MAP01.s16", "MAP02.s16", "MAP03.s16"}));
    ExpectWholeTargets();
    EXPECT_EQ(driver_.Text(kIdStatus), L"1 of 4 files could not be converted");
    PBRANGE range{};
    driver_.Send(kIdProgress, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iLow, 0);
    EXPECT_EQ(range.iHigh, 4);
    EXPECT_EQ(driver_.Send(kIdProgress, PBM_GETPOS), 4);
    EXPECT_FALSE(GetWindowLongW(driver_.Dlg().GetDlgItem(kIdProgress), GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(GetFocus(), driver_.Dlg().GetDlgItem(kIdPegFolderEdit));
    EXPECT_EQ(driver_.Text(kIdPegFolderEdit), Folder(peg_));

    std::vector<LRESULT> marks;
    for (int i = 0; i < 4; ++i) {
        marks.push_back(driver_.Send(kIdFileList, LB_GETITEMDATA, static_cast<WPARAM>(i)));
    }
    EXPECT_EQ(marks, (std::vector<LRESULT>{0, 0, 0, 1}));
    driver_.SelectEntry(3, LBN_SELCHANGE);
    EXPECT_EQ(driver_.Text(kIdStatus).rfind(L"MAP04.SHP: ", 0), 0u)
        << Utf8Of(driver_.Text(kIdStatus));

    // A double-click shows the map beside what the run made of it.
    driver_.SelectEntry(0, LBN_DBLCLK);
    const HWND preview = FindWindowW(L"DrovanaPreview", nullptr);
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(PreviewCaptions(preview), L"MAP01.SHP: 64 x 48\nMAP01.s16: 64 x 48");
    DestroyWindow(preview);
}

TEST_F(Win32Dialog, CancelEscAndTheCloseBoxStopASlowRunLeavingNoPartialFile) {
    const Bytes big = MakeMap(2048, 2048, MapStyle::kLiterals);
    for (int i = 0; i < 16; ++i) {
        const std::string name = "MAP" + std::to_string(10 + i) + ".SHP";
        WriteBytes(shp_ / name, big);
        maps_[name] = big;
    }
    const struct {
        const char* what;
        std::function<void()> stop;
        bool closes;
    } cases[] = {
        {"Cancel", [&] { driver_.Click(kIdCancel); }, false},
        {"Esc", [&] { driver_.Key(VK_ESCAPE); }, false},
        {"close box", [&] { driver_.Send(0, WM_CLOSE); }, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(peg_);
        fs::create_directory(peg_);
        OpenOn();
        driver_.Click(kIdOk);
        ASSERT_TRUE(
            DialogDriver::PumpUntil([&] { return driver_.Send(kIdProgress, PBM_GETPOS) > 0; }));
        c.stop();
        // Input during the run acts now or never: this click does nothing.
        driver_.Click(kIdUpdateOnly);
        ASSERT_TRUE(DialogDriver::PumpUntil([&] { return !driver_.Dlg().IsRunning(); }));

        EXPECT_EQ(driver_.Window() == nullptr, c.closes);
        if (!c.closes) {
            EXPECT_EQ(driver_.Text(kIdStatus).rfind(L"Stopped: ", 0), 0u);
            EXPECT_EQ(IsDlgButtonChecked(driver_.Window(), kIdUpdateOnly), BST_UNCHECKED);
        }
        EXPECT_LT(NamesIn(peg_).size(), 16u);
        ExpectWholeTargets();
    }
}

TEST_F(Win32Dialog, NoPegFolderWritesNothing) {
    WriteMaps({"MAP01.SHP"});
    const fs::path here = dir_ / "current";
    fs::create_directory(here);
    const fs::path before = fs::current_path();
    fs::current_path(here);
    for (const std::wstring& peg : {std::wstring(), (dir_ / "missing").wstring() + L"\\"}) {
        OpenOn(peg);
        driver_.Run();
        EXPECT_EQ(driver_.Text(kIdStatus), L"The PeG folder does not exist: " + peg);
        EXPECT_EQ(NamesIn(here), std::vector<std::string>{});
        EXPECT_EQ(NamesIn(shp_), std::vector<std::string>{"MAP01.SHP"});
    }
    fs::current_path(before);
}

TEST_F(Win32Dialog, SettingsAreReadAndWrittenBackInTheRegistry) {
    const fs::path peg = dir_ / "peg";
    const struct {
        const char* what;
        std::function<void()> store;
        std::wstring shp, peg;
        bool update;
    } cases[] = {
        {"first start", [] {}, WideOf(GetProgramFolder()), L"", false},
        {"stored",
         [&] {
             settings_.WriteString(kSettingsSectionW, L"Folder", shp_.wstring());
             settings_.WriteInt(kSettingsSectionW, L"Update", 7);
             settings_.WriteString(kSettingsSectionW, L"UpdateFolder", peg.wstring());
         },
         Folder(shp_), Folder(peg), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        driver_.Close();
        RegDeleteTreeW(HKEY_CURRENT_USER, settings_.KeyPath(kSettingsSectionW).c_str());
        c.store();
        driver_.Open();
        EXPECT_EQ(driver_.Text(kIdShpFolderEdit), c.shp);
        EXPECT_EQ(driver_.Text(kIdPegFolderEdit), c.peg);
        EXPECT_EQ(IsDlgButtonChecked(driver_.Window(), kIdUpdateOnly) == BST_CHECKED, c.update);

        // A folder typed but never left is saved too.
        driver_.Focus(kIdPegFolderEdit);
        driver_.SetText(kIdPegFolderEdit, L"C:\\typed");
        driver_.Click(kIdCancel);
        ASSERT_EQ(driver_.Window(), nullptr);
        EXPECT_EQ(settings_.GetString(kSettingsSectionW, L"Folder"), c.shp);
        EXPECT_EQ(settings_.GetString(kSettingsSectionW, L"UpdateFolder"), L"C:\\typed\\");
        DWORD update = 9;
        DWORD bytes = sizeof(update);
        EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, settings_.KeyPath(kSettingsSectionW).c_str(),
                               L"Update", RRF_RT_REG_DWORD, nullptr, &update, &bytes),
                  ERROR_SUCCESS);
        EXPECT_EQ(update, c.update ? 1u : 0u);
    }
}

TEST_F(Win32Dialog, FoldersGivenAtStartServeThisStartAndAreKeptOnlyWhenChanged) {
    const std::wstring stored = L"C:\\stored\\";
    const struct {
        const char* what;
        std::function<void()> change;
        std::wstring saved;
    } cases[] = {
        {"left as given", [] {}, stored},
        {"changed", [&] { driver_.Type(kIdShpFolderEdit, peg_.wstring()); }, Folder(peg_)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        driver_.Close();
        settings_.WriteString(kSettingsSectionW, L"Folder", stored);
        driver_.Open([&](CConvertDlg& dlg) { dlg.SetStartFolders(Utf8Of(shp_.wstring()), ""); });
        EXPECT_EQ(driver_.Text(kIdShpFolderEdit), Folder(shp_));
        c.change();
        driver_.Close();
        EXPECT_EQ(settings_.GetString(kSettingsSectionW, L"Folder"), c.saved);
    }
}

}  // namespace
}  // namespace drovana::test
