#pragma once

#include <QList>
#include <QString>
#include <chrono>
#include <memory>

#include "controller/StoredSizeCheck.h"
#include "ftp/FtpClient.h"
#include "ftp/RemoteEntry.h"
#include "ftp/TransferType.h"

class ProgressSink;
class ProgressSinkFactory;
class RemoteFinder;

// The program's one FTP session with the network controller. Held by the main window; every page
// has a pointer to it. Connected means that Connect succeeded and Disconnect has not been called
// since: a connection that the network dropped still counts as connected, and its failures show
// up in the operations.
//
// Built on the program's own active-mode FTP client (FtpClient), which keeps one control
// connection open between calls. Replies never get out of step: after any anomaly the connection
// is closed, and the next request logs in again and enters the remembered directory again before
// it uses a relative name (and fails when it cannot). Every wait is bounded by the timeouts. Names
// are bytes: text given here goes to the controller through remote_name::ToBytes, so a name taken
// from a listing goes back byte for byte. Failures never throw: operations return false (or an
// empty value), and Connect and the transfers put a text for the user into LastError(). The
// password is held only while connected and never written anywhere.
class ControllerSession {
public:
    struct Timeouts {
        // Reaching the controller and logging in.
        std::chrono::milliseconds connect{8000};
        // Each reply, the controller's data connection, and a transfer that stalls.
        std::chrono::milliseconds reply{10000};
        // A whole listing, however slowly it comes.
        std::chrono::milliseconds listing{30000};
    };

    ControllerSession();
    ~ControllerSession();
    ControllerSession(const ControllerSession&) = delete;
    ControllerSession& operator=(const ControllerSession&) = delete;

    bool IsConnected() const { return connected_; }
    // Closes the connection; clears host, user and password, port back to 21. Keeps LastError().
    void Disconnect();
    QString LastError() const { return lastError_; }
    // What the controller did to the last request that failed in Connect, ListRemote, Upload or
    // Download (failure None when the request failed on this side: a local file, a cancel, a
    // stored size that differs), for a caller that decides by the kind of failure (whether to try
    // again) rather than by the text. Cleared when one of these starts.
    const FtpClient::Result& LastFailure() const { return lastFailure_; }

    // The factory that makes the progress display of Upload and Download; none: no display.
    void SetProgressFactory(ProgressSinkFactory* factory) { progressFactory_ = factory; }
    // Takes effect at once, for the connection that is open too (and its reconnections).
    void SetTimeouts(const Timeouts& timeouts);
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
    // file is not touched. After the controller has taken the file, one listing of it checks
    // that it is as long as what was sent (StoredSizeCheck); a file listed shorter or longer,
    // or not listed, fails the upload. When an upload fails after the controller took the file,
    // LastError() ends with ftp_failure_text::IncompleteUpload().
    [[nodiscard]] bool Upload(const QString& remotePath, const QString& localPath,
                              TransferType type, bool showProgress);
    // One file of a caller that sends many under a display of its own (a web upload): the display
    // is pumped and its cancel read while the file goes, never advanced nor given a text, and no
    // display of the session's own appears. The stored size is not checked here: sent tells what
    // went out, for CheckStored once the files of a directory are sent. Fails as Upload does.
    [[nodiscard]] bool UploadOneOf(ProgressSink& display, const QString& remotePath,
                                   const QString& localPath, TransferType type,
                                   stored_size_check::Sent* sent);
    // One listing of directory checks each file sent there with UploadOneOf (StoredSizeCheck);
    // false with the reason in LastError() for the listing or the first file that does not fit.
    [[nodiscard]] bool CheckStored(const QString& directory,
                                   const QList<stored_size_check::StoredFile>& files);
    // After a failed upload: whether the controller had taken the file, so that its copy there
    // may now be incomplete.
    bool RemoteFileMayBeIncomplete() const { return remoteMayBeIncomplete_; }
    // Copies remotePath to localPath. The file arrives in a temporary file beside localPath that
    // replaces it only once complete: a failed or cancelled download leaves localPath as it was.
    // The bytes that came are checked against the size the controller gives (SIZE, or the size
    // it lists for the file, FtpClient::Retrieve).
    [[nodiscard]] bool Download(const QString& localPath, const QString& remotePath,
                                TransferType type, bool showProgress);

    // Ends a command of a caller without an event loop (a worker thread): after a request that got
    // no answer, the next one is sent again rather than failing at once (FtpClient::EndCommand).
    void EndCommand() { client_.EndCommand(); }

    // The entries of a remote directory (empty: the current one) as the controller lists them.
    // False when the listing failed or the controller answered that nothing is there (450/550).
    // The remote finder is built on this.
    [[nodiscard]] bool ListRemote(const QString& directory, QList<RemoteEntry>* entries);

    // The commands and replies since the last login, with what the client noted.
    const FtpTranscript& Transcript() const { return client_.Transcript(); }

private:
    class BusyGuard;

    // One copy: Upload, UploadOneOf and Download.
    struct Job {
        QString destination;
        QString source;
        bool upload = false;
        TransferType type = TransferType::Binary;
        bool showProgress = false;                // the session's own display, advanced per block
        ProgressSink* callerDisplay = nullptr;    // a caller's display, pumped only
        stored_size_check::Sent* sent = nullptr;  // upload: given, the caller checks the size
    };

    // The copy worker of Upload, UploadOneOf and Download.
    [[nodiscard]] bool Transfer(const Job& job);
    // The size listed for remotePath, -1 when it is not listed; progressSize gets the low 32 bits
    // of what RemoteFileSize would give, from the same listing.
    qint64 ListedSize(const QString& remotePath, quint32* progressSize);
    // Lists argument (a file just stored, or the directory of files just stored) and compares the
    // size of each file with what was sent; false with the reason in LastError() when one differs
    // or the listing failed (listingAction names what failed then).
    [[nodiscard]] bool CheckListing(const QByteArray& argument, const QString& listingAction,
                                    const QList<stored_size_check::StoredFile>& files);
    // Makes text, with ftp_failure_text::IncompleteUpload() after it, the last error of an upload
    // that failed after the controller took the file.
    void SetIncompleteUploadError(const QString& text);
    // Takes the directory the client remembers after a request.
    void SyncDirectory();

    FtpClient client_;
    bool connected_ = false;
    QString host_;
    QString user_;
    QString password_;
    quint16 port_ = 21;
    QString lastError_;
    FtpClient::Result lastFailure_;
    QString remoteDirectory_;  // the directory last entered; empty before the first
    ProgressSinkFactory* progressFactory_ = nullptr;
    Timeouts timeouts_;
    std::chrono::milliseconds progressPause_{1000};
    bool busy_ = false;
    bool remoteMayBeIncomplete_ = false;
};
