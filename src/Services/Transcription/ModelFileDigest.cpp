#include "Services/Transcription/ModelFileDigest.h"

#include <QByteArray>

#include <openssl/evp.h>

#include <stdexcept>

namespace quorvelle {

namespace {

evp_md_ctx_st* startedContext(const EVP_MD* algorithm) {
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    if (context && EVP_DigestInit_ex(context, algorithm, nullptr) == 1) return context;
    EVP_MD_CTX_free(context);
    throw std::runtime_error("libcrypto cannot compute the model file's checksum");
}

}  // namespace

void ModelFileDigest::ContextDeleter::operator()(evp_md_ctx_st* context) const {
    EVP_MD_CTX_free(context);
}

ModelFileDigest::ModelFileDigest() : m_sha1(startedContext(EVP_sha1())), m_sha256(startedContext(EVP_sha256())) {}

ModelFileDigest::~ModelFileDigest() = default;

void ModelFileDigest::addData(QByteArrayView bytes) {
    // An update only fails for a context that was never started.
    EVP_DigestUpdate(m_sha1.get(), bytes.data(), size_t(bytes.size()));
    EVP_DigestUpdate(m_sha256.get(), bytes.data(), size_t(bytes.size()));
}

QString ModelFileDigest::sha1() const {
    return hexOf(m_sha1);
}

QString ModelFileDigest::sha256() const {
    return hexOf(m_sha256);
}

QString ModelFileDigest::hexOf(const Context& context) {
    // Finished on a copy: the digest can still take more.
    const Context copy(EVP_MD_CTX_new());
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!copy || EVP_MD_CTX_copy_ex(copy.get(), context.get()) != 1 ||
        EVP_DigestFinal_ex(copy.get(), digest, &length) != 1)
        throw std::runtime_error("libcrypto cannot compute the model file's checksum");
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(digest), int(length)).toHex());
}

}  // namespace quorvelle
