#pragma once

#include <QString>
#include <QStringList>

// Reading one local folder for the folder tree, and the name rules the tree applies to what it
// reads. Holds no widget.
class FolderListing {
public:
    // The names in one folder, "." and ".." left out, hidden and system entries included (but of
    // the entries that are no folder only regular files, not pipes, sockets or devices), each
    // group in the order the file system gives them (nothing is sorted). A folder that cannot be
    // read gives two empty lists and readable false.
    struct Entries {
        QStringList folders;
        QStringList files;
        bool readable = false;
    };

    // The file filter values of the tree.
    static constexpr int kAllFiles = 0;
    static constexpr int kWaveAndSetFiles = 1;

    static Entries Read(const QString& folderPath);

    // True when the last four characters of name are ".wav" or ".set", in any case.
    static bool IsWaveOrSetName(const QString& name);
    // True when the last four characters of name are ".wav", in any case.
    static bool IsWaveName(const QString& name);
    // True when the last four characters of name are ".set", in any case.
    static bool IsSetName(const QString& name);

    // Whether a file (name without folder) is listed under the given filter: filter 0 lists every
    // file, filter 1 only wave and set files. Any other value lists every file.
    static bool IncludeFile(const QString& name, int fileFilter);

    // The index in names of the one that equals part: an exact-case match first, otherwise the
    // first that differs from it only in case; -1 when none does.
    static int FindName(const QStringList& names, const QString& part);

    // The label the tree shows for an entry: wave and set names (files and folders alike) in lower
    // case with their extension, everything else by its display name.
    static QString LabelFor(const QString& realName, const QString& displayName);
};
