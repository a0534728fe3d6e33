#pragma once

#include <QtGlobal>

#include <exception>
#include <string>

namespace quorvelle {

// A refused keyring write, with the raw status of the item store.
class APIKeyStoreError : public std::exception {
public:
    enum class Case { unexpectedStatus };

    static APIKeyStoreError unexpectedStatus(qint32 status) { return APIKeyStoreError(status); }

    Case errorCase() const { return Case::unexpectedStatus; }
    qint32 status() const { return m_status; }
    const char* what() const noexcept override { return m_what.c_str(); }

    bool operator==(const APIKeyStoreError& other) const { return m_status == other.m_status; }

private:
    explicit APIKeyStoreError(qint32 status)
        : m_status(status), m_what("unexpectedStatus(" + std::to_string(status) + ")") {}

    qint32 m_status;
    std::string m_what;
};

}  // namespace quorvelle
