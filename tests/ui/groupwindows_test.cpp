// The group registration dialog's creation step and the picker's window.

#include "scriptedprompter.h"

#include "core/editorstate.h"
#include "core/filenames.h"
#include "core/groupregistry.h"
#include "core/groupstore.h"
#include "dialogs/TSGName.h"
#include "dialogs/TSGSet.h"
#include "mainwindow/documenthost.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace tess {
namespace {

using testing::ScriptedPrompter;

class StoreHost : public DocumentHost {
public:
    explicit StoreHost(const QString& folder)
        : state_(PathStyle::posix()), registry_(PathStyle::posix(), folder), folder_(folder) {}
    EditorState& state() override { return state_; }
    GroupRegistry& registry() override { return registry_; }
    QString programFolder() const override { return folder_; }
    WriteOutcome writeDocument(const QString&, QString*) override {
        ADD_FAILURE() << "no document is written here";
        return WriteOutcome::Failed;
    }
    void RirekiSet() override { ADD_FAILURE() << "no history here"; }
    void MarkClean() override { ADD_FAILURE() << "no document here"; }

private:
    EditorState state_;
    GroupRegistry registry_;
    QString folder_;
};

class GroupSetCreation : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + u'/';
        // A store as the last close would have left it.
        GroupRegistry stored(PathStyle::posix(), folder);
        ScriptedPrompter answers;
        answers.yesNo = {false};
        stored.Touroku(kind::kFolder, QStringLiteral("DOCS"), QStringLiteral("/home/u/docs"), FileHistory(), answers);
        stored.Touroku(kind::kInner, QStringLiteral("メモ"), QStringLiteral("X"), FileHistory(), answers);
        stored.FileGroupSet(QStringLiteral("メモ"), QStringLiteral("A.TXT"));
        ASSERT_TRUE(writeGroupStore(folder + files::kGroupStore, stored));
    }
    QTemporaryDir dir;
    QString folder;
    ScriptedPrompter notifier;
};

TEST_F(GroupSetCreation, WindowIsBuiltHidden) {
    StoreHost host(folder);
    TfrmGSet gset(host, notifier);
    EXPECT_EQ(gset.windowTitle(), QStringLiteral("グループの登録と削除"));
    EXPECT_TRUE(gset.windowFlags().testFlag(Qt::Tool));
    EXPECT_EQ(gset.geometry(), QRect(141, 120, 558, 281));
    EXPECT_FALSE(gset.isVisible());
}

TEST_F(GroupSetCreation, ReadsTheStoreOnlyWhenTheLastCloseWroteOne) {
    {
        StoreHost host(folder);
        host.state().LblGF = flag::kStoreWritten;
        TfrmGSet gset(host, notifier);
        EXPECT_EQ(host.registry().groupList(), (QStringList{QStringLiteral("DOCS"), QStringLiteral("メモ")}));
        EXPECT_EQ(host.registry().folderOfFolderGroup(QStringLiteral("DOCS")), QStringLiteral("/home/u/docs"));
        EXPECT_EQ(host.registry().filesOf(QStringLiteral("メモ")), QStringList{QStringLiteral("A.TXT")});
    }
    for (const QString& value : {flag::kNoGroups, QString(), QStringLiteral("O"), QStringLiteral("oo")}) {
        SCOPED_TRACE(value.toStdString());
        StoreHost host(folder);
        host.state().LblGF = value;
        TfrmGSet gset(host, notifier);
        EXPECT_FALSE(host.registry().hasGroups());
        EXPECT_TRUE(host.registry().groupList().isEmpty());
    }
    EXPECT_TRUE(notifier.shown.isEmpty());
}

TEST_F(GroupSetCreation, MissingStoreIsNotReported) {
    ASSERT_TRUE(QFile::remove(folder + files::kGroupStore));
    StoreHost host(folder);
    host.state().LblGF = flag::kStoreWritten;
    TfrmGSet gset(host, notifier);
    EXPECT_FALSE(host.registry().hasGroups());
    EXPECT_TRUE(notifier.shown.isEmpty());
}

TEST_F(GroupSetCreation, DamagedStoreIsReportedOnceThroughTheNotifier) {
    QFile store(folder + files::kGroupStore);
    ASSERT_TRUE(store.open(QIODevice::WriteOnly | QIODevice::Truncate));
    store.write("999999999\r\n");
    store.close();
    StoreHost host(folder);
    host.state().LblGF = flag::kStoreWritten;
    TfrmGSet gset(host, notifier);
    EXPECT_FALSE(host.registry().hasGroups());
    EXPECT_EQ(notifier.messages().size(), 1);
}

TEST(GroupPicker, WindowIsABorderlessTopmostPopupBuiltHidden) {
    QTemporaryDir dir;
    StoreHost host(dir.path() + u'/');
    TfrmGName picker(host);
    EXPECT_TRUE(picker.windowTitle().isEmpty());
    EXPECT_TRUE(picker.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(picker.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(picker.size(), QSize(177, 230));
    EXPECT_FALSE(picker.isVisible());
}

} // namespace
} // namespace tess
