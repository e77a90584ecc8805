#include "mainwin/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

namespace {

QString keyFor(const QString &notesDir)
{
    const QByteArray canonical = QDir(notesDir).canonicalPath().toUtf8();
    return QStringLiteral("nokuri-")
        + QString::fromLatin1(
            QCryptographicHash::hash(canonical, QCryptographicHash::Sha1).toHex().left(16));
}

} // namespace

SingleInstance::SingleInstance(const QString &notesDir, const QString &runtimeDir)
    : m_serverName(QDir(runtimeDir).filePath(keyFor(notesDir)))
    , m_lock(m_serverName + QStringLiteral(".lock"))
{
    m_lock.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::claim()
{
    if (!m_lock.tryLock()) {
        QLocalSocket socket;
        socket.connectToServer(m_serverName);
        if (socket.waitForConnected(2000)) {
            socket.write("show");
            socket.waitForBytesWritten(2000);
            socket.disconnectFromServer();
        }
        return false;
    }
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(m_serverName);
    m_server->listen(m_serverName);
    connect(m_server.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *peer = m_server->nextPendingConnection()) {
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            emit activationRequested();
        }
    });
    return true;
}
