#include "tests/support/ControllerSimulator.h"

#include <sys/prctl.h>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <csignal>

using namespace Qt::StringLiterals;

ControllerSimulator::ControllerSimulator() : ControllerSimulator(Options{}) {}

ControllerSimulator::ControllerSimulator(Options options) : options_(std::move(options)) {
    // The server must not outlive a test that crashes.
    process_.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
    process_.setProcessChannelMode(QProcess::SeparateChannels);
}

ControllerSimulator::~ControllerSimulator() {
    Stop();
}

QString ControllerSimulator::RootPath() const {
    return folder_.filePath(u"root"_s);
}

QString ControllerSimulator::LocalPath(const QString& remotePath) const {
    QString relative = remotePath;
    relative.replace(u'\\', u'/');
    while (relative.startsWith(u'/')) {
        relative.remove(0, 1);
    }
    return RootPath() + u'/' + relative;
}

QString ControllerSimulator::CommandLog() const {
    QFile log(folder_.filePath(u"commands.log"_s));
    if (!log.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(log.readAll());
}

bool ControllerSimulator::Start(int timeoutMs) {
    if (!folder_.isValid()) {
        errorText_ = u"no temporary folder: "_s + folder_.errorString();
        return false;
    }
    QStringList arguments{QStringLiteral(VANTREL_SIMULATOR_SCRIPT),
                          u"--root"_s,
                          RootPath(),
                          u"--port"_s,
                          QString::number(options_.port),
                          u"--user"_s,
                          options_.user,
                          u"--password"_s,
                          options_.password,
                          u"--card-path"_s,
                          options_.cardPath,
                          u"--card-size"_s,
                          QString::number(options_.cardSize),
                          u"--login-fail-delay"_s,
                          QString::number(options_.loginFailDelay)};
    if (options_.noCard)
        arguments << u"--no-card"_s;
    if (options_.refuseLogin)
        arguments << u"--refuse-login"_s;
    if (options_.dropAfter >= 0)
        arguments << u"--drop-after"_s << QString::number(options_.dropAfter);
    if (options_.refuseMkd)
        arguments << u"--refuse-mkd"_s;
    if (options_.refuseDele)
        arguments << u"--refuse-dele"_s;
    if (options_.refusePwd)
        arguments << u"--refuse-pwd"_s;
    if (options_.replyDelay > 0)
        arguments << u"--reply-delay"_s << QString::number(options_.replyDelay);
    if (options_.closeAfter > 0)
        arguments << u"--close-after"_s << QString::number(options_.closeAfter);
    if (options_.dosListing)
        arguments << u"--dos-listing"_s;
    const auto addSeconds = [&](const QString& name, double seconds) {
        arguments << name << QString::number(seconds);
    };
    if (options_.connectLate >= 0)
        addSeconds(u"--connect-late"_s, options_.connectLate);
    if (options_.late425 >= 0)
        addSeconds(u"--late-425"_s, options_.late425);
    if (options_.greetingDelay > 0)
        addSeconds(u"--greeting-delay"_s, options_.greetingDelay);
    if (options_.idleTimeout > 0)
        addSeconds(u"--idle-timeout"_s, options_.idleTimeout);
    if (options_.stallAfter >= 0)
        arguments << u"--stall-after"_s << QString::number(options_.stallAfter);
    if (options_.close421After > 0)
        arguments << u"--close-421-after"_s << QString::number(options_.close421After);
    if (options_.trickle > 0)
        arguments << u"--trickle"_s << QString::number(options_.trickle);
    if (options_.storeFullAfter >= 0)
        arguments << u"--store-full-after"_s << QString::number(options_.storeFullAfter);
    if (options_.truncateStored >= 0)
        arguments << u"--truncate-stored"_s << QString::number(options_.truncateStored);
    if (!options_.doubleReply.isEmpty())
        arguments << u"--double-reply"_s << options_.doubleReply;
    if (options_.endDataEarly >= 0)
        arguments << u"--end-data-early"_s << QString::number(options_.endDataEarly);
    if (options_.slowStor > 0)
        arguments << u"--slow-stor"_s << QString::number(options_.slowStor);
    const std::pair<bool, QString> flags[] = {{options_.greeting421, u"--greeting-421"_s},
                                              {options_.endlessListing, u"--endless-listing"_s},
                                              {options_.nonUtf8Names, u"--non-utf8-names"_s},
                                              {options_.lfReplies, u"--lf-replies"_s},
                                              {options_.multilineReplies, u"--multiline-replies"_s},
                                              {options_.variantCodes, u"--variant-codes"_s},
                                              {options_.allowPassive, u"--allow-passive"_s},
                                              {options_.endDataEarly426, u"--end-data-early-426"_s},
                                              {options_.noSize, u"--no-size"_s},
                                              {options_.strangerConnects, u"--stranger-connects"_s},
                                              {options_.pwdCr, u"--pwd-cr"_s}};
    for (const auto& [set, flag] : flags) {
        if (set)
            arguments << flag;
    }
    if (options_.logCommands)
        arguments << u"--log"_s << folder_.filePath(u"commands.log"_s);

    process_.start(u"/usr/bin/python3"_s, arguments);
    if (!process_.waitForStarted(timeoutMs)) {
        errorText_ = u"the simulator did not start: "_s + process_.errorString();
        return false;
    }
    static const QRegularExpression readiness(u"ready on \\S+ port (\\d+)"_s);
    QDeadlineTimer deadline(timeoutMs);
    QByteArray output;
    while (!deadline.hasExpired()) {
        output += process_.readAllStandardOutput();
        const QRegularExpressionMatch match = readiness.match(QString::fromUtf8(output));
        if (match.hasMatch()) {
            port_ = static_cast<quint16>(match.captured(1).toUInt());
            return true;
        }
        if (process_.state() == QProcess::NotRunning) {
            break;
        }
        process_.waitForReadyRead(static_cast<int>(qMax<qint64>(1, deadline.remainingTime())));
    }
    errorText_ = u"the simulator gave no readiness line: "_s +
                 QString::fromUtf8(output + process_.readAllStandardError());
    Stop();
    return false;
}

void ControllerSimulator::Freeze() {
    if (process_.state() != QProcess::NotRunning) {
        ::kill(static_cast<pid_t>(process_.processId()), SIGSTOP);
    }
}

void ControllerSimulator::Thaw() {
    if (process_.state() != QProcess::NotRunning) {
        ::kill(static_cast<pid_t>(process_.processId()), SIGCONT);
    }
}

void ControllerSimulator::Stop() {
    if (process_.state() == QProcess::NotRunning) {
        return;
    }
    Thaw();                // a stopped process would not see the terminate
    process_.terminate();  // this process only
    if (!process_.waitForFinished(3000)) {
        process_.kill();
        process_.waitForFinished(3000);
    }
}
