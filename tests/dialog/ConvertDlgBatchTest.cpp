// The dialog's whole job on real files: folders typed into the edits, the list
// they give, OK, and the S16 files it writes.
#include <QCheckBox>
#include <QPushButton>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <system_error>

#include "ChildProcess.h"
#include "DialogTestSupport.h"
#include "HardeningSupport.h"
#include "S16Bytes.h"
#include "ShpBuilder.h"

namespace drovana::test {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

const QString kPrompt = QStringLiteral("Select desired options and press OK button to convert");

Bytes MapBytes(std::uint32_t seed) {
    return MakeMap(40, 12, MapStyle::kMixed, seed);
}

QString Text(const fs::path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.string()));
}

class ConvertDlgBatch : public DialogWithFolders {
protected:
    // Types over the edit's text as a user would, leaving the focus in it.
    void Type(int id, const QString& text) {
        QWidget* edit = dlg_.GetDlgItem(id);
        QTest::mouseClick(edit, Qt::LeftButton);
        ASSERT_EQ(QApplication::focusWidget(), edit);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
    // Types a folder and tabs out of the edit.
    void SetFolder(int id, const QString& text) {
        Type(id, text);
        QTest::keyClick(dlg_.GetDlgItem(id), Qt::Key_Tab);
    }
    void UseFolders() {
        SetFolder(kIdShpFolderEdit, Text(shp_));
        SetFolder(kIdPegFolderEdit, Text(peg_));
    }
    void SetUpdateOnly(bool on) {
        if (UpdateOnlyBox()->isChecked() != on) {
            QTest::mouseClick(UpdateOnlyBox(), Qt::LeftButton);
        }
        ASSERT_EQ(UpdateOnlyBox()->isChecked(), on);
    }
    void ClickOk() { QTest::mouseClick(dlg_.GetDlgItem(kIdOk), Qt::LeftButton); }

    QCheckBox* UpdateOnlyBox() const {
        return qobject_cast<QCheckBox*>(dlg_.GetDlgItem(kIdUpdateOnly));
    }
    QString EditText(int id) const { return qobject_cast<QLineEdit*>(dlg_.GetDlgItem(id))->text(); }
    QString LabelText(int id) const { return qobject_cast<QLabel*>(dlg_.GetDlgItem(id))->text(); }
    bool OkEnabled() const { return dlg_.GetDlgItem(kIdOk)->isEnabled(); }
    QStringList Listed() const {
        QStringList names;
        for (int i = 0; i < dlg_.List()->count(); ++i) {
            names << dlg_.List()->item(i)->text();
        }
        return names;
    }
    Bytes WriteMap(const fs::path& path, std::uint32_t seed) {
        const Bytes bytes = MapBytes(seed);
        WriteBytes(path, bytes);
        return bytes;
    }
};

TEST_F(ConvertDlgBatch, OkConvertsEveryListedMapByteForByteAndUpdateOnlyThenDropsThem) {
    const Bytes map01 = WriteMap(shp_ / "MAP01.SHP", 1);
    const Bytes map02 = WriteMap(shp_ / "map02.shp", 2);
    const Bytes map03 = WriteMap(shp_ / "Map03.Shp", 3);
    WriteBytes(shp_ / "notes.txt", {1, 2, 3});
    UseFolders();
    SetUpdateOnly(true);
    EXPECT_EQ(Listed(), (QStringList{"MAP01.SHP", "map02.shp", "Map03.Shp"}));
    EXPECT_EQ(LabelText(kIdFileCount), QStringLiteral("3 files"));
    EXPECT_TRUE(OkEnabled());
    EXPECT_TRUE(dlg_.List()->selectedItems().isEmpty());

    ClickOk();
    EXPECT_EQ(NamesIn(peg_), (std::vector<std::string>{"MAP01.s16", "Map03.s16", "map02.s16"}));
    EXPECT_EQ(ReadBytes(peg_ / "MAP01.s16"), S16Of(map01));
    EXPECT_EQ(ReadBytes(peg_ / "map02.s16"), S16Of(map02));
    EXPECT_EQ(ReadBytes(peg_ / "Map03.s16"), S16Of(map03));
    // Every map has its S16 now.
    EXPECT_EQ(Listed(), QStringList());
    EXPECT_EQ(LabelText(kIdFileCount), QStringLiteral("0 files"));
    EXPECT_EQ(LabelText(kIdStatus), QStringLiteral("3 files converted"));
    EXPECT_FALSE(OkEnabled());
    EXPECT_FALSE(dlg_.Bar()->isVisible());
    EXPECT_EQ(EditText(kIdShpFolderEdit), Text(shp_) + '/');
    EXPECT_EQ(EditText(kIdPegFolderEdit), Text(peg_) + '/');

    // Without the switch the same maps are listed again and a second run
    // replaces their S16 files.
    SetUpdateOnly(false);
    EXPECT_EQ(Listed().size(), 3);
    const Bytes changed = WriteMap(shp_ / "map02.shp", 22);
    ClickOk();
    EXPECT_EQ(ReadBytes(peg_ / "map02.s16"), S16Of(changed));
    EXPECT_EQ(Listed().size(), 3);
    EXPECT_EQ(NamesIn(peg_).size(), 3u);
}

TEST_F(ConvertDlgBatch, ListsMapsAndCounterpartsWithoutRegardToCase) {
    const struct {
        std::vector<const char*> maps;
        std::vector<const char*> s16s;
        bool updateOnly;
        QStringList listed;
        const char* count;
    } cases[] = {
        {{"b.SHP", "a.shp", "C.Shp", "a.txt", "d.shp.old", "shp"},
         {},
         false,
         {"a.shp", "b.SHP", "C.Shp"},
         "3 files"},
        {{"b.SHP", "a.shp", "C.Shp"}, {"A.S16", "b.s16", "C.s16.old"}, true, {"C.Shp"}, "1 files"},
        {{}, {}, false, {}, "0 files"},
    };
    for (const auto& c : cases) {
        const TempDir dir;
        fs::create_directory(dir / "shp");
        fs::create_directory(dir / "peg");
        for (const char* name : c.maps) {
            WriteBytes(dir / "shp" / name, {});
        }
        for (const char* name : c.s16s) {
            WriteBytes(dir / "peg" / name, {});
        }
        SetFolder(kIdShpFolderEdit, Text(dir / "shp"));
        SetFolder(kIdPegFolderEdit, Text(dir / "peg"));
        SetUpdateOnly(c.updateOnly);
        EXPECT_EQ(Listed(), c.listed) << c.count;
        EXPECT_EQ(LabelText(kIdFileCount), QLatin1String(c.count));
        EXPECT_EQ(LabelText(kIdStatus), kPrompt);
        EXPECT_EQ(OkEnabled(), !c.listed.isEmpty());
    }
}

TEST_F(ConvertDlgBatch, LeavingAFolderEditCompletesTheFolderAndListsIt) {
    WriteBytes(shp_ / "MAP01.SHP", {});
    WriteBytes(peg_ / "map01.s16", {});
    SetUpdateOnly(true);
    const struct {
        int edit;
        QString typed;
        QString shown;
        QStringList listed;
    } cases[] = {
        {kIdShpFolderEdit, Text(shp_), Text(shp_) + '/', {"MAP01.SHP"}},
        {kIdPegFolderEdit, Text(peg_), Text(peg_) + '/', {}},
        // An empty folder stays empty: it names no folder, not the root.
        {kIdPegFolderEdit, QString(), QString(), {"MAP01.SHP"}},
    };
    for (const auto& c : cases) {
        SetFolder(c.edit, c.typed);
        EXPECT_EQ(EditText(c.edit), c.shown);
        EXPECT_EQ(Listed(), c.listed) << c.typed.toStdString();
    }
}

TEST_F(ConvertDlgBatch, FailedFilesAreCountedInTheStatusLineUntilTheNextRefresh) {
    WriteMap(shp_ / "MAP01.SHP", 1);
    WriteBytes(shp_ / "MAP02.SHP", {1, 2, 3});  // too short for its headers
    WriteMap(shp_ / "MAP03.SHP", 3);
    WriteBytes(shp_ / "MAP04.SHP", {});
    UseFolders();
    SetUpdateOnly(true);

    ClickOk();
    EXPECT_EQ(LabelText(kIdStatus), QStringLiteral("2 of 4 files could not be converted"));
    EXPECT_EQ(NamesIn(peg_), (std::vector<std::string>{"MAP01.s16", "MAP03.s16"}));
    EXPECT_EQ(Listed(), (QStringList{"MAP02.SHP", "MAP04.SHP"}));
    EXPECT_EQ(LabelText(kIdFileCount), QStringLiteral("2 files"));

    SetUpdateOnly(false);
    EXPECT_EQ(LabelText(kIdStatus), kPrompt);
}

// The run guards its folders as a batch of shp2s16 does: a target that is
// its own source is refused, and a link that points nowhere (so has no owner
// to match) is not followed out of the PeG folder.
TEST_F(ConvertDlgBatch, TheRunRefusesItsSourceAsTargetAndLinksItCannotVouchFor) {
    const Bytes first = WriteMap(shp_ / "MAP01.SHP", 1);
    WriteMap(shp_ / "MAP02.SHP", 2);
    const Bytes third = WriteMap(shp_ / "MAP03.SHP", 3);
    fs::create_symlink("../pg2/MAP01.SHP", peg_ / "MAP01.s16");
    fs::create_directory(dir_ / "elsewhere");
    fs::create_symlink("../elsewhere/planted.s16", peg_ / "MAP02.s16");
    UseFolders();

    ClickOk();
    EXPECT_EQ(LabelText(kIdStatus), QStringLiteral("2 of 3 files could not be converted"));
    EXPECT_EQ(ReadBytes(shp_ / "MAP01.SHP"), first);
    EXPECT_EQ(NamesIn(dir_ / "elsewhere"), std::vector<std::string>{});
    EXPECT_EQ(ReadBytes(peg_ / "MAP03.s16"), S16Of(third));
}

TEST_F(ConvertDlgBatch, EnterInAnEditRunsWithTheTypedFolderCompleted) {
    const Bytes map = WriteMap(shp_ / "MAP01.SHP", 1);
    const fs::path other = dir_ / "other";
    fs::create_directory(other);
    const Bytes otherMap = WriteMap(other / "OTHER7.SHP", 7);
    const fs::path newPeg = dir_ / "peg2";
    fs::create_directory(newPeg);

    const struct {
        int edit;
        fs::path typed;
        fs::path written;  // the S16 file the run makes
        Bytes expected;
    } cases[] = {
        {kIdPegFolderEdit, newPeg, newPeg / "MAP01.s16", S16Of(map)},
        // The list was made for the old folder; the run converts the new one's maps.
        {kIdShpFolderEdit, other, peg_ / "OTHER7.s16", S16Of(otherMap)},
    };
    for (const auto& c : cases) {
        UseFolders();
        Type(c.edit, Text(c.typed));
        QTest::keyClick(dlg_.GetDlgItem(c.edit), Qt::Key_Return);
        ASSERT_TRUE(fs::exists(c.written)) << c.written;
        EXPECT_EQ(ReadBytes(c.written), c.expected);
        EXPECT_EQ(EditText(c.edit), Text(c.typed) + '/');
        fs::remove(c.written);
    }
    // Nothing went beside the folders under a joined name.
    EXPECT_EQ(NamesIn(dir_.Path()), (std::vector<std::string>{"other", "peg", "peg2", "pg2"}));
    EXPECT_EQ(NamesIn(peg_), std::vector<std::string>{});
    EXPECT_EQ(NamesIn(shp_), std::vector<std::string>{"MAP01.SHP"});
}

TEST_F(ConvertDlgBatch, TheBarFillsAsEachFileStartsAndTheStatusLineNamesItsTarget) {
    for (const int count : {1, 3}) {
        const TempDir dir;
        std::vector<QString> targets;
        for (int i = 0; i < count; ++i) {
            const std::string title = "MAP0" + std::to_string(i + 1);
            WriteMap(dir / (title + ".SHP"), static_cast<std::uint32_t>(i));
            targets.push_back(Text(peg_ / (title + ".s16")));
        }
        SetFolder(kIdShpFolderEdit, Text(dir.Path()));
        SetFolder(kIdPegFolderEdit, Text(peg_));
        dlg_.steps.clear();
        ClickOk();
        ASSERT_EQ(dlg_.steps.size(), std::size_t(count));
        std::vector<QString> named;
        for (int i = 0; i < count; ++i) {
            const LiveDlg::Step& step = dlg_.steps[i];
            // A range of 0 to 0 would show a busy indicator instead.
            EXPECT_EQ(step.minimum, 0);
            EXPECT_EQ(step.maximum, count);
            EXPECT_EQ(step.value, i + 1);
            EXPECT_TRUE(step.barVisible);
            named.push_back(step.status);
        }
        // Files run on several threads, so two may start in either order.
        std::sort(named.begin(), named.end());
        EXPECT_EQ(named, targets);
        EXPECT_FALSE(dlg_.Bar()->isVisible());
    }
}

// A folder that cannot be read must not pass for an empty one: without the
// switch nothing would be converted, with it every S16 would be replaced.
TEST_F(ConvertDlgBatch, AFolderThatCannotBeReadListsNothingAndSaysWhy) {
    WriteMap(shp_ / "MAP01.SHP", 1);
    WriteBytes(dir_ / "notes.txt", {1});
    UseFolders();
    const AccessGuard shpGuard(shp_), pegGuard(peg_);
    const QString denied =
        QString::fromLocal8Bit(std::make_error_code(std::errc::permission_denied).message());
    const struct {
        fs::path shp, locked;
        bool updateOnly;
        QString status;
    } cases[] = {
        {shp_, shp_, false, "Cannot read folder " + Text(shp_) + "/: " + denied},
        {shp_, peg_, true, "Cannot read folder " + Text(peg_) + "/: " + denied},
    };
    // The child must not paint: it would wait for Qt's painting threads,
    // which stayed in the parent.
    EXPECT_CHILD_PASSES(RunInChild([&] {
        const std::string why = DropDacOverride();
        if (!why.empty()) {
            GTEST_SKIP() << why;
        }
        for (const auto& c : cases) {
            const AccessGuard unlock(c.locked);
            std::error_code none;  // nothing to lock for a missing folder
            fs::permissions(c.locked, fs::perms::none, none);
            dlg_.ShpFolder() = Text(c.shp) + '/';
            dlg_.UpdateOnly() = c.updateOnly;
            dlg_.RefreshFileList();
            EXPECT_EQ(Listed(), QStringList()) << c.shp;
            EXPECT_EQ(LabelText(kIdFileCount), QStringLiteral("0 files"));
            EXPECT_EQ(LabelText(kIdStatus), c.status);
            EXPECT_FALSE(OkEnabled());
        }
    }));
}

// The line after listing says what is wrong with the maps folder: missing,
// a file (which gets no separator), or the PeG folder named in its place;
// else how many maps were left out, as hidden or read-only.
TEST_F(ConvertDlgBatch, TheStatusLineSaysWhatIsWrongWithTheFolderOrWhatWasLeftOut) {
    WriteBytes(dir_ / "MAP01.SHP", MapBytes(1));
    WriteBytes(peg_ / "MAP01.s16", {1});
    WriteMap(shp_ / ".MAP02.SHP", 2);
    WriteMap(shp_ / "MAP03.SHP", 3);
    fs::permissions(shp_ / "MAP03.SHP", fs::perms::owner_read);
    const QString file = Text(dir_ / "MAP01.SHP");
    const QString gone = Text(dir_ / "gone") + '/';
    const QString peg = Text(peg_) + '/';
    const QString shp = Text(shp_) + '/';
    const std::pair<QString, QString> cases[] = {
        {gone, "The PG2 maps folder does not exist: " + gone},
        {file, file + " is a file, not a folder"},
        {peg, peg + " holds S16 pictures but no maps: are the two folders swapped?"},
        {"", "No PG2 maps folder chosen: type one or press Select..."},
        {shp, "2 maps not listed: hidden or read-only"},
    };
    for (const auto& [typed, status] : cases) {
        SetFolder(kIdShpFolderEdit, typed);
        EXPECT_EQ(EditText(kIdShpFolderEdit), typed);
        EXPECT_EQ(LabelText(kIdStatus), status);
        EXPECT_EQ(Listed(), QStringList());
    }
}

// Tabbing through the dialog keeps the run's marks and line while the
// folders and switch are the run's; Enter then converts again, since the
// focus went back where it was.
TEST_F(ConvertDlgBatch, AfterARunTabbingKeepsItsMarksAndEnterConvertsAgain) {
    WriteMap(shp_ / "MAP01.SHP", 1);
    WriteBytes(shp_ / "MAP02.SHP", {1, 2, 3});
    UseFolders();
    Type(kIdShpFolderEdit, Text(shp_) + '/');
    QTest::keyClick(dlg_.GetDlgItem(kIdShpFolderEdit), Qt::Key_Return);
    const QString outcome = QStringLiteral("1 of 2 files could not be converted");
    ASSERT_EQ(LabelText(kIdStatus), outcome);
    EXPECT_EQ(QApplication::focusWidget(), dlg_.GetDlgItem(kIdShpFolderEdit));

    for (int id : {kIdShpFolderEdit, kIdPegFolderEdit}) {
        QTest::mouseClick(dlg_.GetDlgItem(id), Qt::LeftButton);
        QTest::keyClick(dlg_.GetDlgItem(id), Qt::Key_Tab);
    }
    EXPECT_EQ(LabelText(kIdStatus), outcome);
    EXPECT_FALSE(dlg_.List()->item(1)->data(CConvertDlg::kFailureRole).isNull());

    fs::remove(peg_ / "MAP01.s16");
    QTest::mouseClick(dlg_.GetDlgItem(kIdShpFolderEdit), Qt::LeftButton);
    QTest::keyClick(dlg_.GetDlgItem(kIdShpFolderEdit), Qt::Key_Return);
    EXPECT_TRUE(dlg_.isVisible());
    EXPECT_TRUE(fs::exists(peg_ / "MAP01.s16"));

    SetUpdateOnly(true);
    EXPECT_EQ(LabelText(kIdStatus), kPrompt);
    EXPECT_TRUE(dlg_.List()->item(0)->data(CConvertDlg::kFailureRole).isNull());
}

TEST_F(ConvertDlgBatch, NamesThatAreNotPlainTextAreListedReadableAndConvertedAsTheyAre) {
    // The folder's own name must not be taken for a format either.
    const fs::path folder = dir_ / "maps %1 %2 %s";
    fs::create_directory(folder);
    const std::string invalid = "MAP\xff\xfe.shp";  // not UTF-8
    const struct {
        std::string name;
        QString shown;
        std::string target;
    } files[] = {
        {"Karte \xc3\xa4%2.shp", QStringLiteral("Karte \u00e4%2.shp"), "Karte \xc3\xa4%2.s16"},
        {invalid, QStringLiteral("MAP\ufffd\ufffd.shp"), "MAP\xff\xfe.s16"},
        {"a b %d%n.SHP", QStringLiteral("a b %d%n.SHP"), "a b %d%n.s16"},
    };
    std::vector<Bytes> maps;
    for (const auto& f : files) {
        maps.push_back(WriteMap(folder / f.name, static_cast<std::uint32_t>(maps.size() + 5)));
    }
    SetFolder(kIdShpFolderEdit, Text(folder));
    SetFolder(kIdPegFolderEdit, Text(peg_));

    QStringList shown;
    std::vector<std::string> kept;
    for (int i = 0; i < dlg_.List()->count(); ++i) {
        const QListWidgetItem* item = dlg_.List()->item(i);
        shown << item->text();
        kept.push_back(item->data(CConvertDlg::kNativeNameRole).toByteArray().toStdString());
    }
    EXPECT_EQ(shown, (QStringList{files[2].shown, files[0].shown, files[1].shown}));
    EXPECT_EQ(kept, (std::vector<std::string>{files[2].name, files[0].name, files[1].name}));

    dlg_.steps.clear();
    ClickOk();
    EXPECT_EQ(LabelText(kIdStatus), QStringLiteral("3 files converted"));
    for (std::size_t i = 0; i < std::size(files); ++i) {
        ASSERT_TRUE(fs::exists(peg_ / files[i].target)) << files[i].target;
        EXPECT_EQ(ReadBytes(peg_ / files[i].target), S16Of(maps[i]));
    }
    ASSERT_EQ(dlg_.steps.size(), 3u);
    EXPECT_EQ(dlg_.steps[0].status, Text(peg_ / files[2].target));
}

TEST(ConvertDlgClosing, AFolderTypedButNotLeftIsSavedWhenTheDialogCloses) {
    const std::function<void(LiveDlg&)> ways[] = {
        [](LiveDlg& d) { QTest::keyClick(d.GetDlgItem(kIdPegFolderEdit), Qt::Key_Escape); },
        [](LiveDlg& d) { d.close(); },  // the close box
    };
    for (const auto& close : ways) {
        const SettingsSandbox settings;
        LiveDlg dlg;
        dlg.Open();
        QWidget* edit = dlg.GetDlgItem(kIdPegFolderEdit);
        edit->setFocus(Qt::MouseFocusReason);
        QTest::keyClicks(edit, QStringLiteral("/maps/peg"));
        close(dlg);
        EXPECT_FALSE(dlg.isVisible());
        EXPECT_EQ(QSettings().value(QStringLiteral("Settings/UpdateFolder")),
                  QStringLiteral("/maps/peg/"));
    }
}

}  // namespace
}  // namespace drovana::test
