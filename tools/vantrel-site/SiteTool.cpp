#include "tools/vantrel-site/SiteTool.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QSaveFile>
#include <QTimer>
#include <csignal>

#include "site/History.h"
#include "site/ResultTable.h"
#include "site/SitePaths.h"
#include "tools/vantrel-set/CommandExit.h"
#include "tools/vantrel-site/PasswordPrompt.h"
#include "tools/vantrel-site/SiteLog.h"
#include "tools/vantrel-site/SiteTerminalView.h"
#include "tools/vantrel-site/SiteUsage.h"

using namespace Qt::StringLiterals;
using namespace command_exit;

namespace {

const QCommandLineOption kHelp(QStringList{u"h"_s, u"help"_s});
const QCommandLineOption kSite(u"site"_s, QString(), u"FOLDER"_s);
const QCommandLineOption kPasswordFile(u"password-file"_s, QString(), u"FILE"_s);
const QCommandLineOption kJson(u"json"_s, QString(), u"FILE"_s);
const QCommandLineOption kParallel(u"parallel"_s, QString(), u"N"_s, u"8"_s);
const QCommandLineOption kTimeLimit(u"time-limit"_s, QString(), u"SECONDS"_s, u"300"_s);
const QCommandLineOption kRetryPause(u"retry-pause"_s, QString(), u"SECONDS"_s, u"1"_s);
const QCommandLineOption kOnly(u"only"_s, QString(), u"NAMES"_s);
const QCommandLineOption kTo(u"to"_s, QString(), u"NAMES"_s);
const QCommandLineOption kFull(u"full"_s);
const QCommandLineOption kDryRun(u"dry-run"_s);
const QCommandLineOption kFrom(u"from"_s, QString(), u"COMMIT"_s);
const QCommandLineOption kName(u"name"_s, QString(), u"NAME"_s);
const QCommandLineOption kEngineer(u"engineer"_s, QString(), u"NAME"_s);
const QCommandLineOption kPort(u"port"_s, QString(), u"N"_s, u"21"_s);
const QCommandLineOption kUser(u"user"_s, QString(), u"U"_s, u"service"_s);
const QCommandLineOption kCsv(u"csv"_s);

// Set by Ctrl+C while a run goes on; the run's event loop looks at it.
volatile std::sig_atomic_t interrupted = 0;

void OnInterrupt(int) {
    interrupted = 1;
}

QString SiteFolder(const QCommandLineParser& parser) {
    return parser.isSet(kSite) ? parser.value(kSite) : QDir::currentPath();
}

QStringList Names(const QString& list) {
    QStringList names;
    for (const QString& name : list.split(u',', Qt::SkipEmptyParts)) {
        names << name.trimmed();
    }
    return names;
}

}  // namespace

int SiteTool::Usage(const QString& command, const QString& problem) {
    err_ << u"vantrel-site: "_s << problem << Qt::endl
         << u"Run 'vantrel-site "_s << (command.isEmpty() ? QString() : command + u' ')
         << u"--help' for the usage."_s << Qt::endl;
    return kUsage;
}

int SiteTool::Fail(const QString& text) {
    err_ << u"vantrel-site: "_s << text << Qt::endl;
    return kFailed;
}

int SiteTool::Run(const QStringList& arguments) {
    if (arguments.size() < 2) {
        return Usage(QString(), u"No command given."_s);
    }
    const QString command = arguments.at(1);
    if (command == u"--help"_s || command == u"-h"_s) {
        out_ << site_usage::Tool() << Qt::endl;
        return kOk;
    }
    if (site_usage::Command(command).isEmpty()) {
        return Usage(QString(), u"Unknown command '%1'."_s.arg(command));
    }
    QStringList rest = arguments.mid(2);
    rest.prepend(arguments.first());
    if (rest.contains(u"--help"_s) || rest.contains(u"-h"_s)) {
        out_ << site_usage::Command(command) << Qt::endl;
        return kOk;
    }
    if (command == u"init"_s) {
        return Init(rest);
    }
    if (command == u"add"_s) {
        return Add(rest);
    }
    if (command == u"log"_s) {
        return Log(rest);
    }
    return RunOperation(command, rest);
}

int SiteTool::Init(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.addOptions({kHelp, kName, kEngineer});
    if (!parser.parse(arguments)) {
        return Usage(u"init"_s, parser.errorText());
    }
    if (parser.positionalArguments().size() != 1) {
        return Usage(u"init"_s, u"init takes one folder."_s);
    }
    const QString folder = parser.positionalArguments().first();
    if (!QDir().mkpath(folder)) {
        return Fail(u"Cannot make the folder %1."_s.arg(folder));
    }
    SiteFile site(folder);
    if (QFile::exists(site.FilePath())) {
        return Fail(u"%1 is an installation folder already."_s.arg(folder));
    }
    QString engineer = parser.value(kEngineer);
    if (engineer.isEmpty()) {
        engineer = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME"));
    }
    QString error;
    History history;
    if (!site.WriteSite(parser.value(kName), engineer, &error) ||
        !history.Open(site.HistoryPath(), true, &error)) {
        return Fail(error);
    }
    out_ << u"Made the installation folder %1; add its controllers with 'vantrel-site add NAME "
            u"ADDRESS'."_s.arg(QDir::toNativeSeparators(folder))
         << Qt::endl;
    return kOk;
}

int SiteTool::Add(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.addOptions({kHelp, kSite, kPort, kUser});
    if (!parser.parse(arguments)) {
        return Usage(u"add"_s, parser.errorText());
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 2) {
        return Usage(u"add"_s, u"add takes a name and an address."_s);
    }
    bool valid = false;
    const uint port = parser.value(kPort).toUInt(&valid);
    if (!valid || port == 0 || port > 65535) {
        return Usage(u"add"_s, u"--port takes a port from 1 to 65535."_s);
    }
    const QString address = positional.at(1).trimmed();
    if (address.isEmpty() || address.contains(u' ')) {
        return Usage(u"add"_s, u"\"%1\" is not an address."_s.arg(positional.at(1)));
    }
    const QString nameProblem = SiteFile::NameProblem(positional.first());
    if (!nameProblem.isEmpty()) {
        return Usage(u"add"_s, nameProblem);
    }
    SiteFile site(SiteFolder(parser));
    QString error;
    if (!site.Load(&error)) {
        return Fail(error);
    }
    if (!site.AddController(
            {positional.first(), address, static_cast<quint16>(port), parser.value(kUser)},
            &error)) {
        return Fail(error);
    }
    out_ << u"Added %1 (%2 port %3, user %4)."_s.arg(positional.first(), address)
                .arg(port)
                .arg(parser.value(kUser))
         << Qt::endl;
    return kOk;
}

int SiteTool::Log(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.addOptions({kHelp, kSite, kCsv});
    if (!parser.parse(arguments)) {
        return Usage(u"log"_s, parser.errorText());
    }
    if (!parser.positionalArguments().isEmpty()) {
        return Usage(u"log"_s, u"log takes no arguments."_s);
    }
    QString error;
    if (!site_log::Print(SiteFolder(parser), parser.isSet(kCsv), out_, &error)) {
        return Fail(error);
    }
    return kOk;
}

int SiteTool::RunOperation(const QString& command, const QStringList& arguments) {
    QCommandLineParser parser;
    parser.addOptions({kHelp, kSite, kPasswordFile, kJson, kParallel, kTimeLimit, kRetryPause});
    if (command == u"backup"_s) {
        parser.addOptions({kOnly, kFull});
    } else if (command == u"status"_s) {
        parser.addOption(kOnly);
    } else if (command == u"push"_s) {
        parser.addOptions({kTo, kDryRun});
    } else {
        parser.addOption(kFrom);
    }
    if (!parser.parse(arguments)) {
        return Usage(command, parser.errorText());
    }
    const QStringList positional = parser.positionalArguments();
    SiteOperation::Request request;
    bool valid = false;
    request.run.parallel = parser.value(kParallel).toInt(&valid);
    if (!valid || request.run.parallel < 1) {
        return Usage(command, u"--parallel takes a number of at least 1."_s);
    }
    const double limit = parser.value(kTimeLimit).toDouble(&valid);
    if (!valid || limit <= 0) {
        return Usage(command, u"--time-limit takes a number of seconds above 0."_s);
    }
    request.run.limits.timeLimit = std::chrono::milliseconds(qRound64(limit * 1000));
    const double pause = parser.value(kRetryPause).toDouble(&valid);
    if (!valid || pause < 0) {
        return Usage(command, u"--retry-pause takes a number of seconds."_s);
    }
    request.run.limits.retryPause = std::chrono::milliseconds(qRound64(pause * 1000));
    if (command == u"backup"_s || command == u"status"_s) {
        if (!positional.isEmpty()) {
            return Usage(command, command + u" takes no arguments."_s);
        }
        request.command = command == u"backup"_s ? SiteOperation::Command::Backup
                                                 : SiteOperation::Command::Status;
        request.only = Names(parser.value(kOnly));
        request.full = command == u"backup"_s && parser.isSet(kFull);
    } else if (command == u"push"_s) {
        if (positional.size() != 2) {
            return Usage(command, u"push takes a category and a file."_s);
        }
        request.command = SiteOperation::Command::Push;
        request.category = site_paths::CategoryNamed(positional.first());
        if (!request.category) {
            return Usage(command, u"Unknown category '%1'; the categories are %2."_s.arg(
                                      positional.first(), site_paths::CategoryNames()));
        }
        request.localPath = positional.at(1);
        request.only = Names(parser.value(kTo));
        request.dryRun = parser.isSet(kDryRun);
    } else {
        if (positional.size() != 2) {
            return Usage(command, u"restore takes a controller's name and a remote path."_s);
        }
        request.command = SiteOperation::Command::Restore;
        request.only = {positional.first()};
        request.remotePath = positional.at(1);
        request.fromCommit = parser.value(kFrom);
    }

    SiteOperation operation(SiteFolder(parser));
    QString error;
    if (!operation.Prepare(request, &error)) {
        return Fail(error);
    }
    QHash<QString, QString> passwords;
    if (!Passwords(parser, operation.Targets(), &passwords)) {
        return kFailed;
    }
    QStringList names;
    for (const SiteFile::Controller& controller : operation.Targets()) {
        names << controller.name;
    }
    SiteTerminalView view(operation.Runner(), names, err_);
    QEventLoop loop;
    QObject::connect(&operation, &SiteOperation::Finished, &loop, &QEventLoop::quit);
    // The first Ctrl+C cancels every controller and still records what was done; a second one
    // ends the tool at once.
    interrupted = 0;
    std::signal(SIGINT, OnInterrupt);
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &operation, [&] {
        if (interrupted != 0) {
            interrupted = 0;
            std::signal(SIGINT, SIG_DFL);
            err_ << u"vantrel-site: cancelling every controller; Ctrl+C again ends at once."_s
                 << Qt::endl;
            operation.Cancel();
        }
    });
    watch.start(100);
    operation.Start(passwords);
    loop.exec();
    watch.stop();
    std::signal(SIGINT, SIG_DFL);
    view.Close();
    return Report(command, parser, operation);
}

bool SiteTool::Passwords(const QCommandLineParser& parser,
                         const QList<SiteFile::Controller>& targets,
                         QHash<QString, QString>* passwords) {
    if (parser.isSet(kPasswordFile)) {
        QString password;
        QString error;
        if (!password_prompt::FromFile(parser.value(kPasswordFile), &password, &error)) {
            Fail(error);
            return false;
        }
        for (const SiteFile::Controller& controller : targets) {
            passwords->insert(controller.name, password);
        }
        return true;
    }
    // One question per user name, for all the controllers that share it.
    QStringList users;
    for (const SiteFile::Controller& controller : targets) {
        if (!users.contains(controller.user)) {
            users << controller.user;
        }
    }
    for (const QString& user : std::as_const(users)) {
        QStringList sharing;
        for (const SiteFile::Controller& controller : targets) {
            if (controller.user == user) {
                sharing << controller.name;
            }
        }
        const QString password =
            password_prompt::Ask(err_, u"Password of %1 (%2): "_s.arg(user, sharing.join(u", "_s)));
        for (const QString& name : std::as_const(sharing)) {
            passwords->insert(name, password);
        }
    }
    return true;
}

int SiteTool::Report(const QString& command, const QCommandLineParser& parser,
                     SiteOperation& operation) {
    for (const ControllerOutcome& outcome : operation.Outcomes()) {
        for (const QString& detail : outcome.details) {
            out_ << outcome.controller << u": "_s << detail << Qt::endl;
        }
    }
    out_ << result_table::Text(operation.Outcomes());
    for (const QString& commit : operation.Commits()) {
        out_ << u"Recorded in the history as commit "_s << commit.left(12) << u'.' << Qt::endl;
    }
    bool written = true;
    if (parser.isSet(kJson)) {
        QSaveFile json(parser.value(kJson));
        written = json.open(QIODevice::WriteOnly) &&
                  json.write(result_table::Json(command, operation.Outcomes(),
                                                operation.Commits())) >= 0 &&
                  json.commit();
        if (!written) {
            Fail(u"Cannot write %1: %2."_s.arg(parser.value(kJson), json.errorString()));
        }
    }
    if (!operation.RecordError().isEmpty()) {
        Fail(u"The history could not record the run: "_s + operation.RecordError());
    }
    out_ << Qt::flush;
    return operation.Succeeded() && written ? kOk : kFailed;
}
