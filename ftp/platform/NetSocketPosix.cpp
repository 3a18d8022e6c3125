#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>
#ifdef __linux__
#include <linux/sockios.h>
#endif

#include <QHostAddress>
#include <cerrno>
#include <cstring>
#include <vector>

#include "ftp/platform/NetSocket.h"

namespace {

int Fd(qintptr handle) {
    return static_cast<int>(handle);
}

// The socket address of address:port; false when address is not numeric.
bool ToSockaddr(const QString& address, quint16 port, sockaddr_storage* storage,
                socklen_t* length) {
    const QHostAddress host(address);
    std::memset(storage, 0, sizeof(*storage));
    if (host.protocol() == QAbstractSocket::IPv4Protocol) {
        auto* ipv4 = reinterpret_cast<sockaddr_in*>(storage);
        ipv4->sin_family = AF_INET;
        ipv4->sin_port = htons(port);
        ipv4->sin_addr.s_addr = htonl(host.toIPv4Address());
        *length = sizeof(sockaddr_in);
        return true;
    }
    if (host.protocol() == QAbstractSocket::IPv6Protocol) {
        auto* ipv6 = reinterpret_cast<sockaddr_in6*>(storage);
        ipv6->sin6_family = AF_INET6;
        ipv6->sin6_port = htons(port);
        const Q_IPV6ADDR bytes = host.toIPv6Address();
        std::memcpy(&ipv6->sin6_addr, bytes.c, sizeof(bytes.c));
        *length = sizeof(sockaddr_in6);
        return true;
    }
    return false;
}

// A new non-blocking stream socket for address:port, its address in storage and length; -1 with
// *error set when address is not numeric or no socket could be made.
int OpenStreamSocket(const QString& address, quint16 port, sockaddr_storage* storage,
                     socklen_t* length, int* error) {
    if (!ToSockaddr(address, port, storage, length)) {
        *error = EINVAL;
        return -1;
    }
    const int fd = ::socket(storage->ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        *error = errno;
    }
    return fd;
}

}  // namespace

NetSocket::~NetSocket() {
    Close();
}

NetSocket::NetSocket(NetSocket&& other) noexcept : handle_(other.handle_), error_(other.error_) {
    other.handle_ = -1;
}

NetSocket& NetSocket::operator=(NetSocket&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = other.handle_;
        error_ = other.error_;
        other.handle_ = -1;
    }
    return *this;
}

bool NetSocket::StartConnect(const QString& address, quint16 port) {
    Close();
    sockaddr_storage storage;
    socklen_t length = 0;
    const int fd = OpenStreamSocket(address, port, &storage, &length, &error_);
    if (fd < 0) {
        return false;
    }
    handle_ = fd;
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof(one));  // commands are small
    if (::connect(fd, reinterpret_cast<sockaddr*>(&storage), length) != 0 && errno != EINPROGRESS) {
        error_ = errno;
        Close();
        return false;
    }
    return true;
}

int NetSocket::ConnectResult() {
    int result = 0;
    socklen_t length = sizeof(result);
    if (::getsockopt(Fd(handle_), SOL_SOCKET, SO_ERROR, &result, &length) != 0) {
        result = errno;
    }
    error_ = result;
    return result;
}

bool NetSocket::Listen(const QString& address) {
    Close();
    sockaddr_storage storage;
    socklen_t length = 0;
    const int fd = OpenStreamSocket(address, 0, &storage, &length, &error_);
    if (fd < 0) {
        return false;
    }
    handle_ = fd;
    // A few waiting connections: one from a stranger must not keep the controller's out.
    constexpr int kBacklog = 4;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&storage), length) != 0 ||
        ::listen(fd, kBacklog) != 0) {
        error_ = errno;
        Close();
        return false;
    }
    return true;
}

NetSocket NetSocket::Accept() {
    const int fd = ::accept4(Fd(handle_), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
        error_ = errno;
        return NetSocket();
    }
    return NetSocket(fd);
}

qint64 NetSocket::Send(const char* data, qint64 size) {
    const ssize_t sent = ::send(Fd(handle_), data, static_cast<size_t>(size), MSG_NOSIGNAL);
    if (sent >= 0) {
        return sent;
    }
    error_ = errno;
    return (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) ? kWouldBlock : kFailed;
}

qint64 NetSocket::Receive(char* data, qint64 size) {
    const ssize_t received = ::recv(Fd(handle_), data, static_cast<size_t>(size), 0);
    if (received >= 0) {
        return received;
    }
    error_ = errno;
    return (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) ? kWouldBlock : kFailed;
}

void NetSocket::ShutdownWrite() {
    if (IsOpen()) {
        ::shutdown(Fd(handle_), SHUT_WR);
    }
}

void NetSocket::Reset() {
    if (IsOpen()) {
        const linger abortive{1, 0};
        ::setsockopt(Fd(handle_), SOL_SOCKET, SO_LINGER, &abortive, sizeof(abortive));
    }
    Close();
}

void NetSocket::Close() {
    if (IsOpen()) {
        ::close(Fd(handle_));
        handle_ = -1;
    }
}

QString NetSocket::LocalAddress() const {
    sockaddr_storage storage;
    socklen_t length = sizeof(storage);
    if (::getsockname(Fd(handle_), reinterpret_cast<sockaddr*>(&storage), &length) != 0) {
        return {};
    }
    return QHostAddress(reinterpret_cast<sockaddr*>(&storage)).toString();
}

QString NetSocket::PeerAddress() const {
    sockaddr_storage storage;
    socklen_t length = sizeof(storage);
    if (::getpeername(Fd(handle_), reinterpret_cast<sockaddr*>(&storage), &length) != 0) {
        return {};
    }
    return QHostAddress(reinterpret_cast<sockaddr*>(&storage)).toString();
}

qint64 NetSocket::UnsentBytes() const {
#ifdef __linux__
    int unsent = 0;
    if (IsOpen() && ::ioctl(Fd(handle_), SIOCOUTQ, &unsent) == 0) {
        return unsent;
    }
#endif
    return -1;
}

quint16 NetSocket::LocalPort() const {
    sockaddr_storage storage;
    socklen_t length = sizeof(storage);
    if (::getsockname(Fd(handle_), reinterpret_cast<sockaddr*>(&storage), &length) != 0) {
        return 0;
    }
    return static_cast<quint16>(storage.ss_family == AF_INET6
                                    ? ntohs(reinterpret_cast<sockaddr_in6*>(&storage)->sin6_port)
                                    : ntohs(reinterpret_cast<sockaddr_in*>(&storage)->sin_port));
}

bool NetSocket::WaitAny(std::span<Wait> waits, int timeoutMs) {
    std::vector<pollfd> fds;
    fds.reserve(waits.size());
    for (Wait& wait : waits) {
        wait.readable = false;
        wait.writable = false;
        wait.failed = false;
        short events = 0;
        if (wait.read) {
            events |= POLLIN;
        }
        if (wait.write) {
            events |= POLLOUT;
        }
        fds.push_back({wait.socket->IsOpen() ? Fd(wait.socket->handle_) : -1, events, 0});
    }
    const int ready = ::poll(fds.data(), fds.size(), timeoutMs);
    if (ready < 0) {
        return errno == EINTR;
    }
    for (size_t index = 0; index < fds.size(); ++index) {
        const short revents = fds[index].revents;
        // The system reports an error or a hang-up even when nothing was asked: it ends the wait,
        // and makes the socket ready for whatever was asked (the next call says what happened).
        const bool failed = (revents & (POLLERR | POLLHUP | POLLNVAL)) != 0;
        Wait& wait = waits[index];
        wait.readable = wait.read && ((revents & POLLIN) != 0 || failed);
        wait.writable = wait.write && ((revents & POLLOUT) != 0 || failed);
        wait.failed = failed;
        // Asked for something, the socket's next call reports the error itself; reading it here
        // would clear it.
        if (failed && !wait.read && !wait.write) {
            int error = 0;
            socklen_t length = sizeof(error);
            if (::getsockopt(fds[index].fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 &&
                error != 0) {
                wait.socket->error_ = error;
            }
        }
    }
    return true;
}
