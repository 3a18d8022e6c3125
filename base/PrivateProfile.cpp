#include "base/PrivateProfile.h"

// Texts stay bytes; the conversion to QString is ours (TextEncoding).
#define SI_NO_CONVERSION
// CSimpleIniA matches section and key names without regard to case.
#include <SimpleIni.h>

#include <QFile>
#include <QSaveFile>

#include "base/ProfileLayout.h"
#include "base/TextEncoding.h"
#include "base/WriteAll.h"

using namespace Qt::StringLiterals;
using text_encoding::FromFileBytes;
using text_encoding::ToFileBytes;

namespace {

// Loads the file into ini; a missing or unreadable file gives an empty ini. Returns the layout,
// whose parts beside the parsed one a rewrite keeps.
ProfileLayout LoadInto(CSimpleIniA& ini, const QString& filePath) {
    ini.SetUnicode(false);
    // A key written twice in a section keeps both places: a read gives the first, as the
    // platform's reader does, and a write of another key keeps both.
    ini.SetMultiKey(true);
    ini.SetMultiLine(false);
    ini.SetQuotes(false);
    ini.SetSpaces(false);
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    ProfileLayout layout = ProfileLayout::Of(file.readAll());
    ini.LoadData(layout.parsed.constData(), static_cast<size_t>(layout.parsed.size()));
    return layout;
}

QString StripQuotes(const QString& value) {
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == u'"' || first == u'\'') && value.back() == first) {
            return value.mid(1, value.size() - 2);
        }
    }
    return value;
}

// The value of key in section of a loaded file, as ReadString gives it.
QString ValueOf(const CSimpleIniA& ini, const QString& section, const QString& key,
                const QString& defaultValue, int bufferSize) {
    const char* raw =
        ini.GetValue(ToFileBytes(section).constData(), ToFileBytes(key).constData(), nullptr);
    const QString value = raw != nullptr ? FromFileBytes(QByteArray(raw)) : defaultValue;
    return text_encoding::CutToBytes(StripQuotes(value.trimmed()), bufferSize - 1);
}

// key as the file spells it at its first place in section (names match without regard to case);
// key itself when the file does not have it.
QByteArray StoredKeyName(const CSimpleIniA& ini, const QByteArray& section, const QByteArray& key) {
    CSimpleIniA::TNamesDepend keys;
    ini.GetAllKeys(section.constData(), keys);
    const SI_GenericNoCase<char> less;  // the parser's own comparison
    for (const CSimpleIniA::Entry& stored : keys) {
        if (!less(stored.pItem, key.constData()) && !less(key.constData(), stored.pItem)) {
            return QByteArray(stored.pItem);
        }
    }
    return key;
}

// The value of an ASCII digit or letter as a digit of any base up to 36; -1 for anything else.
int DigitValue(QChar c) {
    const char16_t u = c.toLower().unicode();
    if (u >= u'0' && u <= u'9') {
        return u - u'0';
    }
    if (u >= u'a' && u <= u'z') {
        return u - u'a' + 10;
    }
    return -1;
}

// Digits of base at the start of text, as the platform's string-to-integer conversion reads them.
int ParseProfileInt(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    int base = 10;
    if (i + 1 < text.size() && text[i] == u'0') {
        const QChar marker = text[i + 1].toLower();
        if (marker == u'x') {
            base = 16;
        } else if (marker == u'o') {
            base = 8;
        } else if (marker == u'b') {
            base = 2;
        }
        if (base != 10) {
            i += 2;
        }
    }
    quint32 result = 0;
    for (; i < text.size(); ++i) {
        const int digit = DigitValue(text[i]);
        if (digit < 0 || digit >= base) {
            break;
        }
        result = result * static_cast<quint32>(base) + static_cast<quint32>(digit);
    }
    return static_cast<int>(negative ? 0u - result : result);
}

}  // namespace

QString PrivateProfile::ReadString(const QString& filePath, const QString& section,
                                   const QString& key, const QString& defaultValue,
                                   int bufferSize) {
    CSimpleIniA ini;
    LoadInto(ini, filePath);
    return ValueOf(ini, section, key, defaultValue, bufferSize);
}

QStringList PrivateProfile::ReadStrings(const QString& filePath, const QList<Query>& queries) {
    CSimpleIniA ini;
    LoadInto(ini, filePath);
    QStringList values;
    values.reserve(queries.size());
    for (const Query& query : queries) {
        values.append(ValueOf(ini, query.section, query.key, query.defaultValue, query.bufferSize));
    }
    return values;
}

int PrivateProfile::ReadInt(const QString& filePath, const QString& section, const QString& key,
                            int defaultValue) {
    // The platform reads integers through a 30-character string buffer.
    const QString text = ReadString(filePath, section, key, QString(), 30);
    if (text.isEmpty()) {
        return defaultValue;
    }
    return ParseProfileInt(text);
}

QStringList PrivateProfile::ReadKeys(const QString& filePath, const QString& section) {
    CSimpleIniA ini;
    LoadInto(ini, filePath);
    CSimpleIniA::TNamesDepend keys;
    QStringList names;
    if (!ini.GetAllKeys(ToFileBytes(section).constData(), keys)) {
        return names;
    }
    keys.sort(CSimpleIniA::Entry::LoadOrder());
    for (const CSimpleIniA::Entry& key : keys) {
        names << FromFileBytes(QByteArray(key.pItem));
    }
    return names;
}

QStringList PrivateProfile::ReadSections(const QString& filePath) {
    CSimpleIniA ini;
    LoadInto(ini, filePath);
    CSimpleIniA::TNamesDepend sections;
    ini.GetAllSections(sections);
    sections.sort(CSimpleIniA::Entry::LoadOrder());
    QStringList names;
    for (const CSimpleIniA::Entry& section : sections) {
        names << FromFileBytes(QByteArray(section.pItem));
    }
    return names;
}

bool PrivateProfile::WriteString(const QString& filePath, const QString& section,
                                 const QString& key, const QString& value, QString* errorText) {
    return WriteStrings(filePath, {{section, key, value}}, errorText);
}

bool PrivateProfile::WriteStrings(const QString& filePath, const QList<Entry>& entries,
                                  QString* errorText) {
    auto fail = [errorText](const QString& reason) {
        if (errorText != nullptr) {
            *errorText = reason;
        }
        return false;
    };
    for (const Entry& entry : entries) {
        if (entry.value.contains(u'\n') || entry.value.contains(u'\r')) {
            return fail(u"A setting cannot hold a line break."_s);
        }
    }
    if (QFile::exists(filePath)) {
        QFile probe(filePath);
        if (!probe.open(QIODevice::ReadOnly)) {
            return fail(probe.errorString());
        }
    }
    CSimpleIniA ini;
    const ProfileLayout layout = LoadInto(ini, filePath);
    for (const Entry& entry : entries) {
        const QByteArray sectionBytes = ToFileBytes(entry.section);
        const QByteArray keyBytes = ToFileBytes(entry.key);
        const QByteArray valueBytes = ToFileBytes(entry.value);
        // Every place of the key takes the value; it is then written once, at the first place
        // and in the spelling it has there.
        if (ini.SetValue(sectionBytes.constData(),
                         StoredKeyName(ini, sectionBytes, keyBytes).constData(),
                         valueBytes.constData(), nullptr, true) < 0) {
            return fail(u"The setting could not be stored."_s);
        }
    }
    std::string contents;
    if (ini.Save(contents) < 0) {
        return fail(u"The settings could not be prepared for writing."_s);
    }
    QByteArray bytes = QByteArray::fromStdString(contents);
    if (!layout.repeatedSections.isEmpty()) {
        bytes.append("\n").append(layout.repeatedSections);
    }
    bytes.replace("\r\n", "\n");
    bytes.replace("\n", "\r\n");
    bytes.append(layout.unreadTail);  // as it was: it starts with the zero that hides it

    QSaveFile file(filePath);
    // Keep working where the folder does not allow the temporary file beside the target.
    file.setDirectWriteFallback(true);
    // Unbuffered, so that a full disk shows at the write and not as a silently short file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return fail(file.errorString());
    }
    if (!WriteAll(file, bytes)) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return fail(reason);
    }
    if (!file.commit()) {
        return fail(file.errorString());
    }
    return true;
}
