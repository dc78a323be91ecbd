#include <QCheckBox>
#include <filesystem>
#include <optional>

#include "BatchRules.h"
#include "ChildProcess.h"
#include "DialogTestSupport.h"
#include "FileChecks.h"
#include "NativeText.h"
#include "ShpBuilder.h"

namespace drovana::test {
namespace {

namespace fs = std::filesystem;

QString ProgramFolder() {
    return FromNative(GetProgramFolder());
}

void Store(const char* entry, const std::optional<QVariant>& value) {
    if (value) {
        QSettings().setValue(QStringLiteral("Settings/") + QLatin1String(entry), *value);
    }
}

TEST(ConvertDlgSettings, LoadedOnOpeningBeforeTheFirstListRefreshWhichShowsThem) {
    const SettingsSandbox settings;
    Store("Folder", QStringLiteral("/maps/pg2/"));
    Store("Update", 1);
    ProbeDlg dlg;
    EXPECT_EQ(dlg.ShpFolder(), QString());
    dlg.Open();
    EXPECT_EQ(dlg.calls, std::vector<std::string>{"RefreshFileList"});
    EXPECT_EQ(dlg.shpFieldAtRefresh, QStringLiteral("/maps/pg2/"));
    EXPECT_EQ(dlg.Edit(kIdShpFolderEdit)->text(), QStringLiteral("/maps/pg2/"));
    EXPECT_TRUE(qobject_cast<QCheckBox*>(dlg.GetDlgItem(kIdUpdateOnly))->isChecked());
}

TEST(ConvertDlgSettings, ReadWithDefaultsAndWrittenBackWithUpdateAsOneOrZero) {
    const struct {
        std::optional<QVariant> folder, update, updateFolder;
        QString shp;
        bool updateOnly;
        QString peg;
    } cases[] = {
        {{}, {}, {}, ProgramFolder(), false, {}},  // first start
        {QStringLiteral("/a/"), 7, QStringLiteral("/b/"), QStringLiteral("/a/"), true, "/b/"},
        {QStringLiteral("/a/"), -1, {}, QStringLiteral("/a/"), true, {}},
        {QStringLiteral("/a/"), 0, {}, QStringLiteral("/a/"), false, {}},
        {QStringLiteral("/a/"), QStringLiteral("true"), {}, QStringLiteral("/a/"), false, {}},
        // Stored empty, the folder is not kept empty.
        {QString(), 1, {}, ProgramFolder(), true, {}},
        // Stored without their separator, folders get it as a confirmed edit
        // does: "/x/peg" must not name "/x/pegMAP01.s16".
        {QStringLiteral("/x/pg2"), 0, QStringLiteral("/x/peg"), QStringLiteral("/x/pg2/"), false,
         "/x/peg/"},
    };
    for (const auto& c : cases) {
        const SettingsSandbox settings;
        Store("Folder", c.folder);
        Store("Update", c.update);
        Store("UpdateFolder", c.updateFolder);
        {
            ProbeDlg dlg;
            dlg.Open();
            EXPECT_EQ(dlg.ShpFolder(), c.shp);
            EXPECT_EQ(dlg.UpdateOnly(), c.updateOnly);
            EXPECT_EQ(dlg.PegFolder(), c.peg);
        }
        QSettings stored;
        EXPECT_EQ(stored.value(QStringLiteral("Settings/Folder")), c.shp);
        EXPECT_EQ(stored.value(QStringLiteral("Settings/UpdateFolder")), c.peg);
        // A number, never the text "true" that a stored bool would give.
        EXPECT_TRUE(SettingsSandbox::FileText().contains(
            QStringLiteral("\nUpdate=%1\n").arg(c.updateOnly ? 1 : 0)));
    }
}

// Nothing stored and no maps in the program's folder, as installed: the
// dialog opens on the user's own copy of the samples, made once.
TEST(ConvertDlgSettings, AFirstStartWithoutMapsOpensOnTheUsersCopyOfTheSamples) {
    const TempDir data, system;
    const QByteArray home = qgetenv("XDG_DATA_HOME"), dirs = qgetenv("XDG_DATA_DIRS");
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(data.Path().string()));
    qputenv("XDG_DATA_DIRS", QByteArray::fromStdString(system.Path().string()));
    const fs::path installed = system / "drovana" / "samples" / "maps";
    fs::create_directories(installed);
    WriteBytes(installed / "MAP01.SHP", MakeMap(8, 4, MapStyle::kMixed));
    const fs::path copy = data / "drovana" / "samples";
    for (int start = 0; start < 2; ++start) {
        const SettingsSandbox settings;
        LiveDlg dlg;
        dlg.Open();
        EXPECT_EQ(dlg.ShpFolder(), FolderText(copy / "maps"));
        EXPECT_EQ(dlg.PegFolder(), FolderText(copy / "peg"));
        ASSERT_EQ(dlg.List()->count(), 1);
        EXPECT_EQ(dlg.List()->item(0)->text(), QStringLiteral("MAP01.SHP"));
        EXPECT_EQ(qobject_cast<QLabel*>(dlg.GetDlgItem(kIdStatus))->text(),
                  "Opened on your own copy of the sample maps: " + FolderText(copy / "maps"));
        EXPECT_TRUE(fs::is_empty(copy / "peg"));
        // Copied once: samples installed later leave the user's copy alone.
        fs::remove(installed / "MAP01.SHP");
        WriteBytes(installed / "MAP02.SHP", MakeMap(8, 4, MapStyle::kMixed));
    }
    qputenv("XDG_DATA_HOME", home);
    qputenv("XDG_DATA_DIRS", dirs);
}

// Run by the next test from a folder named with bytes that are not UTF-8.
TEST(ConvertDlgSettings, FirstStartListsTheProgramFolderAndSavesItAsItsBytes) {
    const std::string folder = GetProgramFolder();
    std::vector<std::uint8_t> saved;
    {
        const SettingsSandbox settings;
        LiveDlg dlg;
        dlg.Open();
        EXPECT_EQ(ToNative(dlg.ShpFolder()), folder);
        EXPECT_EQ(dlg.List()->count(),
                  static_cast<int>(ListCandidates(folder, "", false).names.size()));
        dlg.PegFolder() = dlg.ShpFolder();  // an entry without a default
        dlg.WriteControls();                // closing saves what the edits hold
        dlg.close();
        saved = ReadBytes(QSettings().fileName().toStdString());
    }
    // Qt keeps the settings it wrote in memory; a file new to it is read from disk.
    const SettingsSandbox settings;
    const fs::path file = QSettings().fileName().toStdString();
    fs::create_directories(file.parent_path());
    WriteBytes(file, saved);
    ProbeDlg dlg;
    dlg.Open();
    EXPECT_EQ(ToNative(dlg.ShpFolder()), folder);
    EXPECT_EQ(ToNative(dlg.PegFolder()), folder);
}

TEST(ConvertDlgSettings, AProgramFolderNamedWithBytesThatAreNotUtf8IsListedAndSaved) {
    const TempDir dir;
    const fs::path folder = dir / "maps \xe9";
    fs::create_directory(folder);
    WriteBytes(folder / "MAP01.SHP", MakeMap(8, 4, MapStyle::kMixed));
    fs::copy_file("/proc/self/exe", folder / "dialog_tests");
    const ProgramRun run =
        RunProgram({(folder / "dialog_tests").string(),
                    "--gtest_filter=ConvertDlgSettings.FirstStartListsTheProgramFolder*"});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("[  PASSED  ] 1 test."), std::string::npos) << run.out;
}

TEST(SettingsName, IsTheExecutableNameWithoutFolderAndLastExtension) {
    EXPECT_EQ(ApplicationNameFor(QStringLiteral("/usr/bin/drovana")), "drovana");
    EXPECT_EQ(ApplicationNameFor(QStringLiteral("C:/Drovana/Drovana.EXE")), "Drovana");
    EXPECT_EQ(ApplicationNameFor(QStringLiteral("C:/Tools/my.tool.exe")), "my.tool");
}

TEST(SettingsName, AnotherExecutableNameStartsWithDefaultsInAFileOfItsOwn) {
    const SettingsSandbox settings;
    const QString first = QSettings().fileName();
    {
        ProbeDlg dlg;
        dlg.Open();
        dlg.UpdateOnly() = true;
    }
    SetSettingsRoot(QString::fromLatin1(kSettingsRoot), QStringLiteral("/opt/x/my.tool.exe"));
    EXPECT_TRUE(first.endsWith(QStringLiteral("/Quenmoor/drovana.ini"))) << first.toStdString();
    EXPECT_TRUE(QSettings().fileName().endsWith(QStringLiteral("/Quenmoor/my.tool.ini")));
    ProbeDlg dlg;
    dlg.Open();
    EXPECT_FALSE(dlg.UpdateOnly());
}

}  // namespace
}  // namespace drovana::test
