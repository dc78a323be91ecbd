#include <QTimer>

#include "ConvertApp.h"
#include "DialogTestSupport.h"

namespace drovana::test {
namespace {

TEST(ConvertApp, NamesTheSettingsRootThenRunsOneModalDialogAndEndsWhenItCloses) {
    const SettingsSandbox settings;
    // Stored where the program files its own settings, then looked at from elsewhere:
    // the program must name its root before the dialog loads.
    SetSettingsRoot(QString::fromLatin1(kSettingsRoot), QCoreApplication::applicationFilePath());
    QSettings().setValue(QStringLiteral("Settings/UpdateFolder"), QStringLiteral("/maps/peg/"));
    SetSettingsRoot(QStringLiteral("elsewhere"), QStringLiteral("elsewhere"));

    QString loaded;
    bool running = false;
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<CConvertDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        running = g_pMainDlg == dlg;
        loaded = qobject_cast<QLineEdit*>(dlg->GetDlgItem(kIdPegFolderEdit))->text();
        QTest::mouseClick(dlg->GetDlgItem(kIdCancel), Qt::LeftButton);
    });
    EXPECT_FALSE(static_cast<CConvertApp*>(QCoreApplication::instance())->InitInstance());
    EXPECT_TRUE(running);
    EXPECT_EQ(g_pMainDlg, nullptr);
    EXPECT_EQ(loaded, QStringLiteral("/maps/peg/"));
    EXPECT_TRUE(QSettings().contains(QStringLiteral("Settings/Folder")));  // saved on the way out
}

TEST(ConvertApp, PassesNoCommandLineOptionOnToQt) {
    // The test program hands it -reverse, which would mirror every widget.
    EXPECT_EQ(QCoreApplication::arguments().size(), 1);
    EXPECT_EQ(QGuiApplication::layoutDirection(), Qt::LeftToRight);
    EXPECT_EQ(QCoreApplication::applicationVersion(), QStringLiteral("1.0.0.1"));
}

}  // namespace
}  // namespace drovana::test
