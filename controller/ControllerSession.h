#pragma once

#include <QString>
#include <memory>

#include "controller/TransferType.h"

class ProgressSinkFactory;
class RemoteFinder;

// The program's one FTP session with the network controller. Held by the main window; every page
// has a pointer to it. Connected means that Connect succeeded and Disconnect has not been called
// since: a connection that the network dropped still counts as connected, and its failures show
// up in the operations.
//
// (The operations below Disconnect are the session's interface; the FTP implementation lands with
// the controller work.)
class ControllerSession {
public:
    ControllerSession() = default;
    ~ControllerSession() { Disconnect(); }
    ControllerSession(const ControllerSession&) = delete;
    ControllerSession& operator=(const ControllerSession&) = delete;

    bool IsConnected() const { return connected_; }
    void Disconnect() { connected_ = false; }
    QString LastError() const { return lastError_; }

    // The factory that makes the progress display of Upload and Download.
    void SetProgressFactory(ProgressSinkFactory* factory) { progressFactory_ = factory; }

    [[nodiscard]] bool Connect(const QString& agent, const QString& host, const QString& user,
                               const QString& password, quint16 port);
    [[nodiscard]] bool SetRemoteDirectory(const QString& path);
    QString GetRemoteDirectory();
    [[nodiscard]] bool CreateRemoteDirectory(const QString& path);
    [[nodiscard]] bool DeleteRemoteFile(const QString& name);
    // A new search over the current remote directory; none when not connected.
    std::unique_ptr<RemoteFinder> NewRemoteFinder();
    // Low 32 bits of the listed size of the last entry matching name; 0 when none matches.
    quint32 RemoteFileSize(const QString& name);
    [[nodiscard]] bool Upload(const QString& remotePath, const QString& localPath,
                              TransferType type, bool showProgress);
    [[nodiscard]] bool Download(const QString& localPath, const QString& remotePath,
                                TransferType type, bool showProgress);

private:
    bool connected_ = false;
    QString lastError_;
    ProgressSinkFactory* progressFactory_ = nullptr;
};
