#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <span>

// One TCP socket of the operating system, non-blocking, owned by this object and closed by its
// destructor (and by Close). The only place where the FTP client meets the system's socket calls:
// everything above it is portable. Failures never throw; they return false or a negative count
// and leave the system's error number in ErrorCode().
class NetSocket {
public:
    NetSocket() = default;
    ~NetSocket();
    NetSocket(NetSocket&& other) noexcept;
    NetSocket& operator=(NetSocket&& other) noexcept;
    NetSocket(const NetSocket&) = delete;
    NetSocket& operator=(const NetSocket&) = delete;

    bool IsOpen() const { return handle_ >= 0; }

    // Starts connecting to a numeric IPv4 or IPv6 address. The connection is made once the socket
    // is writable; ConnectResult() then says whether it succeeded.
    [[nodiscard]] bool StartConnect(const QString& address, quint16 port);
    // 0 once connected, else the system's error number.
    int ConnectResult();
    // Listens on a free port of the given local address, for a few incoming connections.
    [[nodiscard]] bool Listen(const QString& address);
    // The connection waiting on a listening socket; not open when none is there.
    NetSocket Accept();

    // Count of bytes sent, kWouldBlock when the system takes none now, kFailed on an error.
    static constexpr qint64 kWouldBlock = -1;
    static constexpr qint64 kFailed = -2;
    qint64 Send(const char* data, qint64 size);
    // Count of bytes received, 0 at the end of the stream, kWouldBlock or kFailed.
    qint64 Receive(char* data, qint64 size);
    // Ends the stream towards the peer (it reads an orderly end) and keeps receiving.
    void ShutdownWrite();
    // Closes so that the peer sees a reset rather than an orderly end.
    void Reset();
    void Close();

    QString LocalAddress() const;
    quint16 LocalPort() const;
    // The address of the other end of a connection; empty when not connected.
    QString PeerAddress() const;
    // Bytes handed to Send that the peer has not acknowledged yet; -1 where the system does not
    // tell.
    qint64 UnsentBytes() const;
    int ErrorCode() const { return error_; }

    struct Wait {
        NetSocket* socket = nullptr;
        bool read = false;      // wait for data, an incoming connection or the end
        bool write = false;     // wait for room to send, or for a connection to complete
        bool readable = false;  // results
        bool writable = false;
        // The socket failed or the connection hung up, whether or not anything was asked of it.
        // When nothing was asked, ErrorCode() then holds the socket's error; otherwise the next
        // call on the socket reports it.
        bool failed = false;
    };
    // Waits at most timeoutMs for any of the sockets to become ready or to fail. False on a system
    // error.
    [[nodiscard]] static bool WaitAny(std::span<Wait> waits, int timeoutMs);

private:
    explicit NetSocket(qintptr handle) : handle_(handle) {}

    qintptr handle_ = -1;
    int error_ = 0;
};
