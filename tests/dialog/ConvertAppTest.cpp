#include <gtest/gtest.h>
#include <QApplication>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include "ConvertApp.h"
#include "ConvertDlg.h"
#include "ConvertDlgLayout.h"
#include "DialogTestSupport.h"
#include "Settings.h"

namespace drovana::test {
namespace {

TEST(ConvertApp, RunsOneModalDialogUnderTheSettingsRootAndEndsWhenItCloses) {
    const SettingsSandbox settings;
    // Stored where the program files its settings: root "Quenmoor", the
    // test program's own name.
    SetSettingsRoot(QString::fromLatin1(kSettingsRoot), QCoreApplication::applicationFilePath());
    {
        QSettings stored;
        stored.setValue(QStringLiteral("Settings/UpdateFolder"), QStringLiteral("/maps/peg/"));
    }
    // Start from another root: the program must name its own before loading.
    QCoreApplication::setOrganizationName(QStringLiteral("elsewhere"));
    QCoreApplication::setApplicationName(QStringLiteral("elsewhere"));

    QString loaded;
    bool pointerSet = false;
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<CConvertDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        pointerSet = g_pMainDlg == dlg;
        loaded = qobject_cast<QLineEdit*>(dlg->GetDlgItem(kIdPegFolderEdit))->text();
        QTest::mouseClick(dlg->GetDlgItem(kIdCancel), Qt::LeftButton);
    });
    auto* app = static_cast<CConvertApp*>(QCoreApplication::instance());
    EXPECT_FALSE(app->InitInstance());

    EXPECT_TRUE(pointerSet);
    EXPECT_EQ(g_pMainDlg, nullptr);
    EXPECT_EQ(loaded, QStringLiteral("/maps/peg/"));
    EXPECT_EQ(QCoreApplication::organizationName(), QStringLiteral("Quenmoor"));
    // Saved on the way out.
    EXPECT_TRUE(QSettings().contains(QStringLiteral("Settings/Folder")));
}

TEST(ConvertApp, IgnoresCommandLine) {
    // The test program was started with -reverse added; Qt never saw it.
    EXPECT_EQ(QCoreApplication::arguments().size(), 1);
    EXPECT_EQ(QGuiApplication::layoutDirection(), Qt::LeftToRight);
}

TEST(ConvertApp, ReportsItsVersion) {
    EXPECT_EQ(QCoreApplication::applicationVersion(), QStringLiteral("1.0.0.1"));
    EXPECT_FALSE(QGuiApplication::windowIcon().isNull());
}

}  // namespace
}  // namespace drovana::test
