#include <QDir>
#include <QTimer>

#include "ConvertApp.h"
#include "DialogTestSupport.h"

namespace drovana::test {
namespace {

QString Stored(const char* entry) {
    return QSettings().value(QStringLiteral("Settings/") + QLatin1String(entry)).toString();
}

TEST(StartFolders, ReplaceTheStoredOnesForThisOpeningAndAreSavedOnlyWhenChanged) {
    const QString none;
    const QString a = QStringLiteral("/a/");
    const QString b = QStringLiteral("/b/");
    const struct {
        QString startShp, startPeg;
        QString userShp;  // what the user put in the SHP field, if anything
        QString shownShp, shownPeg;
        QString savedShp, savedPeg;
    } cases[] = {
        {QStringLiteral("/maps"), QStringLiteral("/peg/"), none, QStringLiteral("/maps/"),
         QStringLiteral("/peg/"), a, b},
        {QStringLiteral("/maps"), none, none, QStringLiteral("/maps/"), b, a, b},
        {none, QStringLiteral("/peg"), none, a, QStringLiteral("/peg/"), a, b},
        {QStringLiteral("/maps"), QStringLiteral("/peg"), QStringLiteral("/mine/"),
         QStringLiteral("/maps/"), QStringLiteral("/peg/"), QStringLiteral("/mine/"), b},
        {none, none, none, a, b, a, b},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.startShp.toStdString() + " " + c.startPeg.toStdString());
        const SettingsSandbox settings;
        QSettings().setValue(QStringLiteral("Settings/Folder"), a);
        QSettings().setValue(QStringLiteral("Settings/UpdateFolder"), b);
        {
            LiveDlg dlg;
            dlg.SetStartFolders(c.startShp, c.startPeg);
            dlg.Open();
            EXPECT_EQ(dlg.Edit(kIdShpFolderEdit)->text(), c.shownShp);
            EXPECT_EQ(dlg.Edit(kIdPegFolderEdit)->text(), c.shownPeg);
            if (!c.userShp.isEmpty()) {
                dlg.ShpFolder() = c.userShp;
            }
        }
        EXPECT_EQ(Stored("Folder"), c.savedShp);
        EXPECT_EQ(Stored("UpdateFolder"), c.savedPeg);
    }
}

TEST(StartFolders, GivenRelativeReachTheProgramsDialogAsAbsoluteFolders) {
    const SettingsSandbox settings;
    auto* app = static_cast<CConvertApp*>(QCoreApplication::instance());
    app->SetStartFolders({"maps", "/peg"});
    QString shown;
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<CConvertDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        shown = qobject_cast<QLineEdit*>(dlg->GetDlgItem(kIdShpFolderEdit))->text() + "|" +
                qobject_cast<QLineEdit*>(dlg->GetDlgItem(kIdPegFolderEdit))->text();
        dlg->reject();
    });
    app->InitInstance();
    app->SetStartFolders({});
    EXPECT_EQ(shown, QDir::currentPath() + QStringLiteral("/maps/|/peg/"));
}

}  // namespace
}  // namespace drovana::test
