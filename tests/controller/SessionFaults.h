#pragma once

#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>

#include "controller/ControllerSession.h"
#include "tests/support/ControllerSimulator.h"

// What the controller fault tests share: short timeouts, files, and the probe that tells whether
// the session is back in step after a fault.
namespace session_faults {

using namespace std::chrono_literals;

inline const ControllerSession::Timeouts kTimeouts{2000ms, 1500ms, 3000ms};

inline QByteArray RandomBytes(qsizetype size) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(static_cast<quint32>(size));
    for (char& byte : bytes) {
        byte = static_cast<char>(generator.bounded(256));
    }
    return bytes;
}

inline bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

// Starts the simulator and connects the session to it with kTimeouts and no progress pause.
inline bool Open(ControllerSimulator& simulator, ControllerSession& session) {
    if (!simulator.Start()) {
        qWarning("%s", qPrintable(simulator.ErrorText()));
        return false;
    }
    session.SetTimeouts(kTimeouts);
    session.SetProgressPause(0ms);
    return session.Connect(QStringLiteral("test"), simulator.Host(), simulator.User(),
                           simulator.Password(), simulator.Port());
}

// The user's next command: the session is back in step and in its directory.
inline void ProbeNextCommand(ControllerSession& session, const QString& directory) {
    QCoreApplication::sendPostedEvents();
    QCOMPARE(session.GetRemoteDirectory(), directory);
    QVERIFY(!session.SetRemoteDirectory(QStringLiteral("/missing")));  // its own 550
    QCOMPARE(session.GetRemoteDirectory(), directory);
}

}  // namespace session_faults
