#include <QCheckBox>
#include <optional>

#include "DialogTestSupport.h"
#include "FileChecks.h"

namespace drovana::test {
namespace {

QString ProgramFolder() {
    return QString::fromLocal8Bit(GetProgramFolder().c_str());
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
