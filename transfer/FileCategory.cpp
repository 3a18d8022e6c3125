#include "transfer/FileCategory.h"

using namespace Qt::StringLiterals;

QString CategoryLabel(FileCategory category) {
    switch (category) {
        case FileCategory::MessageSet:
            return u"Message Set"_s;
        case FileCategory::Configuration:
            return u"Configuration"_s;
        case FileCategory::Firmware:
            return u"Firmware"_s;
        case FileCategory::Application:
            return u"Application"_s;
        case FileCategory::Driver:
            return u"Driver"_s;
        case FileCategory::DefaultConfiguration:
            return u"Default configuration"_s;
        case FileCategory::Web:
            return u"Web"_s;
    }
    return {};
}
