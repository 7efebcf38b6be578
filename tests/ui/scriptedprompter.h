#pragma once
// A prompter for tests: records every text it is shown and answers from
// queues.  An unexpected question fails the test instead of blocking.

#include "mainwindow/prompter.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <deque>
#include <functional>

namespace tess::testing {

class ScriptedPrompter : public Prompter {
public:
    // What was shown, in order, each prefixed with its kind:
    // "message: ", "yesno: ", "yesnocancel: ", "okcancel: ", "error: ", "open: ",
    // "font", "save: ", "print", "pagesetup", "saveas", "groupset", "about".
    QStringList shown;

    std::deque<bool> yesNo;          // askYesNo answers
    std::deque<Answer> yesNoCancel;  // askYesNoCancel answers
    std::deque<bool> okCancel;       // askOkCancel answers
    std::deque<QString> openFiles;   // openFile answers (empty = cancel)
    std::deque<std::optional<FontChoice>> fonts;
    std::deque<QString> saveFiles;   // saveFile answers (empty = cancel)
    // The print and page setup dialogs: run on the printer, then the answer.
    std::deque<std::function<bool(QPrinter&)>> printers;
    std::deque<std::function<bool(QPrinter&)>> pageSetups;
    // Run when our own modal windows would be shown (drive them here).
    std::function<void()> onSaveAs;
    std::function<void()> onGroupRegistration;
    std::function<void()> onAbout;

    QStringList messages() const { return withPrefix(QStringLiteral("message: ")); }
    QStringList errors() const { return withPrefix(QStringLiteral("error: ")); }

    void message(const QString& text) override { shown << QStringLiteral("message: ") + text; }
    bool askYesNo(const QString& text) override {
        shown << QStringLiteral("yesno: ") + text;
        return next(yesNo, false, "askYesNo");
    }
    Answer askYesNoCancel(const QString& text) override {
        shown << QStringLiteral("yesnocancel: ") + text;
        return next(yesNoCancel, Answer::Cancel, "askYesNoCancel");
    }
    bool askOkCancel(const QString& text) override {
        shown << QStringLiteral("okcancel: ") + text;
        return next(okCancel, false, "askOkCancel");
    }
    void errorBox(const QString& text) override { shown << QStringLiteral("error: ") + text; }
    QString openFile(const QString& filter) override {
        shown << QStringLiteral("open: ") + filter;
        return next(openFiles, QString(), "openFile");
    }
    std::optional<FontChoice> chooseFont(const FontChoice&) override {
        shown << QStringLiteral("font");
        return next(fonts, std::optional<FontChoice>(), "chooseFont");
    }
    QString saveFile(const QString& filter, const QString& suggested) override {
        shown << QStringLiteral("save: ") + filter + QStringLiteral(" ") + suggested;
        return next(saveFiles, QString(), "saveFile");
    }
    bool choosePrinter(QPrinter& printer) override {
        shown << QStringLiteral("print");
        const auto answer = next(printers, std::function<bool(QPrinter&)>(), "choosePrinter");
        return answer && answer(printer);
    }
    bool setUpPage(QPrinter& printer) override {
        shown << QStringLiteral("pagesetup");
        const auto answer = next(pageSetups, std::function<bool(QPrinter&)>(), "setUpPage");
        return answer && answer(printer);
    }
    void showSaveAs() override {
        shown << QStringLiteral("saveas");
        if (onSaveAs) onSaveAs();
    }
    void showGroupRegistration() override {
        shown << QStringLiteral("groupset");
        if (onGroupRegistration) onGroupRegistration();
    }
    void showAbout() override {
        shown << QStringLiteral("about");
        if (onAbout) onAbout();
    }

private:
    template <typename T>
    static T next(std::deque<T>& queue, T fallback, const char* what) {
        if (queue.empty()) {
            ADD_FAILURE() << "unexpected " << what;
            return fallback;
        }
        T value = queue.front();
        queue.pop_front();
        return value;
    }
    QStringList withPrefix(const QString& prefix) const {
        QStringList out;
        for (const QString& s : shown)
            if (s.startsWith(prefix)) out << s.mid(prefix.size());
        return out;
    }
};

} // namespace tess::testing
