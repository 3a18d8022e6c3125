#include "site/SiteFile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

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
    static const QRegularExpression allowed(u"^[A-Za-z0-9_-][A-Za-z0-9._-]{0,63}$"_s);
    if (!allowed.match(name).hasMatch()) {
        return u"A controller name is 1 to 64 letters, digits, \".\", \"_\" or \"-\", not "
               u"starting with \".\": \"%1\" is not."_s.arg(name);
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
