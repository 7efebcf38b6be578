#pragma once
// The one seam through which the windows ask the user anything: message
// boxes, questions, the open and font dialogs, and our own modal windows.
// The application plugs in real boxes; tests plug in a scripted fake.

#include "core/notifier.h"

#include <QColor>
#include <QFont>
#include <QString>

#include <optional>

class QPrinter;

namespace tess {

class Prompter : public Notifier {
public:
    enum class Answer { Yes, No, Cancel };

    // Confirmation box titled "確認" with "はい(&Y)", "いいえ(&N)" and "ｷｬﾝｾﾙ";
    // closing the box counts as Cancel.
    virtual Answer askYesNoCancel(const QString& text) = 0;
    // Confirmation box with OK and Cancel; true for OK.
    virtual bool askOkCancel(const QString& text) = 0;
    // The standard error box: an error that ended an operation, its own text.
    virtual void errorBox(const QString& text) = 0;
    // The open dialog with `filter` (its first entry selected); empty when
    // cancelled.
    virtual QString openFile(const QString& filter) = 0;
    // The font dialog with underline, strike-out and colour; nullopt when
    // cancelled.  `colour` goes in and out beside the font.
    struct FontChoice {
        QFont font;
        QColor colour;
    };
    virtual std::optional<FontChoice> chooseFont(const FontChoice& initial) = 0;

    // The printing dialogs.  Each answers "cancelled" unless overridden, so
    // that prompters of tools that never print need not answer them.
    // The save dialog with `filter` ("PDF ファイル (*.pdf)"), starting at
    // the file name `suggested`; the path chosen, or empty when cancelled.
    virtual QString saveFile(const QString& /*filter*/, const QString& /*suggested*/) { return {}; }
    // The platform's print dialog over `printer` (printer, pages, copies,
    // paper); false when cancelled.
    virtual bool choosePrinter(QPrinter& /*printer*/) { return false; }
    // The page setup dialog over `printer` (paper, orientation, margins);
    // false when cancelled.
    virtual bool setUpPage(QPrinter& /*printer*/) { return false; }

    // Our own modal windows.
    virtual void showSaveAs() = 0;
    virtual void showGroupRegistration() = 0;
    virtual void showAbout() = 0;
};

} // namespace tess
