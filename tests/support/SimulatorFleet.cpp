#include "tests/support/SimulatorFleet.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "base/PrivateProfile.h"

using namespace Qt::StringLiterals;

bool SimulatorFleet::Start(const QList<ControllerSimulator::Options>& options) {
    for (const ControllerSimulator::Options& each : options) {
        simulators_.push_back(std::make_unique<ControllerSimulator>(each));
        if (!simulators_.back()->Start()) {
            errorText_ = simulators_.back()->ErrorText();
            return false;
        }
    }
    return true;
}

bool SimulatorFleet::WriteSite(const QString& folder) const {
    QList<PrivateProfile::Entry> entries = {{u"Site"_s, u"Name"_s, u"Test site"_s},
                                            {u"Site"_s, u"Engineer"_s, u"Test Engineer"_s}};
    for (size_t i = 0; i < simulators_.size(); ++i) {
        const QString name = Name(static_cast<int>(i));
        entries << PrivateProfile::Entry{name, u"Address"_s, simulators_[i]->Host()}
                << PrivateProfile::Entry{name, u"Port"_s, QString::number(simulators_[i]->Port())}
                << PrivateProfile::Entry{name, u"User"_s, simulators_[i]->User()};
    }
    QDir().mkpath(folder);
    QFile password(QDir(folder).filePath(u"password"_s));
    return PrivateProfile::WriteStrings(QDir(folder).filePath(u"site.ini"_s), entries) &&
           password.open(QIODevice::WriteOnly) &&
           password.write(simulators_.empty()
                              ? QByteArray()
                              : simulators_.front()->Password().toUtf8() + '\n') > 0;
}

bool SimulatorFleet::PutOnAll(const QString& remotePath, const QByteArray& contents) {
    for (const auto& simulator : simulators_) {
        const QString path = simulator->LocalPath(remotePath);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size()) {
            return false;
        }
    }
    return true;
}
