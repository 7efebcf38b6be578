#pragma once
// How logic without windows talks to the user: plain messages and the one
// kind of Yes/No question.  The application plugs in real message boxes;
// tests plug in a scripted fake.

#include <QString>

namespace tess {

class Notifier {
public:
    virtual ~Notifier() = default;
    // A plain message box with an OK button.
    virtual void message(const QString& text) = 0;
    // A confirmation box titled "確認" with Yes and No; true for Yes.
    virtual bool askYesNo(const QString& text) = 0;
};

} // namespace tess
