#pragma once

#include <QString>
#include <array>

#include "base/PrivateProfile.h"

// Every value the tool keeps in its settings file, in one table: the section, the key, the value
// read when the file, section or key is missing, and the buffer a read cuts the value to (bytes
// with the terminating zero). The pages read and write their settings through these entries only.
struct SettingsKey {
    const char16_t* section;
    const char16_t* key;
    const char16_t* defaultValue;
    int bufferSize = PrivateProfile::kDefaultBufferSize;

    QString Section() const { return QString::fromUtf16(section); }
    QString Key() const { return QString::fromUtf16(key); }
    QString Default() const { return QString::fromUtf16(defaultValue); }

    // The value in settingsFile as PrivateProfile reads it.
    QString Read(const QString& settingsFile) const;
    // The value read as an integer; the default when it is missing or empty.
    int ReadInt(const QString& settingsFile) const;
    // Sets the value; on failure false with the system's reason in errorText.
    [[nodiscard]] bool Write(const QString& settingsFile, const QString& value,
                             QString* errorText = nullptr) const;
};

namespace settings_keys {

inline constexpr int kFileCategories = 7;

// [Login]: the controller's address as four numbers, the user name (the password is never
// stored), the controller's port, and the pseudo-file whose listed size is the flash card's.
inline constexpr std::array<SettingsKey, 4> kAddressBytes = {{
    {u"Login", u"IP0", u"0"},
    {u"Login", u"IP1", u"0"},
    {u"Login", u"IP2", u"0"},
    {u"Login", u"IP3", u"0"},
}};
inline constexpr SettingsKey kUserName{u"Login", u"User Name", u""};
inline constexpr SettingsKey kPort{u"Login", u"Port", u"21"};
inline constexpr SettingsKey kCardFile{u"Login", u"CardFile", u"/mmu/card"};

// [Message Set] Last Dir: the folder the message set page's tree showed last, read with room
// for a path of any length the tree can give.
inline constexpr SettingsKey kLastDir{u"Message Set", u"Last Dir", u"", 32768};

// [Site] Folder: the installation folder the Site page showed last, read with room for a path of
// any length.
inline constexpr SettingsKey kSiteFolder{u"Site", u"Folder", u"", 32768};

// One section per file category, in the order of the categories (message set, configuration,
// firmware, application, driver, default configuration, web): its folder below the upload folder
// and on the controller, and the extensions of its files.
inline constexpr std::array<SettingsKey, kFileCategories> kCategoryDir = {{
    {u"Message Set", u"Dir", u"mmu", 260},
    {u"Configuration", u"Dir", u"rfa\\cfg", 260},
    {u"Firmware", u"Dir", u"rfa\\fw", 260},
    {u"Application", u"Dir", u"boot", 260},
    {u"Driver", u"Dir", u"rfa\\drv", 260},
    {u"Default Configuration", u"Dir", u"rfa\\cfg\\def", 260},
    {u"Web", u"Dir", u"rfa", 260},
}};
inline constexpr std::array<SettingsKey, kFileCategories> kCategoryExtension = {{
    {u"Message Set", u"Extension", u"set", 256},
    {u"Configuration", u"Extension", u"cfg", 256},
    {u"Firmware", u"Extension", u"uim", 256},
    {u"Application", u"Extension", u"bim", 256},
    {u"Driver", u"Extension", u"bit", 256},
    {u"Default Configuration", u"Extension", u"cfg", 256},
    {u"Web", u"Extension", u"asp;jar;js;htm;gif;jpg;bmp;css;svg;vbs;java", 256},
}};
// The web tree's local folder name; the key is spelled so in every settings file.
inline constexpr SettingsKey kWebRoot{u"Web", u"Root Direotory", u"Web", 260};
// The upload folder: "target" is made relative to the start directory's "programs" part.
inline constexpr SettingsKey kUploadDir{u"Upload", u"Dir", u"target", 260};
// Extensions of the files sent in ASCII mode.
inline constexpr SettingsKey kAsciiExtensions{u"Ftp", u"Ascii", u"asp;js;htm;css;svg;vbs", 256};

}  // namespace settings_keys
