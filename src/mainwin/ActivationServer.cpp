#include "mainwin/ActivationServer.h"

#include <QFile>
#include <QSocketNotifier>
#include <QTimer>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

// A few starts at once are enough; more waiting connections are refused at once.
constexpr int MaxPeers = 4;
constexpr auto PeerTimeout = 2s;

// The abstract name, without its leading NUL; empty when the folder cannot be examined.
QByteArray addressOf(const QString &notesDir)
{
    struct stat folder = {};
    if (::stat(QFile::encodeName(notesDir).constData(), &folder) != 0)
        return {};
    return "nokuri/" + QByteArray::number(quint64(folder.st_dev), 16) + ':'
        + QByteArray::number(quint64(folder.st_ino), 16);
}

socklen_t fillAddress(sockaddr_un &address, const QByteArray &name)
{
    address = {};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path + 1, name.constData(), size_t(name.size()));
    return socklen_t(offsetof(sockaddr_un, sun_path) + 1 + size_t(name.size()));
}

bool fromSameUser(int fd)
{
    ucred peer = {};
    socklen_t length = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 && peer.uid == ::getuid();
}

} // namespace

class ActivationServer::Peer final : public QObject
{
public:
    Peer(int fd, int &count, QObject *parent)
        : QObject(parent)
        , fd(fd)
        , notifier(fd, QSocketNotifier::Read, this)
        , m_count(count)
    {
        ++m_count;
    }
    ~Peer() override
    {
        --m_count;
        ::close(fd);
    }

    const int fd;
    QSocketNotifier notifier;
    QByteArray received;

private:
    int &m_count;
};

ActivationServer::ActivationServer(const QString &notesDir, QObject *parent)
    : QObject(parent)
    , m_address(addressOf(notesDir))
{ }

ActivationServer::~ActivationServer()
{
    // Before the count they keep goes.
    const QObjectList owned = children();
    for (QObject *child : owned)
        delete dynamic_cast<Peer *>(child);
    if (m_fd >= 0)
        ::close(m_fd);
}

bool ActivationServer::listen()
{
    if (m_address.isEmpty())
        return false;
    m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (m_fd < 0)
        return false;
    sockaddr_un address;
    const socklen_t length = fillAddress(address, m_address);
    if (::bind(m_fd, reinterpret_cast<const sockaddr *>(&address), length) != 0
        || ::listen(m_fd, MaxPeers) != 0) {
        ::close(m_fd);
        m_fd = -1;
        return false;
    }
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ActivationServer::acceptPeers);
    return true;
}

void ActivationServer::acceptPeers()
{
    for (;;) {
        const int fd = ::accept4(m_fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0)
            return;
        if (m_peerCount >= MaxPeers || !fromSameUser(fd)) {
            ::close(fd);
            continue;
        }
        auto *peer = new Peer(fd, m_peerCount, this);
        connect(
            &peer->notifier, &QSocketNotifier::activated, this, [this, peer] { readFrom(*peer); });
        QTimer::singleShot(PeerTimeout, peer, &QObject::deleteLater);
    }
}

void ActivationServer::readFrom(Peer &peer)
{
    char bytes[Request.size() + 1];
    const auto wanted = size_t(Request.size() + 1 - peer.received.size());
    const ssize_t got = ::recv(peer.fd, bytes, wanted, 0);
    if (got > 0) {
        peer.received.append(bytes, got);
        if (Request.startsWith(peer.received) && peer.received.size() < Request.size())
            return;
        if (peer.received == Request)
            emit activationRequested();
    } else if (got < 0 && (errno == EAGAIN || errno == EINTR)) {
        return;
    }
    peer.notifier.setEnabled(false);
    peer.deleteLater();
}

int ActivationServer::connectTo(const QString &notesDir)
{
    const QByteArray name = addressOf(notesDir);
    if (name.isEmpty())
        return -1;
    sockaddr_un address;
    const socklen_t length = fillAddress(address, name);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    // Bounds a connect and a send to a program that has stopped taking connections.
    const timeval timeout = {2, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), length) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool ActivationServer::askToShow(const QString &notesDir)
{
    // The running program takes its lock a moment before it listens.
    for (int attempt = 0; attempt < 20; ++attempt) {
        const int fd = connectTo(notesDir);
        if (fd >= 0) {
            const bool sent = ::send(fd, Request.data(), size_t(Request.size()), MSG_NOSIGNAL)
                == ssize_t(Request.size());
            ::close(fd);
            return sent;
        }
        std::this_thread::sleep_for(100ms);
    }
    return false;
}
