#pragma once

#include <QList>
#include <QString>
#include <chrono>
#include <memory>
#include <optional>
#include <vector>

#include "controller/FtpTranscript.h"
#include "controller/RemoteEntry.h"
#include "controller/TransferType.h"

class ProgressSinkFactory;
class RemoteFinder;

// The program's one FTP session with the network controller. Held by the main window; every page
// has a pointer to it. Connected means that Connect succeeded and Disconnect has not been called
// since: a connection that the network dropped still counts as connected, and its failures show
// up in the operations.
//
// Built on one libcurl easy handle in active mode (PORT), which keeps the control connection open
// between calls and opens a new one by itself (logging in again) after a cancel or a dropped
// connection. The session remembers the remote directory it last entered and enters it again at
// the start of every request, so relative names keep their meaning across such a reconnection.
// Every wait is bounded by the timeouts. Failures never throw: operations return false (or an
// empty value), and Connect and the transfers put a text for the user into LastError(). The
// password is held only while connected and never written anywhere.
class ControllerSession {
public:
    struct Timeouts {
        // Reaching the controller and logging in.
        std::chrono::milliseconds connect{8000};
        // Each reply, the controller's data connection, and a transfer that stalls.
        std::chrono::seconds reply{10};
    };

    ControllerSession();
    ~ControllerSession();
    ControllerSession(const ControllerSession&) = delete;
    ControllerSession& operator=(const ControllerSession&) = delete;

    bool IsConnected() const { return handle_ != nullptr; }
    // Closes the connection; clears host, user and password, port back to 21. Keeps LastError().
    void Disconnect();
    QString LastError() const { return lastError_; }

    // The factory that makes the progress display of Upload and Download; none: no display.
    void SetProgressFactory(ProgressSinkFactory* factory) { progressFactory_ = factory; }
    void SetTimeouts(const Timeouts& timeouts) { timeouts_ = timeouts; }
    const Timeouts& GetTimeouts() const { return timeouts_; }
    // The pause after the progress display shows its text (1 s); tests shorten it.
    void SetProgressPause(std::chrono::milliseconds pause) { progressPause_ = pause; }

    // The remote directory last entered (or reported), without asking the controller; empty
    // before the first.
    const QString& RememberedRemoteDirectory() const { return remoteDirectory_; }
    const QString& Host() const { return host_; }
    const QString& User() const { return user_; }
    quint16 Port() const { return port_; }

    // Connects to host:port and logs in. agent names the program; FTP has no use for it. On
    // failure LastError() says what failed and why, and the session is disconnected.
    [[nodiscard]] bool Connect(const QString& agent, const QString& host, const QString& user,
                               const QString& password, quint16 port);
    // Changes the remote current directory (absolute "/rfa\cfg" or relative).
    [[nodiscard]] bool SetRemoteDirectory(const QString& path);
    // The remote current directory as the controller reports it; empty when not connected or on
    // failure.
    QString GetRemoteDirectory();
    [[nodiscard]] bool CreateRemoteDirectory(const QString& path);
    [[nodiscard]] bool DeleteRemoteFile(const QString& name);
    // A new search over the current remote directory; none when not connected.
    std::unique_ptr<RemoteFinder> NewRemoteFinder();
    // Low 32 bits of the listed size of the last entry matching name; 0 when none matches.
    quint32 RemoteFileSize(const QString& name);
    // Copies localPath to remotePath (created or replaced). False on failure or cancel, with the
    // reason in LastError(). The local file is opened first: when it cannot be read the remote
    // file is not touched.
    [[nodiscard]] bool Upload(const QString& remotePath, const QString& localPath,
                              TransferType type, bool showProgress);
    // Copies remotePath to localPath. The file arrives in a temporary file beside localPath that
    // replaces it only once complete: a failed or cancelled download leaves localPath as it was.
    [[nodiscard]] bool Download(const QString& localPath, const QString& remotePath,
                                TransferType type, bool showProgress);

    // The entries of a remote directory (empty: the current one) as the controller lists them.
    // False when the listing failed or the controller answered that nothing is there (450/550).
    // The remote finder is built on this.
    [[nodiscard]] bool ListRemote(const QString& directory, QList<RemoteEntry>* entries);

    // Releases the library handle (closing its connection).
    struct CurlDeleter {
        void operator()(void* handle) const;
    };

private:
    class BusyGuard;

    // The copy worker of Upload and Download.
    [[nodiscard]] bool Transfer(const QString& destination, const QString& source, bool upload,
                                TransferType type, bool showProgress);
    // Resets the handle to the session's options with a URL for remotePath ("" for the root).
    void PrepareRequest(const QString& remotePath);
    // The request's error for the user: what failed, why, and the controller's last answer.
    QString FailureText(const QString& action, int curlCode) const;
    // Sends each command on the control connection (after re-entering the remembered directory)
    // and returns the final reply of each; nothing when the connection itself failed.
    std::optional<QList<FtpTranscript::Exchange>> RunCommands(const QStringList& commands);
    // Runs the prepared request with the quote list. Returns the libcurl code.
    int Perform(const QStringList& quote);
    QStringList DirectoryQuote() const;

    std::unique_ptr<void, CurlDeleter> handle_;
    QString host_;
    QString user_;
    QString password_;
    quint16 port_ = 21;
    QString lastError_;
    QString remoteDirectory_;  // the directory last entered; empty before the first
    ProgressSinkFactory* progressFactory_ = nullptr;
    Timeouts timeouts_;
    std::chrono::milliseconds progressPause_{1000};
    FtpTranscript transcript_;
    std::vector<char> errorBuffer_;
    bool busy_ = false;
};
