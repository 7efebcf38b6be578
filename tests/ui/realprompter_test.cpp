// The dialogs the program really shows: Japanese, and the font dialog's
// keys answering for the whole window.

#include "app/japanese.h"
#include "app/realprompter.h"
#include "dialogs/TSGSet.h"
#include "dialogs/TSSave.h"
#include "mainwindow/TSAbout.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QLabel>
#include <QTest>
#include <QTimer>

namespace tess {
namespace {

// Runs `act` on the modal dialog once it is shown; a dialog still open two
// seconds later is closed, so that a fault fails the test instead of
// hanging it.
void whenShown(const std::function<void(QDialog*)>& act, bool* stuck) {
    QTimer::singleShot(50, [act] {
        if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) act(d);
    });
    QTimer::singleShot(2000, [stuck] {
        if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            *stuck = true;
            d->reject();
        }
    });
}

TEST(RealPrompter, FontDialogKeysAnswerForTheWholeWindow) {
    RealPrompter prompter;
    const Prompter::FontChoice initial{QFont(QStringLiteral("Noto Sans CJK JP"), 12), QColor(0, 0, 255)};
    const struct {
        Qt::Key key;
        bool chosen;
    } cases[] = {{Qt::Key_Escape, false}, {Qt::Key_Return, true}, {Qt::Key_Enter, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.key));
        bool stuck = false;
        bool innerHidden = false;
        whenShown(
            [&](QDialog* outer) {
                // The key where the user presses it: in the list of families.
                auto* fonts = outer->findChild<QFontDialog*>();
                ASSERT_NE(fonts, nullptr);
                auto* list = fonts->findChild<QAbstractItemView*>();
                ASSERT_NE(list, nullptr);
                list->setFocus();
                QTest::keyClick(list, c.key);
                innerHidden = !fonts->isVisible();
                // Had the window stayed open, it would be visible here.
                EXPECT_FALSE(outer->isVisible());
            },
            &stuck);
        const std::optional<Prompter::FontChoice> got = prompter.chooseFont(initial);
        EXPECT_FALSE(stuck);
        EXPECT_TRUE(innerHidden);
        EXPECT_EQ(got.has_value(), c.chosen);
        if (got) {
            EXPECT_EQ(got->colour, initial.colour);
        }
    }
}

TEST(RealPrompter, QtDialogsSpeakJapanese) {
    ASSERT_TRUE(installJapanese(*QCoreApplication::instance())) << "qt6-translations-l10n is not installed";
    EXPECT_EQ(QLocale().language(), QLocale::Japanese);
    // The open dialog as the prompter builds it: Japanese labels, and the
    // filter captions as written.
    QFileDialog dialog(nullptr, QString(), QString(), QStringLiteral("ﾃｷｽﾄﾌｧｲﾙ(*.TXT) (*.TXT *.txt)"));
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    QStringList labels;
    for (const QLabel* l : dialog.findChildren<QLabel*>()) labels << l->text();
    EXPECT_FALSE(labels.contains(QStringLiteral("Look in:"))) << labels.join(u'|').toStdString();
    EXPECT_TRUE(labels.join(u'|').contains(QStringLiteral("ファイル"))) << labels.join(u'|').toStdString();
    auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(types, nullptr);
    EXPECT_EQ(types->itemText(0), QStringLiteral("ﾃｷｽﾄﾌｧｲﾙ(*.TXT)"));
    EXPECT_NE(QCoreApplication::translate("QFontDialog", "Font st&yle"), QStringLiteral("Font st&yle"));
}

} // namespace
} // namespace tess

#include "mainwindow/fonts.h"

#include <QFontMetricsF>

namespace tess {
namespace {

TEST(Fonts, FixedSysDrawsFullWidthAsTwoHalfWidths) {
    fonts::installFontSubstitutions();
    // The editor's size, and an even one.
    for (const int pixels : {13, 16}) {
        const QFontMetricsF m(fonts::make(fonts::kFixedSys, pixels));
        EXPECT_EQ(m.horizontalAdvance(QStringLiteral("あ")), 2 * m.horizontalAdvance(QStringLiteral("a"))) << pixels;
        EXPECT_EQ(m.horizontalAdvance(QStringLiteral("日本語")), m.horizontalAdvance(QStringLiteral("abcdef"))) << pixels;
    }
}

} // namespace
} // namespace tess
