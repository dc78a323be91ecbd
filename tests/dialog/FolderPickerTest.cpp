// The two Select... buttons and the folder chooser behind them.
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QPushButton>
#include <QTimer>
#include <filesystem>

#include "DialogTestSupport.h"

namespace drovana::test {
namespace {

namespace fs = std::filesystem;

const QString kShpPrompt = QStringLiteral("Select folder with PG2 picture maps to convert");
const QString kPegPrompt = QStringLiteral("PeG Folder to update");

QString Text(const fs::path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.string()));
}

class FolderPicker : public testing::Test {
protected:
    void SetUp() override {
        fs::create_directory(dir_ / "a");
        fs::create_directory(dir_ / "b");
        dlg_.Open();
        dlg_.SetFolderChooser([this](QWidget* owner, const QString& start, const QString& prompt) {
            asked_.push_back({owner, start, prompt});
            return answer_;
        });
    }

    // Points both folders at folder a, through the fields.
    void StartInA() {
        dlg_.ShpFolder() = FolderText(dir_ / "a");
        dlg_.PegFolder() = FolderText(dir_ / "a");
        dlg_.RefreshFileList();
    }
    QString FileCount() const {
        return qobject_cast<QLabel*>(dlg_.GetDlgItem(kIdFileCount))->text();
    }

    struct Asked {
        QWidget* owner;
        QString start;
        QString prompt;
    };
    SettingsSandbox settings_;
    TempDir dir_;
    LiveDlg dlg_;
    QString answer_;
    std::vector<Asked> asked_;
};

TEST_F(FolderPicker, ButtonsAskOnTheirFolderKeepAChoiceWithSeparatorAndAlwaysRefresh) {
    const struct {
        int button;
        QString answer;     // "" is cancel
        QString shp, peg;   // the fields afterwards
        const char* count;  // maps a holds one, b two
    } cases[] = {
        {kIdShpSelect, Text(dir_ / "b"), FolderText(dir_ / "b"), FolderText(dir_ / "a"), "2 files"},
        {kIdShpSelect, FolderText(dir_ / "b"), FolderText(dir_ / "b"), FolderText(dir_ / "a"),
         "2 files"},
        {kIdShpSelect, QString(), FolderText(dir_ / "a"), FolderText(dir_ / "a"), "1 files"},
        {kIdPegSelect, Text(dir_ / "b"), FolderText(dir_ / "a"), FolderText(dir_ / "b"), "1 files"},
        {kIdPegSelect, QStringLiteral("/"), FolderText(dir_ / "a"), QStringLiteral("/"), "1 files"},
        {kIdPegSelect, QString(), FolderText(dir_ / "a"), FolderText(dir_ / "a"), "1 files"},
    };
    for (const auto& c : cases) {
        fs::remove_all(dir_ / "a");
        fs::remove_all(dir_ / "b");
        fs::create_directory(dir_ / "a");
        fs::create_directory(dir_ / "b");
        StartInA();
        // Added after the last refresh: only a new one shows them.
        WriteBytes(dir_ / "a" / "MAP01.SHP", {});
        WriteBytes(dir_ / "b" / "MAP01.SHP", {});
        WriteBytes(dir_ / "b" / "MAP02.SHP", {});
        answer_ = c.answer;
        asked_.clear();

        QTest::mouseClick(dlg_.GetDlgItem(c.button), Qt::LeftButton);
        ASSERT_EQ(asked_.size(), 1u);
        EXPECT_EQ(asked_[0].owner, &dlg_);
        EXPECT_EQ(asked_[0].start, FolderText(dir_ / "a"));
        EXPECT_EQ(asked_[0].prompt, c.button == kIdShpSelect ? kShpPrompt : kPegPrompt);
        EXPECT_EQ(dlg_.ShpFolder(), c.shp) << c.button << " " << c.answer.toStdString();
        EXPECT_EQ(dlg_.PegFolder(), c.peg) << c.button << " " << c.answer.toStdString();
        EXPECT_EQ(FileCount(), QLatin1String(c.count));
        EXPECT_EQ(dlg_.Edit(c.button == kIdShpSelect ? kIdShpFolderEdit : kIdPegFolderEdit)->text(),
                  c.button == kIdShpSelect ? c.shp : c.peg);
    }
}

TEST_F(FolderPicker, OpensOnTheNearestFolderThatExistsAboveAMissingOne) {
    WriteBytes(dir_ / "a" / "MAP01.SHP", {1});
    for (const QString& missing :
         {Text(dir_ / "a" / "gone" / "deeper") + '/', Text(dir_ / "a" / "MAP01.SHP")}) {
        dlg_.BrowseForFolder(missing, kShpPrompt);
        EXPECT_EQ(asked_.back().start, Text(dir_ / "a"));
    }
}

TEST_F(FolderPicker, OpensOnTheCurrentFolderWhenTheFieldIsEmptyWithADefaultPrompt) {
    dlg_.BrowseForFolder(QString(), QString());
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].start, QDir::currentPath());
    EXPECT_EQ(asked_[0].prompt, QStringLiteral("Select Folder"));
}

// The platform's own chooser, answered the way a user would: choosing a
// folder or cancelling.
TEST(FolderPickerDialog, OffersFoldersOnlyOpensOnTheFolderAndReturnsTheChoice) {
    const SettingsSandbox settings;
    const TempDir dir;
    fs::create_directory(dir / "start");
    fs::create_directory(dir / "chosen");
    LiveDlg dlg;
    dlg.Open();

    for (const bool choose : {true, false}) {
        QString title, opened;
        bool foldersOnly = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!chooser || !chooser->isVisible()) {
                return;
            }
            poll.stop();
            title = chooser->windowTitle();
            opened = chooser->directory().absolutePath();
            // Folders are chosen; maps and pictures show, greyed.
            foldersOnly = chooser->fileMode() == QFileDialog::Directory &&
                          !chooser->testOption(QFileDialog::ShowDirsOnly) &&
                          chooser->nameFilters().join(' ').contains(QStringLiteral("*.shp"));
            auto* buttons = chooser->findChild<QDialogButtonBox*>();
            ASSERT_NE(buttons, nullptr);
            if (choose) {
                chooser->setDirectory(Text(dir / "chosen"));
                QTest::mouseClick(buttons->button(QDialogButtonBox::Open), Qt::LeftButton);
            } else {
                QTest::mouseClick(buttons->button(QDialogButtonBox::Cancel), Qt::LeftButton);
            }
        });
        poll.start(10);
        const QString result = dlg.BrowseForFolder(Text(dir / "start"), kPegPrompt);
        poll.stop();
        EXPECT_EQ(title, kPegPrompt);
        EXPECT_EQ(opened, Text(dir / "start"));
        EXPECT_TRUE(foldersOnly);
        EXPECT_EQ(result, choose ? FolderText(dir / "chosen") : QString());
    }
}

}  // namespace
}  // namespace drovana::test
