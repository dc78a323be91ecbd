#include <gtest/gtest.h>
#include <QCheckBox>
#include <QLineEdit>
#include <QSettings>
#include <QVariant>
#include <optional>
#include <string>

#include "ConvertDlgLayout.h"
#include "DialogTestSupport.h"
#include "FileChecks.h"
#include "Settings.h"

namespace drovana::test {
namespace {

using Calls = std::vector<std::string>;

QString ProgramFolder() {
    return QString::fromLocal8Bit(GetProgramFolder().c_str());
}

void Store(const char* entry, const QVariant& value) {
    QSettings settings;
    settings.beginGroup(QStringLiteral("Settings"));
    settings.setValue(QLatin1String(entry), value);
}

class ConvertDlgSettingsTest : public testing::Test {
protected:
    void SetUp() override {
        SetSettingsRoot(QString::fromLatin1(kSettingsRoot), QStringLiteral("/opt/drovana/drovana"));
    }
    SettingsSandbox settings_;
};

TEST_F(ConvertDlgSettingsTest, OpeningLoadsTheSettingsOnceBeforeTheFirstListRefresh) {
    Store("Folder", QStringLiteral("/maps/pg2/"));
    Store("Update", 1);
    Store("UpdateFolder", QStringLiteral("/maps/peg/"));

    ProbeDlg dlg;
    EXPECT_TRUE(dlg.ShpFolder().isEmpty()) << "loaded before the dialog opened";
    dlg.Open();

    EXPECT_EQ(dlg.calls, Calls{"RefreshFileList"});
    EXPECT_EQ(dlg.shpFolderAtRefresh, QStringLiteral("/maps/pg2/"));
    EXPECT_TRUE(dlg.updateOnlyAtRefresh);
    EXPECT_EQ(dlg.pegFolderAtRefresh, QStringLiteral("/maps/peg/"));
    EXPECT_TRUE(dlg.iconSetAtRefresh);
    EXPECT_TRUE(dlg.tipsOnAtRefresh);

    // The refresh ends by showing the fields in the controls.
    EXPECT_EQ(dlg.Edit(kIdShpFolderEdit)->text(), QStringLiteral("/maps/pg2/"));
    EXPECT_EQ(dlg.Edit(kIdPegFolderEdit)->text(), QStringLiteral("/maps/peg/"));
    EXPECT_TRUE(qobject_cast<QCheckBox*>(dlg.GetDlgItem(kIdUpdateOnly))->isChecked());
}

TEST_F(ConvertDlgSettingsTest, FirstStartUsesTheProgramFolderAndNothingElse) {
    {
        ProbeDlg dlg;
        dlg.Open();
        EXPECT_EQ(dlg.ShpFolder(), ProgramFolder());
        EXPECT_FALSE(dlg.UpdateOnly());
        EXPECT_EQ(dlg.PegFolder(), QString());
        dlg.reject();
    }
    const QString stored = SettingsSandbox::FileText();
    EXPECT_TRUE(stored.contains(QStringLiteral("[Settings]"))) << stored.toStdString();
    EXPECT_TRUE(stored.contains(QStringLiteral("\nUpdate=0\n"))) << stored.toStdString();
    EXPECT_TRUE(stored.contains(QStringLiteral("\nUpdateFolder=\n"))) << stored.toStdString();
}

TEST_F(ConvertDlgSettingsTest, StoredValuesReadWithDefaultsAndAreWrittenBackNormalised) {
    const struct {
        std::optional<QVariant> folder, update, updateFolder;
        QString shp;
        bool updateOnly;
        QString peg;
        const char* writtenUpdate;
    } cases[] = {
        {QStringLiteral("/a/"), 7, QStringLiteral("/b/"), QStringLiteral("/a/"), true,
         QStringLiteral("/b/"), "Update=1"},
        {QStringLiteral("/a/"), -1, {}, QStringLiteral("/a/"), true, QString(), "Update=1"},
        {QStringLiteral("/a/"), 0, {}, QStringLiteral("/a/"), false, QString(), "Update=0"},
        {QStringLiteral("/a/"),
         QStringLiteral("not a number"),
         {},
         QStringLiteral("/a/"),
         false,
         QString(),
         "Update=0"},
        // An empty folder is not kept empty: the program's folder replaces it.
        {QString(),
         {},
         QStringLiteral("/b/"),
         ProgramFolder(),
         false,
         QStringLiteral("/b/"),
         "Update=0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "stored Update "
                     << (c.update ? c.update->toString().toStdString() : "absent"));
        const SettingsSandbox settings;
        if (c.folder) {
            Store("Folder", *c.folder);
        }
        if (c.update) {
            Store("Update", *c.update);
        }
        if (c.updateFolder) {
            Store("UpdateFolder", *c.updateFolder);
        }
        {
            ProbeDlg dlg;
            dlg.Open();
            EXPECT_EQ(dlg.ShpFolder(), c.shp);
            EXPECT_EQ(dlg.UpdateOnly(), c.updateOnly);
            EXPECT_EQ(dlg.PegFolder(), c.peg);
        }
        // A number, never the text "true" that a stored bool would give.
        EXPECT_TRUE(SettingsSandbox::FileText().contains(QLatin1String(c.writtenUpdate)))
            << SettingsSandbox::FileText().toStdString();
    }
}

TEST_F(ConvertDlgSettingsTest, DataExchangeCopiesTextsBothWaysUnchecked) {
    const QString texts[] = {
        QString(),
        QStringLiteral("no separator"),
        QStringLiteral("  spaced  /"),
        QStringLiteral("/\u00e9t\u00e9/cartes/"),
        QString(300, QLatin1Char('x')),
    };
    ProbeDlg dlg;
    dlg.Open();
    for (const QString& text : texts) {
        dlg.ShpFolder() = text;
        dlg.PegFolder() = text + QStringLiteral("peg");
        dlg.UpdateOnly() = !dlg.UpdateOnly();
        const bool written = dlg.UpdateOnly();
        dlg.WriteControls();
        EXPECT_EQ(dlg.Edit(kIdShpFolderEdit)->text(), text);
        EXPECT_EQ(dlg.Edit(kIdPegFolderEdit)->text(), text + QStringLiteral("peg"));

        dlg.Edit(kIdShpFolderEdit)->setText(QStringLiteral("typed ") + text);
        dlg.Edit(kIdPegFolderEdit)->setText(text);
        qobject_cast<QCheckBox*>(dlg.GetDlgItem(kIdUpdateOnly))->setChecked(!written);
        dlg.ReadControls();
        EXPECT_EQ(dlg.ShpFolder(), QStringLiteral("typed ") + text);
        EXPECT_EQ(dlg.PegFolder(), text);
        EXPECT_EQ(dlg.UpdateOnly(), !written);
    }
}

TEST(SettingsName, IsTheExecutableNameWithoutFolderAndLastExtension) {
    const struct {
        const char* path;
        const char* name;
    } cases[] = {
        {"/usr/bin/drovana", "drovana"},
        {"C:/Program Files/Drovana/Drovana.EXE", "Drovana"},
        {"C:/Tools/my.tool.exe", "my.tool"},
        {"/opt/maps/drovana-old", "drovana-old"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ApplicationNameFor(QLatin1String(c.path)), QLatin1String(c.name)) << c.path;
    }
}

TEST(SettingsName, AnotherExecutableNameStartsWithDefaultsInAnotherFile) {
    const SettingsSandbox settings;
    SetSettingsRoot(QString::fromLatin1(kSettingsRoot), QStringLiteral("/opt/drovana/drovana"));
    const QString first = QSettings().fileName();
    {
        ProbeDlg dlg;
        dlg.Open();
        dlg.ShpFolder() = QStringLiteral("/maps/pg2/");
        dlg.UpdateOnly() = true;
        dlg.reject();
    }

    SetSettingsRoot(QString::fromLatin1(kSettingsRoot), QStringLiteral("/opt/drovana/my.tool.exe"));
    const QString second = QSettings().fileName();
    EXPECT_NE(first, second);
    EXPECT_TRUE(first.endsWith(QStringLiteral("/Quenmoor/drovana.ini"))) << first.toStdString();
    EXPECT_TRUE(second.endsWith(QStringLiteral("/Quenmoor/my.tool.ini"))) << second.toStdString();

    ProbeDlg dlg;
    dlg.Open();
    EXPECT_EQ(dlg.ShpFolder(), ProgramFolder());
    EXPECT_FALSE(dlg.UpdateOnly());
}

}  // namespace
}  // namespace drovana::test
