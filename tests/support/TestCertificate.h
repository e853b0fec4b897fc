#pragma once

#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>

// A certificate authority and a server certificate it signed for "localhost" and 127.0.0.1,
// made in the process (OpenSSL) at first use: a TLS test needs no files and no tools, and
// nothing outside the test trusts them.
class TestCertificate {
public:
    static const TestCertificate& shared();

    // What a loopback TLS server presents (HandServer's TLS form takes it).
    QSslConfiguration serverConfiguration() const;

    // While alive, the process's default TLS configuration, which every request starts
    // from, trusts the test authority besides the system's; the old default comes back after.
    class Trust {
    public:
        Trust();
        ~Trust();
        Trust(const Trust&) = delete;
        Trust& operator=(const Trust&) = delete;

    private:
        QSslConfiguration m_previous;
    };

    QSslCertificate authority;
    QSslCertificate server;
    QSslKey serverKey;

private:
    TestCertificate();
};
