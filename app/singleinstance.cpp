#include "singleinstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace tess {

namespace {

constexpr char kAnswer[] = "ok\n";

// A started program's answer when the running one took its request.
bool handOver(const QString& name, const QString& file) {
    QLocalSocket socket;
#ifdef Q_OS_LINUX
    socket.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
#endif
    socket.connectToServer(name);
    if (!socket.waitForConnected(SingleInstance::kWaitMs)) return false;
    socket.write(file.toUtf8() + '\n');
    if (!socket.waitForBytesWritten(SingleInstance::kWaitMs)) return false;
    while (!socket.canReadLine())
        if (!socket.waitForReadyRead(SingleInstance::kWaitMs)) return false;
    return socket.readLine() == kAnswer;
}

} // namespace

SingleInstance::SingleInstance(const QString& programFolder, QObject* parent)
    : QObject(parent), name_(socketName(programFolder)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::socketName(const QString& programFolder) {
    const QString folder = QDir::cleanPath(QDir(programFolder).absolutePath());
    QString user;
#ifdef Q_OS_UNIX
    // The abstract namespace is shared by every user of the machine.
    user = QString::number(::getuid());
#endif
    const QByteArray digest = QCryptographicHash::hash((user + u'|' + folder).toUtf8(), QCryptographicHash::Sha256);
    return QStringLiteral("tessarine-") + QString::fromLatin1(digest.toHex().left(32));
}

SingleInstance::Claim SingleInstance::claim(const QString& file) {
    server_ = new QLocalServer(this);
#ifdef Q_OS_LINUX
    // Gone with the process: a killed run leaves no socket file behind.
    server_->setSocketOptions(QLocalServer::AbstractNamespaceOption);
#else
    server_->setSocketOptions(QLocalServer::UserAccessOption);
#endif
    // Two starts at the same moment: one listens, the other finds it.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (server_->listen(name_)) {
            connect(server_, &QLocalServer::newConnection, this, &SingleInstance::serve);
            return Claim::First;
        }
        if (handOver(name_, file)) return Claim::Handed;
#ifndef Q_OS_LINUX
        // A socket file left by a run that was killed.
        QLocalServer::removeServer(name_);
#endif
    }
    // Nobody answers and the name cannot be taken: run on our own rather
    // than not at all.
    return Claim::First;
}

void SingleInstance::serve() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QPointer<QLocalSocket> guard(socket);
        const auto answer = [this, guard] {
            if (!guard || !guard->canReadLine()) return;
            // A path is far shorter; anything longer is not one of ours.
            constexpr qint64 kLongest = 64 * 1024;
            QByteArray line = guard->readLine(kLongest);
            if (!line.endsWith('\n')) {
                guard->abort();
                return;
            }
            line.chop(1);
            guard->write(kAnswer);
            guard->flush();
            emit openRequested(QString::fromUtf8(line));
        };
        connect(socket, &QLocalSocket::readyRead, this, answer);
        // The request may have come in with the connection.
        answer();
    }
}

} // namespace tess
