#include "controller/ControllerSession.h"

#include <curl/curl.h>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QThread>
#include <QUrl>

#include "app/SystemErrorText.h"
#include "app/TextEncoding.h"
#include "app/ToolApp.h"
#include "controller/BlockCopy.h"
#include "controller/ListingFinder.h"
#include "controller/RemoteListParser.h"
#include "progress/ProgressSink.h"

using namespace Qt::StringLiterals;

namespace {

// Texts shown to the user are cut to this length, as the platform's error texts were.
constexpr qsizetype kMaxErrorLength = 254;
const QString kBusyText = u"Another operation on the controller is still running."_s;
// A listing larger than this is not a directory of the controller.
constexpr qsizetype kMaxListingBytes = 64 * 1024 * 1024;
// The buffer size the controller's directory text is cut to (with its terminator).
constexpr qsizetype kDirectoryBufferSize = 2048;

// A text for the user, cut to the length of the platform's error texts.
QString ErrorText(const QString& text) {
    return text.left(kMaxErrorLength);
}

struct SlistDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using Slist = std::unique_ptr<curl_slist, SlistDeleter>;

CURL* Curl(const std::unique_ptr<void, ControllerSession::CurlDeleter>& handle) {
    return static_cast<CURL*>(handle.get());
}

bool HasLineBreak(const QString& text) {
    return text.contains(u'\r') || text.contains(u'\n') || text.contains(QChar(0));
}

// The path of a 257 reply: the text between the first quote and its closing quote, with doubled
// quotes taken as one.
QString QuotedPath(const QString& reply) {
    const qsizetype open = reply.indexOf(u'"');
    if (open < 0) {
        return {};
    }
    QString path;
    for (qsizetype index = open + 1; index < reply.size(); ++index) {
        if (reply[index] == u'"') {
            if (index + 1 < reply.size() && reply[index + 1] == u'"') {
                path += u'"';
                ++index;
                continue;
            }
            return path;
        }
        path += reply[index];
    }
    return {};
}

bool IsPositive(int code) {
    return code >= 200 && code < 300;
}

int DebugCallback(CURL*, curl_infotype type, char* data, size_t size, void* userdata) {
    auto* transcript = static_cast<FtpTranscript*>(userdata);
    const QByteArray bytes(data, static_cast<qsizetype>(size));
    if (type == CURLINFO_HEADER_OUT) {
        transcript->CommandSent(bytes);
    } else if (type == CURLINFO_HEADER_IN) {
        transcript->ReplyReceived(bytes);
    }
    return 0;
}

size_t DiscardCallback(char*, size_t size, size_t count, void*) {
    return size * count;
}

size_t CollectCallback(char* data, size_t size, size_t count, void* userdata) {
    auto* listing = static_cast<QByteArray*>(userdata);
    const size_t bytes = size * count;
    if (listing->size() + static_cast<qsizetype>(bytes) > kMaxListingBytes) {
        return 0;
    }
    listing->append(data, static_cast<qsizetype>(bytes));
    return bytes;
}

size_t UploadReadCallback(char* buffer, size_t size, size_t count, void* userdata) {
    const size_t result = static_cast<BlockCopy*>(userdata)->ReadForUpload(buffer, size * count);
    return result == BlockCopy::kAbort ? CURL_READFUNC_ABORT : result;
}

size_t DownloadWriteCallback(char* data, size_t size, size_t count, void* userdata) {
    return static_cast<BlockCopy*>(userdata)->WriteFromDownload(data, size * count);
}

// The reason of a failure in words a service engineer can act on.
QString ReasonFor(CURLcode code, std::chrono::milliseconds connectTimeout,
                  std::chrono::seconds replyTimeout, long osErrno) {
    switch (code) {
        case CURLE_COULDNT_CONNECT:
            return u"the controller cannot be reached"_s +
                   (osErrno != 0 ? u" (%1)"_s.arg(SystemErrorText(static_cast<int>(osErrno)))
                                 : QString());
        case CURLE_COULDNT_RESOLVE_HOST:
            return u"the controller's address is not known"_s;
        case CURLE_OPERATION_TIMEDOUT:
            return u"the controller did not answer in time (connect %1 ms, replies %2 s)"_s
                .arg(connectTimeout.count())
                .arg(replyTimeout.count());
        case CURLE_LOGIN_DENIED:
            return u"the controller refused the user name or the password"_s;
        case CURLE_FTP_ACCEPT_FAILED:
        case CURLE_FTP_ACCEPT_TIMEOUT:
        case CURLE_FTP_PORT_FAILED:
            return u"the controller could not open the data connection to this PC (a firewall "
                   u"may block incoming connections)"_s;
        case CURLE_SEND_ERROR:
        case CURLE_RECV_ERROR:
        case CURLE_GOT_NOTHING:
            return u"the connection to the controller was lost"_s;
        case CURLE_PARTIAL_FILE:
            return u"the controller ended the transfer before the whole file had arrived"_s;
        case CURLE_REMOTE_FILE_NOT_FOUND:
        case CURLE_FTP_COULDNT_RETR_FILE:
            return u"the controller cannot send that file"_s;
        case CURLE_UPLOAD_FAILED:
            return u"the controller did not accept the file"_s;
        case CURLE_REMOTE_DISK_FULL:
            return u"the controller's storage is full"_s;
        case CURLE_WEIRD_SERVER_REPLY:
        case CURLE_FTP_WEIRD_PASV_REPLY:
        case CURLE_FTP_WEIRD_227_FORMAT:
            return u"the controller gave an answer that is not understood"_s;
        default:
            return QString::fromUtf8(curl_easy_strerror(code));
    }
}

}  // namespace

void ControllerSession::CurlDeleter::operator()(void* handle) const {
    curl_easy_cleanup(static_cast<CURL*>(handle));
}

// Keeps a second request off the handle while one runs (a progress display pumps events, and the
// handle cannot be used from within its own callbacks).
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

ControllerSession::ControllerSession() : errorBuffer_(CURL_ERROR_SIZE + 1, '\0') {}

ControllerSession::~ControllerSession() {
    Disconnect();
}

void ControllerSession::Disconnect() {
    if (handle_) {
        // The QUIT sent on the way out waits for its answer at most this long.
        curl_easy_setopt(Curl(handle_), CURLOPT_SERVER_RESPONSE_TIMEOUT, 2L);
    }
    handle_.reset();  // sends QUIT when the connection is still up, and closes it
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
    const QString action = u"Connecting to %1 port %2 failed"_s.arg(host).arg(port);
    if (HasLineBreak(host) || HasLineBreak(user) || HasLineBreak(password)) {
        lastError_ = action + u": the address, user name or password holds a line break."_s;
        Disconnect();
        return false;
    }
    handle_.reset(curl_easy_init());
    if (!handle_) {
        lastError_ = action + u": the FTP library could not be started."_s;
        Disconnect();
        return false;
    }
    PrepareRequest(QString());
    curl_easy_setopt(Curl(handle_), CURLOPT_NOBODY, 1L);
    const auto code = static_cast<CURLcode>(Perform({u"*PWD"_s}));
    if (code != CURLE_OK) {
        lastError_ = FailureText(action, code);
        Disconnect();
        return false;
    }
    const FtpTranscript::Exchange* pwd = transcript_.LastFor(u"PWD"_s);
    remoteDirectory_ = pwd != nullptr && pwd->code == 257 ? QuotedPath(pwd->reply) : QString();
    return true;
}

void ControllerSession::PrepareRequest(const QString& remotePath) {
    CURL* curl = Curl(handle_);
    curl_easy_reset(curl);  // keeps the open connection
    QString hostPart = host_;
    if (hostPart.contains(u':')) {
        hostPart = u'[' + hostPart + u']';
    }
    // Paths go to the controller as given: every character is escaped, and a leading "/" is
    // written as %2F, which makes it an absolute path rather than one below the login directory.
    QByteArray url = "ftp://" + text_encoding::ToFileBytes(hostPart) + ':' +
                     QByteArray::number(port_) + '/' +
                     QUrl::toPercentEncoding(remotePath, QByteArray(), "/");
    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "ftp");
    curl_easy_setopt(curl, CURLOPT_USERNAME, text_encoding::ToFileBytes(user_).constData());
    curl_easy_setopt(curl, CURLOPT_PASSWORD, text_encoding::ToFileBytes(password_).constData());
    curl_easy_setopt(curl, CURLOPT_FTPPORT,
                     "-");  // active mode on the control connection's address
    curl_easy_setopt(curl, CURLOPT_FTP_USE_EPRT, 0L);
    curl_easy_setopt(curl, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
    curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, static_cast<long>(BlockCopy::kBlockSize));
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeouts_.connect.count()));
    curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT,
                     static_cast<long>(timeouts_.reply.count()));
    curl_easy_setopt(curl, CURLOPT_ACCEPTTIMEOUT_MS,
                     static_cast<long>(std::chrono::milliseconds(timeouts_.reply).count()));
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, static_cast<long>(timeouts_.reply.count()));
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer_.data());
    curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);  // feeds the transcript, prints nothing
    curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, DebugCallback);
    curl_easy_setopt(curl, CURLOPT_DEBUGDATA, &transcript_);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, DiscardCallback);
}

int ControllerSession::Perform(const QStringList& quote) {
    Slist list;
    for (const QString& command : quote) {
        curl_slist* extended =
            curl_slist_append(list.get(), text_encoding::ToFileBytes(command).constData());
        if (extended == nullptr) {
            return CURLE_OUT_OF_MEMORY;
        }
        list.release();
        list.reset(extended);
    }
    CURL* curl = Curl(handle_);
    curl_easy_setopt(curl, CURLOPT_QUOTE, list.get());
    transcript_.Clear();
    errorBuffer_[0] = '\0';
    const CURLcode code = curl_easy_perform(curl);
    curl_easy_setopt(curl, CURLOPT_QUOTE, nullptr);
    return code;
}

QStringList ControllerSession::DirectoryQuote() const {
    // A new connection starts in the login directory: enter the remembered one first. The "*"
    // lets the request go on when it fails (the directory may have gone).
    if (remoteDirectory_.isEmpty()) {
        return {};
    }
    return {u"*CWD "_s + remoteDirectory_};
}

QString ControllerSession::FailureText(const QString& action, int curlCode) const {
    const auto code = static_cast<CURLcode>(curlCode);
    long osErrno = 0;
    curl_easy_getinfo(Curl(handle_), CURLINFO_OS_ERRNO, &osErrno);
    QString text = action + u": "_s + ReasonFor(code, timeouts_.connect, timeouts_.reply, osErrno);
    const FtpTranscript::Exchange* answer = transcript_.LastAnswered();
    if (answer != nullptr && answer->code >= 400) {
        text += u" (the controller answered \"%1\")"_s.arg(answer->reply);
    }
    text += u'.';
    return ErrorText(text);
}

std::optional<QList<FtpTranscript::Exchange>> ControllerSession::RunCommands(
    const QStringList& commands) {
    QStringList quote = DirectoryQuote();
    for (const QString& command : commands) {
        if (HasLineBreak(command)) {
            return std::nullopt;
        }
        quote << u'*' + command;
    }
    PrepareRequest(QString());
    curl_easy_setopt(Curl(handle_), CURLOPT_NOBODY, 1L);
    if (Perform(quote) != CURLE_OK) {
        return std::nullopt;
    }
    QList<FtpTranscript::Exchange> replies;
    for (const QString& command : commands) {
        const FtpTranscript::Exchange* exchange = transcript_.LastFor(command);
        replies.append(exchange != nullptr ? *exchange : FtpTranscript::Exchange{command, 0, {}});
    }
    return replies;
}

bool ControllerSession::SetRemoteDirectory(const QString& path) {
    BusyGuard guard(busy_);
    if (!IsConnected() || !guard.Acquired()) {
        return false;
    }
    const auto replies = RunCommands({u"CWD "_s + path, u"PWD"_s});
    if (!replies || !IsPositive((*replies)[0].code)) {
        return false;
    }
    if ((*replies)[1].code == 257) {
        remoteDirectory_ = QuotedPath((*replies)[1].reply);
    } else if (path.startsWith(u'/')) {
        remoteDirectory_ = path;
    }
    return true;
}

QString ControllerSession::GetRemoteDirectory() {
    BusyGuard guard(busy_);
    if (!IsConnected() || !guard.Acquired()) {
        return {};
    }
    const auto replies = RunCommands({u"PWD"_s});
    if (!replies || (*replies)[0].code != 257) {
        return {};
    }
    const QString directory = QuotedPath((*replies)[0].reply);
    if (!directory.isEmpty()) {
        remoteDirectory_ = directory;
    }
    return directory.left(kDirectoryBufferSize - 1);
}

bool ControllerSession::CreateRemoteDirectory(const QString& path) {
    BusyGuard guard(busy_);
    if (!IsConnected() || !guard.Acquired()) {
        return false;
    }
    const auto replies = RunCommands({u"MKD "_s + path});
    return replies && IsPositive((*replies)[0].code);
}

bool ControllerSession::DeleteRemoteFile(const QString& name) {
    BusyGuard guard(busy_);
    if (!IsConnected() || !guard.Acquired()) {
        return false;
    }
    const auto replies = RunCommands({u"DELE "_s + name});
    return replies && IsPositive((*replies)[0].code);
}

bool ControllerSession::ListRemote(const QString& directory, QList<RemoteEntry>* entries) {
    entries->clear();
    BusyGuard guard(busy_);
    if (!IsConnected() || !guard.Acquired() || HasLineBreak(directory)) {
        return false;
    }
    QByteArray listing;
    PrepareRequest(QString());
    CURL* curl = Curl(handle_);
    // The wildcard matching is done here: stock servers refuse "LIST *".
    const QByteArray request =
        directory.isEmpty() ? QByteArray("LIST") : "LIST " + text_encoding::ToFileBytes(directory);
    curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, request.constData());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, CollectCallback);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &listing);
    if (Perform(DirectoryQuote()) != CURLE_OK) {
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
    return Transfer(remotePath, localPath, true, type, showProgress);
}

bool ControllerSession::Download(const QString& localPath, const QString& remotePath,
                                 TransferType type, bool showProgress) {
    return Transfer(localPath, remotePath, false, type, showProgress);
}

bool ControllerSession::Transfer(const QString& destination, const QString& source, bool upload,
                                 TransferType type, bool showProgress) {
    if (!IsConnected()) {
        lastError_ = u"Not connected to the controller."_s;
        return false;
    }
    if (busy_) {
        lastError_ = kBusyText;
        return false;
    }
    const QString& remotePath = upload ? destination : source;
    const QString action = upload ? u"Uploading %1 to the controller failed"_s.arg(source)
                                  : u"Downloading %1 from the controller failed"_s.arg(source);
    if (HasLineBreak(remotePath)) {
        lastError_ = action + u": the remote name holds a line break."_s;
        return false;
    }

    // The local side first: a file that cannot be read or created leaves the remote side alone.
    QFile sourceFile(source);
    QSaveFile destinationFile(destination);
    quint64 size = 0;
    if (upload) {
        if (!sourceFile.open(QIODevice::ReadOnly)) {
            lastError_ = ErrorText(
                u"Cannot open the local file %1: %2."_s.arg(source, sourceFile.errorString()));
            return false;
        }
        size = static_cast<quint64>(sourceFile.size());
    } else {
        size = RemoteFileSize(source);  // 0 when the listing does not show it
        // Whole blocks go straight to the file: no second copy through a write buffer.
        if (!destinationFile.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            lastError_ = ErrorText(u"Cannot create the local file %1: %2."_s.arg(
                destination, destinationFile.errorString()));
            return false;
        }
    }

    BusyGuard guard(busy_);
    std::unique_ptr<ProgressSink> progress;
    if (progressFactory_ != nullptr) {
        progress = progressFactory_->Create(ToolApp::AppCaption());
    }
    ProgressSink* shownProgress = showProgress ? progress.get() : nullptr;
    if (shownProgress != nullptr) {
        shownProgress->MakeModal();
        shownProgress->SetBarRange(0, static_cast<int>(size >> 10), 40);
        shownProgress->SetText(
            (upload ? u"Now uploading file : "_s : u"Now downloading file : "_s) +
            (upload ? QFileInfo(source).absoluteFilePath() : source) + u'\n');
        shownProgress->RepaintNow();
        QThread::msleep(static_cast<unsigned long>(progressPause_.count()));
    }

    BlockCopy copy(upload ? static_cast<QIODevice&>(sourceFile) : destinationFile, shownProgress);
    PrepareRequest(remotePath);
    CURL* curl = Curl(handle_);
    curl_easy_setopt(curl, CURLOPT_TRANSFERTEXT, type == TransferType::Ascii ? 1L : 0L);
    if (upload) {
        curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(curl, CURLOPT_READFUNCTION, UploadReadCallback);
        curl_easy_setopt(curl, CURLOPT_READDATA, &copy);
        curl_easy_setopt(curl, CURLOPT_UPLOAD_BUFFERSIZE, 4L * BlockCopy::kBlockSize);
        if (type == TransferType::Binary) {
            curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(size));
        }
    } else {
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, DownloadWriteCallback);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, &copy);
    }
    const auto code = static_cast<CURLcode>(Perform(DirectoryQuote()));
    bool result = code == CURLE_OK;
    if (result) {
        result = upload ? copy.FinishUpload() : copy.FinishDownload();
    }

    progress.reset();  // enables the main window again
    if (copy.Cancelled()) {
        lastError_ =
            upload ? u"FTP upload cancelled by user."_s : u"FTP download cancelled by user."_s;
        result = false;
    } else if (!copy.FileError().isEmpty()) {
        lastError_ = ErrorText(
            upload ? u"Reading the local file %1 failed: %2."_s.arg(source, copy.FileError())
                   : u"Writing the local file %1 failed: %2."_s.arg(destination, copy.FileError()));
        result = false;
    } else if (code != CURLE_OK) {
        lastError_ = FailureText(action, code);
    }
    sourceFile.close();
    if (!upload) {
        if (result && !destinationFile.commit()) {
            lastError_ = ErrorText(u"Writing the local file %1 failed: %2."_s.arg(
                destination, destinationFile.errorString()));
            result = false;
        }
        if (!result) {
            destinationFile.cancelWriting();  // the temporary file goes; destination untouched
        }
    }
    return result;
}
