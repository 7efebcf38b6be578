#pragma once
// Shared by the core tests: readable Qt output, a scripted notifier and
// temporary files.

#include "core/notifier.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& l, std::ostream* os) {
    *os << '{';
    for (qsizetype i = 0; i < l.size(); ++i) *os << (i ? ", \"" : "\"") << l[i].toStdString() << '"';
    *os << '}';
}

namespace tess::test {

inline QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

// A fresh folder holding one file of the given name.
struct TempFile {
    explicit TempFile(const char* name) : name(QString::fromLatin1(name)) {}
    QTemporaryDir dir;
    QString name;
    QString path() const { return dir.filePath(name); }
};

// Records every text and answers questions from a queue.
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
