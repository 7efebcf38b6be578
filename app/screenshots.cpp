// Renders the windows without a display: the main window at a first run, the
// main window after a quick-save restore with list and preview, with the
// alarm set panel and with the clip-save panel on each slot, the save-as
// dialog, the group registration dialog, the group picker, a group's file
// list with a preview, the explorer panel, the search through a group's
// documents, the zoomed editor, the about box, a UTF-8 document's status bar,
// the print preview, and the open and font dialogs.
// Usage: tess_screenshots <output folder>

#include "app/japanese.h"
#include "app/realprompter.h"
#include "core/groupregistry.h"
#include "dialogs/TSExplorer.h"
#include "dialogs/TSGName.h"
#include "dialogs/TSGSet.h"
#include "dialogs/TSSave.h"
#include "mainwindow/TSAbout.h"
#include "mainwindow/TSMain.h"
#include "mainwindow/clipsave.h"
#include "mainwindow/editorwidget.h"
#include "mainwindow/editorzoom.h"
#include "mainwindow/filelist.h"
#include "mainwindow/findreplace.h"
#include "mainwindow/fonts.h"
#include "mainwindow/groupsearch.h"
#include "mainwindow/printing.h"
#include "mainwindow/recovery.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QLabel>
#include <QFile>
#include <QStringEncoder>
#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QPlainTextEdit>
#include <QTimer>

#include <cstdio>

namespace {

// Answers nothing and shows nothing: the renderer never blocks.
class SilentPrompter : public tess::Prompter {
public:
    void message(const QString& text) override { report(text); }
    bool askYesNo(const QString& text) override { return report(text), false; }
    Answer askYesNoCancel(const QString& text) override { return report(text), Answer::No; }
    bool askOkCancel(const QString& text) override { return report(text), false; }
    void errorBox(const QString& text) override { report(text); }
    QString openFile(const QString&) override { return {}; }
    std::optional<FontChoice> chooseFont(const FontChoice&) override { return std::nullopt; }
    void showSaveAs() override {}
    void showGroupRegistration() override {}
    void showAbout() override {}

private:
    static void report(const QString& text) {
        std::fprintf(stderr, "prompt: %s\n", qPrintable(text));
    }
};

// Answers the open dialog with one file.
class OpeningPrompter : public SilentPrompter {
public:
    explicit OpeningPrompter(QString file) : file_(std::move(file)) {}
    QString openFile(const QString&) override { return file_; }

private:
    QString file_;
};

bool render(QWidget& w, const QString& file) {
    w.show();
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    const bool ok = w.grab().save(file);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(file));
    return ok;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessarine"));
    tess::installJapanese(app);
    tess::fonts::installFontSubstitutions();
    if (argc < 2) {
        std::fprintf(stderr, "usage: tess_screenshots <output folder>\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    QTemporaryDir folder;
    if (!folder.isValid()) return 1;
    const QString programFolder = folder.path() + QLatin1Char('/');
    const tess::PathStyle style = tess::PathStyle::posix();
    SilentPrompter prompter;
    bool ok = true;

    {
        tess::TfrmTSMain first(prompter, programFolder, style);
        ok &= render(first, out + QStringLiteral("/mainwindow-first-run.png"));

        // A UTF-8 file with a stray Latin-1 byte: read as UTF-8, the byte
        // kept and noted in the status bar.
        QFile stray(programFolder + QStringLiteral("STRAY.TXT"));
        if (stray.open(QIODevice::WriteOnly)) {
            stray.write("\xe5\xa4\x96\xe5\x9b\xbd\xe3\x81\xae caf\xe9 \xe3\x81\xae\xe8\xa9\xb1\n");
            stray.close();
            first.openFromOutside(stray.fileName());
            ok &= render(first, out + QStringLiteral("/mainwindow-invalid-bytes.png"));
        }

        // A session worth restoring: formatted text, the history listed and
        // a file in the preview.
        QPlainTextEdit* memo = first.editor();
        QTextCursor c(memo->document());
        c.insertText(QStringLiteral("きょうの予定\n"));
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        c.insertText(QStringLiteral("10時 打ち合わせ"), bold);
        c.insertText(QStringLiteral("\n15時 原稿の見直し\nTessarine で書いたメモ。\n"), QTextCharFormat());
        // Every kind of character format a document holds, in one line.
        QTextCharFormat big, red, marked, italic, lined, struck, gothic;
        big.setFontPointSize(16);
        red.setForeground(QColor(200, 0, 0));
        marked.setBackground(QColor(255, 240, 120));
        italic.setFontItalic(true);
        lined.setFontUnderline(true);
        struck.setFontStrikeOut(true);
        gothic.setFontFamilies({QStringLiteral("ＭＳ Ｐゴシック")});
        const std::pair<const char*, const QTextCharFormat*> runs[] = {
            {"大きく", &big}, {" 赤 ", &red}, {"蛍光ペン", &marked}, {" italic ", &italic},
            {"下線", &lined}, {" 取消 ", &struck}, {"ゴシック", &gothic}};
        for (const auto& [text, format] : runs) c.insertText(QString::fromUtf8(text), *format);
        for (const char* name : {"/home/user/docs/REPORT.TXT", "MEMO.TXT", "NOTES.RTF"}) {
            first.state().setLblFullName(QString::fromUtf8(name));
            first.RirekiSet();
        }
        first.state().setLblGName(QStringLiteral("仕事"));
        first.state().setLblFullName(QStringLiteral("MEMO.TXT"));
        first.state().setLblFName(QStringLiteral("MEMO.TXT"));
        first.PGFClick();
        first.RirekiSet();
        auto* preview = first.findChild<QPlainTextEdit*>(QStringLiteral("Memo2"));
        preview->setPlainText(QStringLiteral("NOTES.RTF の中身\n会議の議事録"));
        first.findChild<QLabel*>(QStringLiteral("Panel5"))
            ->setText(QStringLiteral("NOTES.RTF プレビュー\u3000\u3000\u3000// クリックで終了"));
        first.findChild<QWidget*>(QStringLiteral("Panel4"))->show();
        memo->insertPlainText(QStringLiteral("\n追記"));
        first.SpeedButton11Click();
    }
    {
        tess::TfrmTSMain restored(prompter, programFolder, style);
        ok &= render(restored, out + QStringLiteral("/mainwindow-quicksave-restore.png"));

        restored.registry().Touroku(tess::kind::kInner, QStringLiteral("仕事"), QStringLiteral("X"),
                                    restored.state().GrdR, prompter);
        restored.state().setLblGName(QStringLiteral("仕事"));
        tess::TfrmSave save(restored, prompter);
        ok &= render(save, out + QStringLiteral("/saveas.png"));
        save.hide();
    }
    {
        // The alarm set panel, then the clip-save panel on each slot with
        // the alarm armed (its mark beside the clock).
        tess::TfrmTSMain clocks(prompter, programFolder, style);
        clocks.show();
        QApplication::processEvents();
        clocks.alarmClock().PALClick();
        clocks.findChild<QComboBox*>(QStringLiteral("CBHor"))->setCurrentIndex(7);
        clocks.findChild<QComboBox*>(QStringLiteral("CBMin"))->setCurrentIndex(6);
        ok &= render(clocks, out + QStringLiteral("/mainwindow-alarm-set.png"));
        clocks.alarmClock().BitBtn1Click();

        QPlainTextEdit* memo = clocks.editor();
        const auto keep = [&](int slot, int from, int to) {
            QTextCursor c(memo->document());
            c.setPosition(from);
            c.setPosition(to, QTextCursor::KeepAnchor);
            memo->setTextCursor(c);
            memo->setFocus();
            clocks.clipSave().openSlot(slot);
            clocks.clipSave().SpeedButton14Click();
        };
        keep(1, 0, 18);
        keep(2, 7, 15);
        for (int slot : {1, 2}) {
            clocks.clipSave().openSlot(slot);
            ok &= render(clocks, out + QStringLiteral("/mainwindow-clipsave-%1.png").arg(slot));
        }
    }
    {
        // Groups: folder and inner groups in the registration dialog and the
        // picker, a group's list with a preview, and the explorer over it.
        tess::TfrmTSMain groups(prompter, programFolder, style);
        QDir().mkpath(programFolder + QStringLiteral("docs"));
        const QString docs = programFolder + QStringLiteral("docs");
        tess::GroupRegistry& reg = groups.registry();
        // A name longer than a slot and the list heading, and more files
        // than the explorer's grid shows at once.
        const QString work = QStringLiteral("仕事・二〇二六年度の企画書と会議の議事録");
        reg.Touroku(tess::kind::kFolder, work, docs, groups.state().GrdR, prompter);
        reg.Touroku(tess::kind::kFolder, QStringLiteral("REPORTS"), QStringLiteral("/home/user/reports"),
                    groups.state().GrdR, prompter);
        reg.Touroku(tess::kind::kInner, QStringLiteral("メモ"), QStringLiteral("X"), groups.state().GrdR, prompter);
        reg.Touroku(tess::kind::kInner, QStringLiteral("日記"), QStringLiteral("X"), groups.state().GrdR, prompter);
        for (const char* f : {"議事録.TXT", "予定.TXT", "見積.RTF"})
            reg.FileGroupSet(work, QString::fromUtf8(f));
        for (int i = 1; i <= 12; ++i)
            reg.FileGroupSet(work, QStringLiteral("企画書その%1・取引先向けの長い説明付き.TXT").arg(i));
        reg.FileGroupSet(QStringLiteral("メモ"), QStringLiteral("買い物.TXT"));
        QFile minutes(docs + QStringLiteral("/議事録.TXT"));
        if (minutes.open(QIODevice::WriteOnly))
            minutes.write(QStringEncoder("windows-31j").encode(QStringLiteral("定例会議の議事録\r\n・次回は金曜日\r\n・資料は共有フォルダへ\r\n")));
        minutes.close();

        tess::TfrmGSet gset(groups, prompter);
        ok &= render(gset, out + QStringLiteral("/groupset.png"));
        gset.hide();

        tess::TfrmGName picker(groups, &groups);
        groups.setGroupPicker(&picker);
        groups.show();
        QApplication::processEvents();
        ok &= render(picker, out + QStringLiteral("/grouppicker.png"));
        picker.SpeedButton1Click();
        picker.findChild<QToolButton*>(QStringLiteral("SB1"))->click();

        auto* list = groups.findChild<QListWidget*>(QStringLiteral("PanelPass"));
        list->setCurrentRow(0);
        ok &= render(groups, out + QStringLiteral("/mainwindow-group-list.png"));

        tess::TfrmExplorer explorer(groups, prompter, &groups, groups.findChild<QWidget*>(QStringLiteral("Memo1")));
        groups.setGroupExplorer(&explorer);
        groups.SpeedButton3Click();
        ok &= render(groups, out + QStringLiteral("/mainwindow-explorer.png"));
        groups.setGroupExplorer(nullptr);
    }
    {
        // Find and replace over a Japanese document with matches in every
        // width, then the question after a crash.
        tess::TfrmTSMain finder(prompter, programFolder, style);
        finder.resize(720, 480);
        finder.editor()->setPlainText(QStringLiteral(
            "テスト計画\nﾃｽﾄ項目の一覧と、てすとの手順。\nＴＥＳＴ と test は別の語として扱う。\n"
            "次回のテストは来週。"));
        finder.show();
        QApplication::processEvents();
        finder.findReplace().setQuery(QStringLiteral("テスト"), QStringLiteral("試験"),
                                      tess::search::Options{.widthInsensitive = true});
        finder.findReplace().showReplace();
        finder.editor()->moveCursor(QTextCursor::Start);
        finder.findReplace().findNext();
        finder.findReplace().findNext();
        ok &= render(finder, out + QStringLiteral("/mainwindow-find-replace.png"));

        QMessageBox question(QMessageBox::Question, QStringLiteral("確認"),
                             tess::recovery_text::question(QStringLiteral("MEMO.TXT")), QMessageBox::NoButton);
        question.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
        question.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
        ok &= render(question, out + QStringLiteral("/recovery-question.png"));
        question.hide();
    }
    {
        // The editor zoomed to 150 %: the status bar shows it.
        tess::TfrmTSMain zoomed(prompter, programFolder, style);
        zoomed.editor()->setPlainText(QStringLiteral(
            "拡大して読む\n吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。\n"
            "何でも薄暗いじめじめした所でニャーニャー泣いていた事だけは記憶している。"));
        static_cast<tess::EditorWidget*>(zoomed.editor())->zoom()->setPercent(150);
        ok &= render(zoomed, out + QStringLiteral("/mainwindow-zoom.png"));
    }
    {
        // The search through a group's documents, with hits in three
        // documents and one that cannot be read.
        tess::TfrmTSMain grep(prompter, programFolder, style);
        const QString docs = programFolder + QStringLiteral("grep");
        QDir().mkpath(docs);
        grep.registry().Touroku(tess::kind::kFolder, QStringLiteral("企画"), docs, grep.state().GrdR, prompter);
        const std::pair<const char*, const char*> files[] = {
            {"企画書.TXT", "新商品のきかく書\r\n発売日は来年の春を予定。\r\n予算はキカク会議で決める。\r\n"},
            {"議事録.TXT", "定例会議の議事録\r\n・きかくの進め方を確認した\r\n・ｷｶｸ会議は毎週金曜日、ｷｶｸ書の締切は月末\r\n"},
            {"予定.TXT", "来週の予定\r\n月曜 打ち合わせ\r\n"},
            {"資料.TXT", nullptr},
        };
        for (const auto& [name, text] : files) {
            grep.registry().FileGroupSet(QStringLiteral("企画"), QString::fromUtf8(name));
            if (!text) continue;
            QFile f(docs + QLatin1Char('/') + QString::fromUtf8(name));
            if (f.open(QIODevice::WriteOnly)) f.write(QStringEncoder("windows-31j").encode(QString::fromUtf8(text)));
        }
        grep.state().setLblGName(QStringLiteral("企画"));
        grep.show();
        grep.findReplace().setQuery(QStringLiteral("きかく"), QString(), tess::search::Options{.widthInsensitive = true});
        tess::GroupSearch& search = grep.groupSearch();
        search.showFromFindPanel();
        QEventLoop wait;
        QObject::connect(&search, &tess::GroupSearch::finished, &wait, &QEventLoop::quit);
        search.start();
        if (search.running()) wait.exec();
        ok &= render(search, out + QStringLiteral("/group-search.png"));
        search.close();
    }
    {
        tess::TfrmTSAbout about;
        ok &= render(about, out + QStringLiteral("/about.png"));
    }
    {
        // A UTF-8 document with LF line ends: the status bar names them.
        QFile utf8(programFolder + QStringLiteral("UTF8.TXT"));
        if (utf8.open(QIODevice::WriteOnly)) utf8.write(QStringLiteral("UTF-8 で書かれたメモ\n改行は LF\n").toUtf8());
        utf8.close();
        OpeningPrompter opener(programFolder + QStringLiteral("UTF8.TXT"));
        tess::TfrmTSMain window(opener, programFolder, style);
        window.show();
        window.SpeedButton7Click();
        ok &= render(window, out + QStringLiteral("/mainwindow-utf8-lf.png"));
    }
    {
        // The print preview across the page: formatted Japanese text over
        // more than one page, header and footer on.
        tess::TfrmTSMain window(prompter, programFolder, style);
        window.state().setLblFName(QStringLiteral("吾輩は猫である.rtf"));
        QTextCursor c(window.editor()->document());
        QTextCharFormat title, plain, red, marked, lined, struck;
        title.setFontPointSize(18);
        title.setFontWeight(QFont::Bold);
        red.setForeground(QColor(200, 0, 0));
        marked.setBackground(QColor(255, 240, 120));
        lined.setFontUnderline(true);
        struck.setFontStrikeOut(true);
        c.insertText(QStringLiteral("吾輩は猫である\n"), title);
        for (int i = 0; i < 40; ++i) {
            c.insertText(QStringLiteral("吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。"), plain);
            c.insertText(QStringLiteral("「何でも薄暗いじめじめした所」"), red);
            c.insertText(QStringLiteral("でニャーニャー泣いていた事だけは"), marked);
            c.insertText(QStringLiteral("記憶している"), lined);
            c.insertText(QStringLiteral("（ちょっと）"), struck);
            c.insertText(QStringLiteral("。\n"), plain);
        }
        window.printing().preview();
        ok &= render(*window.printing().previewWindow(), out + QStringLiteral("/print-preview.png"));
        // The same pages in vertical writing.
        tess::PrintChoices vertical = window.printing().choices();
        vertical.vertical = true;
        window.printing().setChoices(vertical);
        window.printing().preview();
        ok &= render(*window.printing().previewWindow(), out + QStringLiteral("/print-preview-vertical.png"));
    }
    {
        // The real open and font dialogs, in Japanese.
        tess::RealPrompter real;
        real.setStartFolder(programFolder);
        const auto grabModal = [&](const QString& name) {
            QTimer::singleShot(300, [&ok, name, out] {
                QWidget* modal = QApplication::activeModalWidget();
                if (!modal) {
                    ok = false;
                    return;
                }
                ok &= modal->grab().save(out + name);
                qobject_cast<QDialog*>(modal)->reject();
            });
        };
        grabModal(QStringLiteral("/open-dialog.png"));
        real.openFile(tess::main_text::kOpenFilter);
        grabModal(QStringLiteral("/font-dialog.png"));
        real.chooseFont({tess::fonts::make(tess::fonts::kFixedSys, 13), QColor(200, 0, 0)});
    }
    return ok ? 0 : 1;
}
