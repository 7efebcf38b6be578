#pragma once
// One running program per program folder.  The first start on a folder
// listens on a local socket named after the folder (and the user); a later
// start hands its file argument to it and ends, so that two runs never write
// each other's settings, groups and history away, and a file manager's
// "open with" reaches the window already open.

#include <QObject>
#include <QString>

class QLocalServer;

namespace tess {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& programFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    enum class Claim {
        First,   // this run owns the folder and listens for later starts
        Handed,  // a running program took `file`: this run ends
    };
    // `file` is an absolute path, or empty when there is none to open.
    Claim claim(const QString& file);

    // The socket name for a folder; the same for every run of one user.
    static QString socketName(const QString& programFolder);

    // How long a later start waits for the running program's answer.
    static constexpr int kWaitMs = 5000;

signals:
    // A later start asked this run to come to the front and open `file`
    // (empty: only to come to the front).
    void openRequested(const QString& file);

private:
    void serve();

    QString name_;
    QLocalServer* server_ = nullptr;
};

} // namespace tess
