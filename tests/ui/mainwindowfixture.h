#pragma once
// A main window over its own temporary program folder, with helpers to read
// and write the settings file and to compare the folder before and after.

#include "core/recovery.h"
#include "core/settingsfile.h"
#include "dialogs/TSExplorer.h"
#include "dialogs/TSGName.h"
#include "dialogs/TSGSet.h"
#include "mainwindow/TSMain.h"
#include "scriptedprompter.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>
#include <QPlainTextEdit>

#include <memory>
#include <ostream>

// Readable failure output for Qt strings.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& l, std::ostream* os) {
    *os << '{';
    for (qsizetype i = 0; i < l.size(); ++i) *os << (i ? ", \"" : "\"") << l[i].toStdString() << '"';
    *os << '}';
}

namespace tess::testing {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        folder = dir_.path() + QLatin1Char('/');
    }
    void TearDown() override { window.reset(); }

    // Creates (or re-creates, as a new run would) the main window; a test may
    // give it a prompter of its own.
    TfrmTSMain& start(Prompter* own = nullptr) {
        window.reset();
        window = std::make_unique<TfrmTSMain>(own ? *own : prompter, folder, PathStyle::posix());
        // The group windows the program creates over the main window.
        picker = new TfrmGName(*window, window.get());
        window->setGroupPicker(picker);
        explorer = new TfrmExplorer(*window, own ? *own : prompter, window.get(),
                                    window->findChild<QWidget*>(QStringLiteral("Memo1")));
        window->setGroupExplorer(explorer);
        return *window;
    }
    TfrmTSMain& w() { return *window; }
    // The registration window, created over the main window as the program
    // does: it reads the group store the settings asked for.
    TfrmGSet& createGroupSet() { return *new TfrmGSet(*window, prompter, window.get()); }

    template <typename T = QWidget>
    T* widget(const QString& name) {
        T* found = window->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << qPrintable(name);
        return found;
    }
    QPlainTextEdit* memo() { return window->editor(); }
    QString title() { return window->windowTitle(); }
    bool modified() { return memo()->document()->isModified(); }
    QString labelText(const QString& name) {
        auto* l = widget<QLabel>(name);
        return l ? l->text() : QString();
    }
    bool visible(const QString& name) { return widget(name)->isVisibleTo(window.get()); }

    // Gives the document a path (and the short name the caption shows).
    void nameDocument(const QString& fullName, const QString& shortName = {}) {
        window->state().setLblFullName(fullName);
        window->state().setLblFName(shortName.isEmpty() ? fullName : shortName);
    }
    // Shows the window and waits until it is the active one.
    void showActive() {
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    void registerGroup(const QString& group) {
        ASSERT_EQ(window->registry().Touroku(kind::kInner, group, QStringLiteral("X"),
                                             window->state().GrdR, prompter),
                  TourokuResult::Registered);
    }

    // The question before a modified document is closed or replaced.
    static inline const QString kSaveQuestion =
        QStringLiteral("yesnocancel: 内容の変更を保存しますか？");

    QString path(const QString& name) const { return folder + name; }
    QString settingsPath() const { return folder + QStringLiteral("tessarine.ini"); }

    SettingValue setting(const QString& section, const QString& key) const {
        return SettingsFile(settingsPath()).read(section, key, ini::kWhole);
    }
    void writeSettings(std::initializer_list<std::array<QString, 3>> values) {
        SettingsFile s(settingsPath());
        for (const auto& v : values) s.write(v[0], v[1], v[2]);
        ASSERT_TRUE(s.save());
    }

    static QByteArray readFile(const QString& p) {
        QFile f(p);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void writeFile(const QString& p, const QByteArray& bytes) {
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

    // Every file of the program folder with its bytes.
    QMap<QString, QByteArray> snapshot() const {
        QMap<QString, QByteArray> out;
        const QDir d(folder);
        for (const QFileInfo& fi : d.entryInfoList(QDir::Files | QDir::Hidden))
            // The running program's lock is no stored file.
            if (fi.fileName() != recovery::kLockFileName) out.insert(fi.fileName(), readFile(fi.absoluteFilePath()));
        return out;
    }

    // Sends a close request as the close box does; true when it went ahead.
    bool requestClose() { return window->close(); }

    // Typing into the editor, as the user does.
    void type(const QString& text) { memo()->insertPlainText(text); }

    ScriptedPrompter prompter;
    QString folder;
    std::unique_ptr<TfrmTSMain> window;
    TfrmGName* picker = nullptr;      // owned by the window
    TfrmExplorer* explorer = nullptr;  // owned by the window

private:
    QTemporaryDir dir_;
};

} // namespace tess::testing
