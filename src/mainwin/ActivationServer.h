#pragma once

#include <QByteArray>
#include <QObject>

class QSocketNotifier;

// The socket through which a second start asks the running program to come to the front.
// It is a Linux abstract-namespace socket named from the notes folder's device and inode, so
// every start on the folder reaches it whatever its runtime folder, and it goes with the
// process. It takes requests only from processes of the same user, reads at most the few bytes
// of the request and drops a connection that sends anything else or lingers.
class ActivationServer final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ActivationServer)
public:
    static constexpr QByteArrayView Request = "show";

    explicit ActivationServer(const QString &notesDir, QObject *parent = nullptr);
    ~ActivationServer() override;

    // False when the folder's name is taken (another program on the folder) or no socket can
    // be made.
    bool listen();

    // A connected socket to the program that listens for the folder, or -1; the caller closes
    // it.
    static int connectTo(const QString &notesDir);
    // Asks the program on the folder to show itself; false when none took the request.
    static bool askToShow(const QString &notesDir);

signals:
    void activationRequested();

private:
    class Peer;

    void acceptPeers();
    void readFrom(Peer &peer);

    QByteArray m_address;
    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
    int m_peerCount = 0;
};
