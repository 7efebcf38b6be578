// The main window and the save-as dialog together: the close question sends
// a never-saved document to the dialog, and what it saves is what the next
// start finds.

#include "core/cp932.h"
#include "dialogs/TSSave.h"
#include "mainwindowfixture.h"

#include <QComboBox>
#include <QLineEdit>

namespace tess::testing {
namespace {

using Answer = Prompter::Answer;

TEST_F(MainWindowTest, YesAtCloseSavesThroughTheSaveAsDialogThenCloses) {
    start();
    ASSERT_EQ(w().registry().Touroku(kind::kInner, QStringLiteral("MEMOS"), QStringLiteral("X"),
                                     w().state().GrdR, prompter),
              TourokuResult::Registered);
    TfrmSave dialog(w(), prompter);
    prompter.onSaveAs = [&] {
        dialog.FormShow();
        auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("ComboBox1"));
        combo->setCurrentIndex(combo->findText(QStringLiteral("MEMOS")));
        dialog.findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(QStringLiteral("todo"));
        dialog.BitBtn2Click();
    };
    type(QStringLiteral("買い物"));
    prompter.yesNoCancel.push_back(Answer::Yes);

    EXPECT_TRUE(requestClose());
    EXPECT_EQ(prompter.shown,
              (QStringList{QStringLiteral("yesnocancel: 内容の変更を保存しますか？"), QStringLiteral("saveas")}));
    EXPECT_EQ(readFile(path(QStringLiteral("todo.TXT"))), cp932::encode(u"買い物"));
    EXPECT_EQ(w().state().LblFullName(), QStringLiteral("todo.TXT"));
    EXPECT_EQ(title(), QStringLiteral("Tessarine  // MEMOS / todo.TXT"));
    EXPECT_EQ(setting(ini::kOpendFile, QStringLiteral("Opend1")).value, QStringLiteral("todo.TXT"));
    EXPECT_EQ(setting(ini::kGroupFiles, ini::kFiles).value, QStringLiteral("o"));
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("GroupFiles"))));
}

} // namespace
} // namespace tess::testing
