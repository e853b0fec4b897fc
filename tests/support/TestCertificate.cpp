#include "tests/support/TestCertificate.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

using Key = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;
using Certificate = std::unique_ptr<X509, decltype(&X509_free)>;

void check(bool ok, const char* what)
{
    if (!ok)
        throw std::runtime_error(std::string("test certificate: ") + what);
}

Key newKey()
{
    Key key(EVP_EC_gen("P-256"), EVP_PKEY_free);
    check(bool(key), "key");
    return key;
}

void addExtension(X509* certificate, int nid, const char* value)
{
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, certificate, certificate, nullptr, nullptr, 0);
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
    check(extension && X509_add_ext(certificate, extension, -1), "extension");
    X509_EXTENSION_free(extension);
}

// A certificate for `key` named `commonName`, valid from an hour ago to a day from now, signed
// by `issuerKey` under `issuer`; with no issuer, a self-signed authority.
Certificate newCertificate(EVP_PKEY* key, const char* commonName, long serial, X509* issuer, EVP_PKEY* issuerKey)
{
    Certificate certificate(X509_new(), X509_free);
    check(bool(certificate), "certificate");
    X509* c = certificate.get();
    X509_set_version(c, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(c), serial);
    X509_gmtime_adj(X509_getm_notBefore(c), -3600);
    X509_gmtime_adj(X509_getm_notAfter(c), 86400);
    X509_set_pubkey(c, key);
    X509_NAME_add_entry_by_txt(X509_get_subject_name(c), "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>(commonName), -1, -1, 0);
    X509_set_issuer_name(c, X509_get_subject_name(issuer ? issuer : c));
    if (issuer)
        addExtension(c, NID_subject_alt_name, "DNS:localhost,IP:127.0.0.1");
    else
        addExtension(c, NID_basic_constraints, "critical,CA:TRUE");
    check(X509_sign(c, issuerKey, EVP_sha256()) > 0, "signature");
    return certificate;
}

QByteArray pem(const std::function<int(BIO*)>& write)
{
    std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new(BIO_s_mem()), BIO_free);
    check(bio && write(bio.get()), "PEM");
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio.get(), &data);
    return QByteArray(data, size);
}

} // namespace

const TestCertificate& TestCertificate::shared()
{
    static const TestCertificate certificate;
    return certificate;
}

TestCertificate::TestCertificate()
{
    const Key authorityKey = newKey();
    const Certificate authorityCertificate = newCertificate(authorityKey.get(), "qbank test authority", 1, nullptr, authorityKey.get());
    const Key key = newKey();
    const Certificate leaf = newCertificate(key.get(), "localhost", 2, authorityCertificate.get(), authorityKey.get());
    authority = QSslCertificate(pem([&](BIO* b) { return PEM_write_bio_X509(b, authorityCertificate.get()); }));
    server = QSslCertificate(pem([&](BIO* b) { return PEM_write_bio_X509(b, leaf.get()); }));
    serverKey = QSslKey(pem([&](BIO* b) { return PEM_write_bio_PrivateKey(b, key.get(), nullptr, nullptr, 0, nullptr, nullptr); }),
                        QSsl::Ec);
    check(!authority.isNull() && !server.isNull() && !serverKey.isNull(), "Qt could not read it");
}

QSslConfiguration TestCertificate::serverConfiguration() const
{
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(server);
    configuration.setPrivateKey(serverKey);
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);   // no client certificates
    return configuration;
}

TestCertificate::Trust::Trust()
    : m_previous(QSslConfiguration::defaultConfiguration())
{
    QSslConfiguration trusting = m_previous;
    trusting.addCaCertificate(shared().authority);
    QSslConfiguration::setDefaultConfiguration(trusting);
}

TestCertificate::Trust::~Trust()
{
    QSslConfiguration::setDefaultConfiguration(m_previous);
}
