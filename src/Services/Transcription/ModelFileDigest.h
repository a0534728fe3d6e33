// ModelFileDigest: the SHA-1 (the catalogue's check) and SHA-256 (the record's) of a model file,
// fed a piece at a time. Computed by OpenSSL's libcrypto, which uses the processor's SHA
// instructions: Qt 6.4's own SHA-256 does about 160 MB/s, slower than a local network delivers a
// model, while libcrypto's does over 1.5 GB/s where the processor has them.
#pragma once

#include <QByteArrayView>
#include <QString>

#include <memory>

struct evp_md_ctx_st;

namespace quorvelle {

class ModelFileDigest {
public:
    // Throws std::runtime_error when libcrypto cannot provide either digest.
    ModelFileDigest();
    ~ModelFileDigest();
    ModelFileDigest(const ModelFileDigest&) = delete;
    ModelFileDigest& operator=(const ModelFileDigest&) = delete;

    void addData(QByteArrayView bytes);
    // 40 and 64 lower-case hex digits of what was added so far.
    QString sha1() const;
    QString sha256() const;

private:
    struct ContextDeleter {
        void operator()(evp_md_ctx_st* context) const;
    };
    using Context = std::unique_ptr<evp_md_ctx_st, ContextDeleter>;

    static QString hexOf(const Context& context);

    Context m_sha1;
    Context m_sha256;
};

}  // namespace quorvelle
