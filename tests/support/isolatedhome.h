#pragma once
// Every test executable runs with HOME and the XDG folders inside a temporary
// folder of its own, set before anything else runs: whatever a test or Qt
// does there (a trash, a cache, a settings file) never reaches the user's
// files or the checkout the tests were started from.  The child processes
// the tests start inherit it.

#include <QByteArray>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace tess::testing {

class IsolatedHome {
public:
    IsolatedHome() : root_(QDir::tempPath() + QStringLiteral("/tessarine-test-XXXXXX")) {
        if (!root_.isValid()) {
            std::fprintf(stderr, "no temporary folder for HOME: %s\n", qPrintable(root_.errorString()));
            std::exit(2);
        }
        // HOME exists but is empty; the XDG folders are named, not made, as
        // on a new account.  The runtime folder must exist and be private.
        set("HOME", QStringLiteral("home"), true);
        set("XDG_DATA_HOME", QStringLiteral("home/.local/share"), false);
        set("XDG_CONFIG_HOME", QStringLiteral("home/.config"), false);
        set("XDG_CACHE_HOME", QStringLiteral("home/.cache"), false);
        set("XDG_STATE_HOME", QStringLiteral("home/.local/state"), false);
        set("XDG_RUNTIME_DIR", QStringLiteral("runtime"), true);
        QFile::setPermissions(root_.filePath(QStringLiteral("runtime")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    IsolatedHome(const IsolatedHome&) = delete;
    IsolatedHome& operator=(const IsolatedHome&) = delete;

    QString home() const { return root_.filePath(QStringLiteral("home")); }

private:
    void set(const char* name, const QString& relative, bool make) {
        const QString path = root_.filePath(relative);
        if (make && !QDir().mkpath(path)) {
            std::fprintf(stderr, "cannot make %s\n", qPrintable(path));
            std::exit(2);
        }
        qputenv(name, QFile::encodeName(path));
    }

    QTemporaryDir root_;
};

} // namespace tess::testing
