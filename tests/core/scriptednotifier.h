#pragma once
// A notifier that records every text and answers questions from a queue.

#include "core/notifier.h"

#include <QList>
#include <QStringList>

#include <gtest/gtest.h>

namespace tess::test {

class ScriptedNotifier : public Notifier {
public:
    void message(const QString& text) override { messages.append(text); }
    bool askYesNo(const QString& text) override {
        questions.append(text);
        if (answers.isEmpty()) {
            ADD_FAILURE() << "unexpected question: " << text.toStdString();
            return false;
        }
        return answers.takeFirst();
    }

    QStringList messages;
    QStringList questions;
    QList<bool> answers;
};

} // namespace tess::test
