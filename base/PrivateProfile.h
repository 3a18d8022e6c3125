#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <limits>

// INI files with the semantics of the Windows private-profile functions, which the settings file
// and the info files were designed around: the file read anew (and for writes rewritten) on every
// call, one value per call except for the calls that take several at once, section and key names
// matched without regard to case, the default for anything missing, values cut to the caller's
// buffer size, CRLF and LF line ends both read, only the first of several sections of one name
// looked at (a write keeps the later ones as they are, at the end of the file), nothing after a
// zero byte read (a write keeps it as it is). Files are written with CRLF line ends, as the
// original platform writes them.
class PrivateProfile {
public:
    // Buffer size, in bytes with the terminating zero, that most reads use.
    static constexpr int kDefaultBufferSize = 260;
    // A buffer size that cuts nothing: for values such as paths, which a cut would change.
    static constexpr int kUnlimitedBuffer = std::numeric_limits<int>::max();

    // The value of key in section, blanks around it and one pair of enclosing quotes removed, cut
    // to bufferSize - 1 bytes. defaultValue (cut the same way) when the file, the section or the
    // key is missing.
    static QString ReadString(const QString& filePath, const QString& section, const QString& key,
                              const QString& defaultValue, int bufferSize = kDefaultBufferSize);

    struct Query {
        QString section;
        QString key;
        QString defaultValue;
        int bufferSize = kDefaultBufferSize;
    };

    // The same as ReadString for each query, in order, with the file read and parsed once: for
    // files read as a whole, such as an info file.
    static QStringList ReadStrings(const QString& filePath, const QList<Query>& queries);

    // The value read as a decimal integer (optional sign, 0x, 0o or 0b prefixes, reading stops at
    // the first character that is not a digit; no digits give 0). defaultValue when the value is
    // missing or empty.
    static int ReadInt(const QString& filePath, const QString& section, const QString& key,
                       int defaultValue);

    // The names of the keys in section, in file order; empty when the file or section is missing.
    static QStringList ReadKeys(const QString& filePath, const QString& section);

    // The names of the sections, in file order, each once (as first spelled); empty when the file
    // is missing.
    static QStringList ReadSections(const QString& filePath);

    // Sets key in section to value, creating the file, the section (at the end) and the key (at
    // the end of its section) as needed; everything else in the file is kept. The file is replaced
    // only once the new contents are completely written. On failure returns false and, when
    // errorText is given, puts the system's reason there. A value with a line break is refused.
    [[nodiscard]] static bool WriteString(const QString& filePath, const QString& section,
                                          const QString& key, const QString& value,
                                          QString* errorText = nullptr);

    struct Entry {
        QString section;
        QString key;
        QString value;
    };

    // The same as WriteString for each entry in order, with the file read and replaced once: for
    // files written as a whole, such as an info file. Nothing is written when an entry is refused.
    [[nodiscard]] static bool WriteStrings(const QString& filePath, const QList<Entry>& entries,
                                           QString* errorText = nullptr);
};
