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
    void GourpFileSet() override { ADD_FAILURE() << "no file list here"; }

private:
    EditorState state_;
    GroupRegistry registry_;
    QString folder_;
};

TEST(GroupWindows, BuiltHidden) {
    QTemporaryDir dir;
    StoreHost host(dir.path() + u'/');
    ScriptedPrompter notifier;
    TfrmGSet gset(host, notifier);
    EXPECT_EQ(gset.windowTitle(), QStringLiteral("グループの登録と削除"));
    EXPECT_TRUE(gset.windowFlags().testFlag(Qt::Tool));
    EXPECT_EQ(gset.geometry(), QRect(141, 120, 558, 281));
    EXPECT_FALSE(gset.isVisible());
    // The picker is a borderless popup that stays on top.
    TfrmGName picker(host);
    EXPECT_TRUE(picker.windowTitle().isEmpty());
    EXPECT_TRUE(picker.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(picker.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(picker.size(), QSize(177, 230));
    EXPECT_FALSE(picker.isVisible());
}

// Creating the registration dialog reads the group store unless the last
// close found no group to write; a missing store is not reported, a damaged
// one once.
TEST(GroupSetCreation, ReadsTheStoreUnlessTheLastCloseHadNoGroups) {
    enum class Store { Written, Missing, Damaged };
    const struct {
        Store store;
        QString flag;
        bool groups;
        int messages;
    } cases[] = {
        {Store::Written, flag::kStoreWritten, true, 0},   {Store::Written, flag::kNoGroups, false, 0},
        // A flag that could not be read does not cost the groups.
        {Store::Written, QString(), true, 0},             {Store::Written, QStringLiteral("O"), false, 0},
        {Store::Written, QStringLiteral("oo"), false, 0}, {Store::Missing, flag::kStoreWritten, false, 0},
        {Store::Damaged, flag::kStoreWritten, false, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flag.toStdString() + " store " + std::to_string(int(c.store)));
        QTemporaryDir dir;
        const QString folder = dir.path() + u'/';
        if (c.store == Store::Written) {
            // A store as the last close would have left it.
            GroupRegistry stored(PathStyle::posix(), folder);
            ScriptedPrompter answers;
            answers.yesNo = {false};
            stored.Touroku(kind::kFolder, QStringLiteral("DOCS"), QStringLiteral("/home/u/docs"), FileHistory(),
                           answers);
            stored.Touroku(kind::kInner, QStringLiteral("メモ"), QStringLiteral("X"), FileHistory(), answers);
            stored.FileGroupSet(QStringLiteral("メモ"), QStringLiteral("A.TXT"));
            ASSERT_TRUE(writeGroupStore(folder + files::kGroupStore, stored));
        } else if (c.store == Store::Damaged) {
            QFile store(folder + files::kGroupStore);
            ASSERT_TRUE(store.open(QIODevice::WriteOnly));
            store.write("999999999\r\n");
        }
        StoreHost host(folder);
        host.state().LblGF = c.flag;
        ScriptedPrompter notifier;
        TfrmGSet gset(host, notifier);
        const GroupRegistry& reg = host.registry();
        if (c.groups) {
            EXPECT_EQ(reg.groupList(), (QStringList{QStringLiteral("DOCS"), QStringLiteral("メモ")}));
            EXPECT_EQ(reg.folderOfFolderGroup(QStringLiteral("DOCS")), QStringLiteral("/home/u/docs"));
            EXPECT_EQ(reg.filesOf(QStringLiteral("メモ")), QStringList{QStringLiteral("A.TXT")});
        } else {
            EXPECT_FALSE(reg.hasGroups());
            EXPECT_TRUE(reg.groupList().isEmpty());
        }
        EXPECT_EQ(notifier.shown.size(), c.messages) << notifier.shown.join(u'|').toStdString();
        EXPECT_EQ(notifier.messages().size(), c.messages);
    }
}

} // namespace
} // namespace tess
