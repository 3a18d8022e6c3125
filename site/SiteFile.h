#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The installation folder's site.ini, read and written through the profile layer (INI, CRLF, the
// rules of the settings file): [Site] with the site's name, the engineer's name for the record
// and the remote path of the flash card pseudo-file, and one section per controller, named as the
// engineer chose, with its address, port and user name. No password is ever written into it.
//
//     [Site]
//     Name=Airport
//     Engineer=Jane Doe
//     [east]
//     Address=10.1.0.5
//     Port=21
//     User=service
class SiteFile {
public:
    struct Controller {
        QString name;
        QString address;
        quint16 port = 21;
        QString user;
        bool operator==(const Controller&) const = default;
    };

    static constexpr const char16_t* kFileName = u"site.ini";
    static constexpr const char16_t* kHistoryFolder = u"history";

    // The site.ini of folder; nothing is read yet.
    explicit SiteFile(QString folder);

    // Reads the file; false with the reason in errorText when it is missing or a controller's
    // section is not usable (every problem is named, none is skipped silently).
    [[nodiscard]] bool Load(QString* errorText);
    // Writes [Site] (creating the file); false with the system's reason.
    [[nodiscard]] bool WriteSite(const QString& name, const QString& engineer,
                                 QString* errorText) const;
    // Adds a controller section; false when the name is not usable or already taken, or the file
    // cannot be written.
    [[nodiscard]] bool AddController(const Controller& controller, QString* errorText);

    // A controller name names a folder of the history: letters, digits, ".", "_" and "-", not
    // starting with "." and at most 64 characters; "Site" is taken. Empty when usable, else why.
    static QString NameProblem(const QString& name);

    const QString& Folder() const { return folder_; }
    QString FilePath() const;
    QString HistoryPath() const;
    const QString& SiteName() const { return siteName_; }
    const QString& Engineer() const { return engineer_; }
    const QString& CardPath() const { return cardPath_; }
    const QList<Controller>& Controllers() const { return controllers_; }
    // The controllers named (all when names is empty), in the file's order; false with the
    // unknown names in errorText.
    [[nodiscard]] bool Select(const QStringList& names, QList<Controller>* selected,
                              QString* errorText) const;

private:
    QString folder_;
    QString siteName_;
    QString engineer_;
    QString cardPath_;
    QList<Controller> controllers_;
};
