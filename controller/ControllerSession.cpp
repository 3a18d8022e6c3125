#include "controller/ControllerSession.h"

#include <QFile>
#include <QFileInfo>
#include <QThread>

#include "base/TextEncoding.h"
#include "base/ToolState.h"
#include "controller/BlockCopy.h"
#include "controller/FtpFailureText.h"
#include "controller/ListingFinder.h"
#include "controller/NetworkCopy.h"
#include "controller/PartialDownload.h"
#include "ftp/RemoteListParser.h"
#include "ftp/RemoteName.h"
#include "base/ProgressSink.h"

using namespace Qt::StringLiterals;
using ftp_failure_text::Request;

namespace {

const QString kBusyText = u"Another operation on the controller is still running."_s;
// A listing larger than this is not a directory of the controller.
constexpr qint64 kMaxListingBytes = 16 * 1024 * 1024;
// The buffer size the controller's directory text is cut to (with its terminator).
constexpr qsizetype kDirectoryBufferSize = 2048;

bool HasLineBreak(const QString& text) {
    return text.contains(u'\r') || text.contains(u'\n') || text.contains(QChar(0));
}

}  // namespace

// Keeps a second request off the connection while one runs (a progress display pumps events).
class ControllerSession::BusyGuard {
public:
    explicit BusyGuard(bool& busy) : busy_(busy), acquired_(!busy) { busy_ = true; }
    ~BusyGuard() {
        if (acquired_) {
            busy_ = false;
        }
    }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;
    bool Acquired() const { return acquired_; }

private:
    bool& busy_;
    bool acquired_;
};

ControllerSession::ControllerSession() = default;

ControllerSession::~ControllerSession() {
    Disconnect();
}

void ControllerSession::SetTimeouts(const Timeouts& timeouts) {
    timeouts_ = timeouts;
    client_.SetTimeouts({timeouts_.connect, timeouts_.reply, timeouts_.listing});
}

void ControllerSession::Disconnect() {
    client_.Close();  // sends QUIT when the connection is still up, and closes it
    connected_ = false;
    host_.clear();
    user_.clear();
    password_.clear();
    port_ = 21;
    remoteDirectory_.clear();
}

bool ControllerSession::Connect(const QString& agent, const QString& host, const QString& user,
                                const QString& password, quint16 port) {
    BusyGuard guard(busy_);
    if (!guard.Acquired()) {
        lastError_ = kBusyText;
        return false;
    }
    Q_UNUSED(agent);  // FTP has no agent name
    host_ = host;
    user_ = user;
    password_ = password;
    port_ = port;
    remoteDirectory_.clear();
    lastFailure_ = {};
    const QString action = u"Connecting to %1 port %2 failed"_s.arg(host).arg(port);
    if (HasLineBreak(host) || HasLineBreak(user) || HasLineBreak(password)) {
        lastError_ = action + u": the address, user name or password holds a line break."_s;
        Disconnect();
        return false;
    }
    client_.SetTimeouts({timeouts_.connect, timeouts_.reply, timeouts_.listing});
    const FtpClient::Result result = client_.Open(
        {host, port, text_encoding::ToFileBytes(user), text_encoding::ToFileBytes(password)});
    if (!result.Ok()) {
        lastFailure_ = result;
        lastError_ = ftp_failure_text::For(action, Request::Connect, result, client_.GetTimeouts(),
                                           QString());
        Disconnect();
        return false;
    }
    connected_ = true;
    SyncDirectory();
    return true;
}

void ControllerSession::SyncDirectory() {
    remoteDirectory_ = remote_name::FromBytes(client_.RememberedDirectory());
}

bool ControllerSession::SetRemoteDirectory(const QString& path) {
    BusyGuard guard(busy_);
    if (!IsConnected() || !guard.Acquired() || HasLineBreak(path)) {
        return false;
    }
    const bool changed = client_.ChangeDirectory(remote_name::ToBytes(path)).Ok();
    SyncDirectory();
    return changed;
}

QString ControllerSession::GetRemoteDirectory() {
    BusyGuard guard(busy_);
    if (!IsConnected() || !guard.Acquired()) {
        return {};
    }
    QByteArray directory;
    const bool read = client_.ReadDirectory(&directory).Ok();
    SyncDirectory();
    return read ? remote_name::FromBytes(directory).left(kDirectoryBufferSize - 1) : QString();
}

bool ControllerSession::CreateRemoteDirectory(const QString& path) {
    BusyGuard guard(busy_);
    if (!IsConnected() || !guard.Acquired() || HasLineBreak(path)) {
        return false;
    }
    return client_.Command("MKD " + remote_name::ToBytes(path)).Ok();
}

bool ControllerSession::DeleteRemoteFile(const QString& name) {
    BusyGuard guard(busy_);
    if (!IsConnected() || !guard.Acquired() || HasLineBreak(name)) {
        return false;
    }
    return client_.Command("DELE " + remote_name::ToBytes(name)).Ok();
}

bool ControllerSession::ListRemote(const QString& directory, QList<RemoteEntry>* entries) {
    entries->clear();
    lastFailure_ = {};
    BusyGuard guard(busy_);
    if (!IsConnected() || !guard.Acquired() || HasLineBreak(directory)) {
        return false;
    }
    // The wildcard matching is done here: stock servers refuse "LIST *".
    QByteArray listing;
    const FtpClient::Result listed =
        client_.List(remote_name::ToBytes(directory), kMaxListingBytes, &listing);
    if (!listed.Ok()) {
        lastFailure_ = listed;
        return false;  // also 450 and 550: nothing there
    }
    *entries = RemoteListParser::Parse(listing);
    return true;
}

std::unique_ptr<RemoteFinder> ControllerSession::NewRemoteFinder() {
    if (!IsConnected()) {
        return nullptr;
    }
    return std::make_unique<ListingFinder>(*this);
}

quint32 ControllerSession::RemoteFileSize(const QString& name) {
    std::unique_ptr<RemoteFinder> finder = NewRemoteFinder();
    if (!finder) {
        return 0;
    }
    quint32 size = 0;
    if (finder->FindFirst(name)) {
        do {
            size = finder->Size();
        } while (finder->FindNext());
    }
    finder->Close();
    return size;
}

bool ControllerSession::Upload(const QString& remotePath, const QString& localPath,
                               TransferType type, bool showProgress) {
    return Transfer({.destination = remotePath,
                     .source = localPath,
                     .upload = true,
                     .type = type,
                     .showProgress = showProgress});
}

bool ControllerSession::UploadOneOf(ProgressSink& display, const QString& remotePath,
                                    const QString& localPath, TransferType type,
                                    stored_size_check::Sent* sent) {
    return Transfer({.destination = remotePath,
                     .source = localPath,
                     .upload = true,
                     .type = type,
                     .callerDisplay = &display,
                     .sent = sent});
}

bool ControllerSession::Download(const QString& localPath, const QString& remotePath,
                                 TransferType type, bool showProgress) {
    return Transfer({.destination = localPath,
                     .source = remotePath,
                     .type = type,
                     .showProgress = showProgress});
}

qint64 ControllerSession::ListedSize(const QString& remotePath, quint32* progressSize) {
    *progressSize = 0;
    ListingFinder finder(*this);
    if (!finder.FindFirst(remotePath)) {
        return -1;
    }
    // The progress range as RemoteFileSize gives it: the last match.
    *progressSize = static_cast<quint32>(finder.Matches().back().size & 0xFFFFFFFFu);
    const std::optional<quint64> listed =
        stored_size_check::ListedSize(finder.Matches(), remote_name::ToBytes(remotePath));
    return listed ? static_cast<qint64>(*listed) : -1;
}

bool ControllerSession::Transfer(const Job& job) {
    remoteMayBeIncomplete_ = false;
    lastFailure_ = {};
    if (!IsConnected()) {
        lastError_ = u"Not connected to the controller."_s;
        return false;
    }
    if (busy_) {
        lastError_ = kBusyText;
        return false;
    }
    const bool upload = job.upload;
    const QString& source = job.source;
    const QString& destination = job.destination;
    const QString& remotePath = upload ? destination : source;
    const QString action = upload ? u"Uploading %1 to the controller failed"_s.arg(source)
                                  : u"Downloading %1 from the controller failed"_s.arg(source);
    if (HasLineBreak(remotePath)) {
        lastError_ = action + u": the remote name holds a line break."_s;
        return false;
    }

    // The local side first: a file that cannot be read or created leaves the remote side alone.
    QFile sourceFile(source);
    PartialDownload destinationFile(destination);
    quint64 size = 0;
    qint64 listedSize = -1;
    if (upload) {
        if (!sourceFile.open(QIODevice::ReadOnly)) {
            lastError_ = ftp_failure_text::Cut(
                u"Cannot open the local file %1: %2."_s.arg(source, sourceFile.errorString()));
            return false;
        }
        size = static_cast<quint64>(sourceFile.size());
    } else {
        quint32 progressSize = 0;  // 0 when the listing does not show it
        listedSize = ListedSize(source, &progressSize);
        size = progressSize;
        if (!destinationFile.Open()) {
            lastError_ = ftp_failure_text::Cut(u"Cannot create the local file %1: %2."_s.arg(
                destination, destinationFile.ErrorString()));
            return false;
        }
    }

    BusyGuard guard(busy_);
    // A caller's display serves instead of one of the session's own.
    std::unique_ptr<ProgressSink> progress;
    if (progressFactory_ != nullptr && job.callerDisplay == nullptr) {
        progress = progressFactory_->Create(ToolState::AppCaption());
    }
    ProgressSink* shownProgress = job.showProgress ? progress.get() : nullptr;
    if (shownProgress != nullptr) {
        shownProgress->MakeModal();
        shownProgress->SetBarRange(0, static_cast<int>(size >> 10), 40);
        shownProgress->SetText(
            (upload ? u"Now uploading file : "_s : u"Now downloading file : "_s) +
            (upload ? QFileInfo(source).absoluteFilePath() : source) + u'\n');
        shownProgress->RepaintNow();
        QThread::msleep(static_cast<unsigned long>(progressPause_.count()));
    }

    BlockCopy copy(upload ? static_cast<QIODevice&>(sourceFile) : destinationFile.Device(),
                   job.callerDisplay != nullptr ? job.callerDisplay : shownProgress,
                   job.callerDisplay != nullptr ? BlockCopy::Display::PumpedOnly
                                                : BlockCopy::Display::Advanced);
    stored_size_check::Sent sent;
    const FtpClient::Result network = CopyOverNetwork(client_, remote_name::ToBytes(remotePath),
                                                      upload, job.type, listedSize, copy, &sent);
    bool result = network.Ok() && (upload ? copy.FinishUpload() : copy.FinishDownload());
    SyncDirectory();

    progress.reset();  // enables the main window again
    if (copy.Cancelled()) {
        lastError_ =
            upload ? u"FTP upload cancelled by user."_s : u"FTP download cancelled by user."_s;
        result = false;
    } else if (!copy.FileError().isEmpty()) {
        lastError_ = ftp_failure_text::Cut(
            upload ? u"Reading the local file %1 failed: %2."_s.arg(source, copy.FileError())
                   : u"Writing the local file %1 failed: %2."_s.arg(destination, copy.FileError()));
        result = false;
    } else if (!network.Ok()) {
        lastFailure_ = network;
        lastError_ = ftp_failure_text::For(action, upload ? Request::Upload : Request::Download,
                                           network, client_.GetTimeouts(), remoteDirectory_);
    }
    sourceFile.close();
    if (upload && !result && network.started) {
        SetIncompleteUploadError(lastError_);
    }
    if (upload && result) {
        if (job.sent != nullptr) {
            *job.sent = sent;  // the caller checks the size
        } else {
            result = CheckListing(
                remote_name::ToBytes(remotePath),
                u"Checking the size of %1 on the controller after the upload failed"_s.arg(
                    remotePath),
                {{remotePath, source, sent}});
        }
    }
    if (!upload && result && !destinationFile.Commit()) {
        lastError_ = ftp_failure_text::Cut(u"Writing the local file %1 failed: %2."_s.arg(
            destination, destinationFile.ErrorString()));
        result = false;
    }
    return result;  // a download that failed removes its temporary file; destination untouched
}

void ControllerSession::SetIncompleteUploadError(const QString& text) {
    lastError_ = ftp_failure_text::WithIncompleteUpload(text);
    remoteMayBeIncomplete_ = true;
}

bool ControllerSession::CheckStored(const QString& directory,
                                    const QList<stored_size_check::StoredFile>& files) {
    remoteMayBeIncomplete_ = false;
    if (!IsConnected()) {
        lastError_ = u"Not connected to the controller."_s;
        return false;
    }
    BusyGuard guard(busy_);
    if (!guard.Acquired()) {
        lastError_ = kBusyText;
        return false;
    }
    return files.isEmpty() ||
           CheckListing(remote_name::ToBytes(directory),
                        u"Checking the sizes of the files uploaded to %1 failed"_s.arg(directory),
                        files);
}

bool ControllerSession::CheckListing(const QByteArray& argument, const QString& listingAction,
                                     const QList<stored_size_check::StoredFile>& files) {
    QByteArray listing;
    const FtpClient::Result listed = client_.List(argument, kMaxListingBytes, &listing);
    SyncDirectory();
    const bool nothingThere = listed.failure == FtpClient::Failure::Refused &&
                              (listed.reply.code == 450 || listed.reply.code == 550);
    if (!listed.Ok() && !nothingThere) {
        lastFailure_ = listed;
        SetIncompleteUploadError(ftp_failure_text::For(listingAction, Request::Other, listed,
                                                       client_.GetTimeouts(), remoteDirectory_));
        return false;
    }
    const QList<RemoteEntry> entries = RemoteListParser::Parse(listing);
    for (const stored_size_check::StoredFile& file : files) {
        const QString mismatch =
            stored_size_check::Mismatch(entries, remote_name::ToBytes(file.remotePath), file.sent);
        if (!mismatch.isEmpty()) {
            SetIncompleteUploadError(
                u"Uploading %1 to the controller failed: "_s.arg(file.localPath) + mismatch + u'.');
            return false;
        }
    }
    return true;
}
