#include "site/FileDigest.h"

#include <openssl/evp.h>

#include <QFile>

#include <memory>

namespace file_digest {

namespace {

// The system's crypto library: it uses the processor's SHA instructions where there are any,
// several times faster than a portable implementation on the large files a push reads back.
class Sha256 {
public:
    Sha256() : context_(EVP_MD_CTX_new(), EVP_MD_CTX_free) {
        ok_ = context_ != nullptr && EVP_DigestInit_ex(context_.get(), EVP_sha256(), nullptr) == 1;
    }
    void Add(const char* data, qint64 size) {
        ok_ = ok_ && EVP_DigestUpdate(context_.get(), data, static_cast<size_t>(size)) == 1;
    }
    // Lower-case hex; empty when the library failed.
    QByteArray Hex() {
        unsigned char digest[EVP_MAX_MD_SIZE];
        unsigned int length = 0;
        if (!ok_ || EVP_DigestFinal_ex(context_.get(), digest, &length) != 1) {
            return {};
        }
        return QByteArray(reinterpret_cast<const char*>(digest), length).toHex();
    }

private:
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context_;
    bool ok_ = false;
};

}  // namespace

QByteArray OfBytes(const QByteArray& bytes) {
    Sha256 hash;
    hash.Add(bytes.constData(), bytes.size());
    return hash.Hex();
}

QByteArray OfFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        return {};
    }
    Sha256 hash;
    constexpr qint64 kChunk = 1 << 20;
    const auto buffer = std::make_unique_for_overwrite<char[]>(kChunk);
    for (;;) {
        const qint64 read = file.read(buffer.get(), kChunk);
        if (read < 0) {
            return {};
        }
        if (read == 0) {
            return hash.Hex();
        }
        hash.Add(buffer.get(), read);
    }
}

}  // namespace file_digest
