#pragma once

#include <QString>
#include <array>

// The seven kinds of file the file transfer page moves. The value is the index the page keeps as
// its selected category and the position of the category's radio button.
enum class FileCategory {
    MessageSet = 0,
    Configuration = 1,
    Firmware = 2,
    Application = 3,
    Driver = 4,
    DefaultConfiguration = 5,
    Web = 6,
};

inline constexpr int kFileCategoryCount = 7;

inline constexpr std::array<FileCategory, kFileCategoryCount> kAllFileCategories = {
    FileCategory::MessageSet,  FileCategory::Configuration, FileCategory::Firmware,
    FileCategory::Application, FileCategory::Driver,        FileCategory::DefaultConfiguration,
    FileCategory::Web};

inline constexpr int CategoryIndex(FileCategory category) {
    return static_cast<int>(category);
}

// The label of the category's radio button ("Default configuration" with a small "c").
QString CategoryLabel(FileCategory category);

// Web files are only sent, as a whole tree; single files are never fetched or deleted from it.
inline constexpr bool CategoryFetchesAndDeletes(FileCategory category) {
    return category != FileCategory::Web;
}

// Only the message set folder is made when it is missing (with its parents): it is where this
// program saves the sets it builds.
inline constexpr bool CategoryMakesLocalDirectory(FileCategory category) {
    return category == FileCategory::MessageSet;
}
