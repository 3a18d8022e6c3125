#include "site/SiteFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <filesystem>
#include <system_error>

#include "base/PrivateProfile.h"

using namespace Qt::StringLiterals;

namespace {

const QString kSiteSection = u"Site"_s;
const QString kDefaultCardPath = u"/mmu/card"_s;

}  // namespace

SiteFile::SiteFile(QString folder) : folder_(std::move(folder)) {}

QString SiteFile::FilePath() const {
    return QDir(folder_).filePath(QString::fromUtf16(kFileName));
}

QString SiteFile::HistoryPath() const {
    return QDir(folder_).filePath(QString::fromUtf16(kHistoryFolder));
}

QString SiteFile::NameProblem(const QString& name) {
    // Blanks only inside ("East wing"): a folder name that starts or ends with one is easily
    // mistyped.
    static const QRegularExpression allowed(
        u"^[A-Za-z0-9_-]([A-Za-z0-9._ -]{0,62}[A-Za-z0-9._-])?$"_s);
    if (!allowed.match(name).hasMatch()) {
        return u"A controller name is 1 to 64 letters, digits, \".\", \"_\", \"-\" or blanks "
               u"inside, not starting with \".\": \"%1\" is not."_s.arg(name);
    }
    if (name.compare(kSiteSection, Qt::CaseInsensitive) == 0) {
        return u"\"%1\" names the site's own section; choose another name."_s.arg(name);
    }
    return {};
}

bool SiteFile::Load(QString* errorText) {
    const QString path = FilePath();
    if (!QFileInfo(path).isFile()) {
        *errorText =
            u"%1 is not an installation folder: it has no %2 (make one with "
            u"'vantrel-site init FOLDER')."_s.arg(QDir::toNativeSeparators(folder_),
                                                  QString::fromUtf16(kFileName));
        return false;
    }
    siteName_ = PrivateProfile::ReadString(path, kSiteSection, u"Name"_s, QString());
    engineer_ = PrivateProfile::ReadString(path, kSiteSection, u"Engineer"_s, QString());
    cardPath_ = PrivateProfile::ReadString(path, kSiteSection, u"CardFile"_s, kDefaultCardPath);
    controllers_.clear();
    QStringList problems;
    for (const QString& section : PrivateProfile::ReadSections(path)) {
        if (section.compare(kSiteSection, Qt::CaseInsensitive) == 0) {
            continue;
        }
        Controller controller;
        controller.name = section;
        const QStringList values =
            PrivateProfile::ReadStrings(path, {{section, u"Address"_s, QString()},
                                               {section, u"Port"_s, u"21"_s},
                                               {section, u"User"_s, QString()}});
        controller.address = values.at(0);
        bool validPort = false;
        const uint port = values.at(1).toUInt(&validPort);
        controller.user = values.at(2);
        const QString nameProblem = NameProblem(section);
        if (!nameProblem.isEmpty()) {
            problems << nameProblem;
        } else if (controller.address.isEmpty()) {
            problems << u"[%1] has no Address."_s.arg(section);
        } else if (!validPort || port == 0 || port > 65535) {
            problems << u"[%1] Port=%2 is not a port (1 to 65535)."_s.arg(section, values.at(1));
        } else {
            controller.port = static_cast<quint16>(port);
            controllers_ << controller;
        }
    }
    if (!problems.isEmpty()) {
        *errorText = QDir::toNativeSeparators(path) + u": "_s + problems.join(u' ');
        return false;
    }
    return true;
}

bool SiteFile::WriteSite(const QString& name, const QString& engineer, QString* errorText) const {
    return PrivateProfile::WriteStrings(
        FilePath(), {{kSiteSection, u"Name"_s, name}, {kSiteSection, u"Engineer"_s, engineer}},
        errorText);
}

bool SiteFile::AddController(const Controller& controller, QString* errorText) {
    const QString problem = NameProblem(controller.name);
    if (!problem.isEmpty()) {
        *errorText = problem;
        return false;
    }
    for (const Controller& known : controllers_) {
        if (known.name.compare(controller.name, Qt::CaseInsensitive) == 0) {
            *errorText =
                u"The installation already has a controller named \"%1\"."_s.arg(known.name);
            return false;
        }
    }
    if (!PrivateProfile::WriteStrings(
            FilePath(),
            {{controller.name, u"Address"_s, controller.address},
             {controller.name, u"Port"_s, QString::number(controller.port)},
             {controller.name, u"User"_s, controller.user}},
            errorText)) {
        return false;
    }
    controllers_ << controller;
    return true;
}

qsizetype SiteFile::IndexOf(const QString& name) const {
    for (qsizetype index = 0; index < controllers_.size(); ++index) {
        if (controllers_.at(index).name.compare(name, Qt::CaseInsensitive) == 0) {
            return index;
        }
    }
    return -1;
}

bool SiteFile::ReplaceController(const QString& name, const Controller& controller,
                                 QString* errorText) {
    const qsizetype index = IndexOf(name);
    if (index < 0) {
        *errorText = u"No controller of that name in the installation: %1."_s.arg(name);
        return false;
    }
    if (const QString problem = NameProblem(controller.name); !problem.isEmpty()) {
        *errorText = problem;
        return false;
    }
    const qsizetype other = IndexOf(controller.name);
    if (other >= 0 && other != index) {
        *errorText = u"The installation already has a controller named \"%1\"."_s.arg(
            controllers_.at(other).name);
        return false;
    }
    QList<Controller> controllers = controllers_;
    controllers[index] = controller;
    QStringList previous;
    for (const Controller& known : std::as_const(controllers_)) {
        previous << known.name;
    }
    return Rewrite(controllers, previous, errorText);
}

bool SiteFile::RemoveController(const QString& name, QString* errorText) {
    const qsizetype index = IndexOf(name);
    if (index < 0) {
        *errorText = u"No controller of that name in the installation: %1."_s.arg(name);
        return false;
    }
    QList<Controller> controllers = controllers_;
    QStringList previous;
    for (const Controller& known : std::as_const(controllers_)) {
        previous << known.name;
    }
    controllers.removeAt(index);
    previous.removeAt(index);
    return Rewrite(controllers, previous, errorText);
}

bool SiteFile::Rewrite(const QList<Controller>& controllers, const QStringList& previousNames,
                       QString* errorText) {
    const QString path = FilePath();
    QList<PrivateProfile::Entry> entries;
    for (const QString& key : PrivateProfile::ReadKeys(path, kSiteSection)) {
        entries << PrivateProfile::Entry{
            kSiteSection, key,
            PrivateProfile::ReadString(path, kSiteSection, key, QString(),
                                       PrivateProfile::kUnlimitedBuffer)};
    }
    for (qsizetype index = 0; index < controllers.size(); ++index) {
        const Controller& controller = controllers.at(index);
        // The section's other keys come along from the section it had (previousNames is in step
        // with controllers).
        const QString oldSection =
            index < previousNames.size() ? previousNames.at(index) : QString();
        entries << PrivateProfile::Entry{controller.name, u"Address"_s, controller.address}
                << PrivateProfile::Entry{controller.name, u"Port"_s,
                                         QString::number(controller.port)}
                << PrivateProfile::Entry{controller.name, u"User"_s, controller.user};
        if (oldSection.isEmpty()) {
            continue;
        }
        for (const QString& key : PrivateProfile::ReadKeys(path, oldSection)) {
            if (key.compare(u"Address"_s, Qt::CaseInsensitive) != 0 &&
                key.compare(u"Port"_s, Qt::CaseInsensitive) != 0 &&
                key.compare(u"User"_s, Qt::CaseInsensitive) != 0) {
                entries << PrivateProfile::Entry{
                    controller.name, key,
                    PrivateProfile::ReadString(path, oldSection, key, QString(),
                                               PrivateProfile::kUnlimitedBuffer)};
            }
        }
    }
    const QString next = path + u".new"_s;
    QFile::remove(next);
    if (!PrivateProfile::WriteStrings(next, entries, errorText)) {
        QFile::remove(next);
        return false;
    }
    std::error_code error;
    std::filesystem::rename(next.toStdU16String(), path.toStdU16String(), error);
    if (error) {
        QFile::remove(next);
        *errorText = u"Cannot replace %1: %2"_s.arg(QDir::toNativeSeparators(path),
                                                    QString::fromLocal8Bit(error.message()));
        return false;
    }
    controllers_ = controllers;
    return true;
}

bool SiteFile::Select(const QStringList& names, QList<Controller>* selected,
                      QString* errorText) const {
    selected->clear();
    if (names.isEmpty()) {
        *selected = controllers_;
        return true;
    }
    QStringList unknown;
    for (const QString& name : names) {
        bool found = false;
        for (const Controller& controller : controllers_) {
            if (controller.name.compare(name, Qt::CaseInsensitive) == 0) {
                if (!selected->contains(controller)) {
                    selected->append(controller);
                }
                found = true;
            }
        }
        if (!found) {
            unknown << name;
        }
    }
    if (!unknown.isEmpty()) {
        *errorText =
            u"No controller of that name in the installation: %1."_s.arg(unknown.join(u", "_s));
        return false;
    }
    return true;
}
