#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <memory>
#include <shared_mutex>

struct evp_mac_ctx_st;

namespace server {

// Remembers, in memory only, which password last passed the slow digest check
// for each account, as a keyed hash under a key drawn at start-up; a repeated
// sign-in with that password then costs one hash instead of the full key
// derivation. Wrong passwords never match and always pay the full cost, and the
// stored digests are untouched, so a copied database is as hard to attack as
// before.
class VerifiedLogins {
public:
    VerifiedLogins();
    ~VerifiedLogins();

    VerifiedLogins(const VerifiedLogins&) = delete;
    VerifiedLogins& operator=(const VerifiedLogins&) = delete;

    bool matches(const QString& username, const QString& salt, const QString& password) const;
    void remember(const QString& username, const QString& salt, const QString& password);
    // matches() in two steps: the keyed hash (the costly part, needing no lock), then a
    // comparison cheap enough to run under another lock (the login throttle's).
    QByteArray tag(const QString& username, const QString& salt, const QString& password) const;
    bool remembers(const QString& username, const QByteArray& tag) const;

private:
    static constexpr qsizetype kMaxEntries = 100000;

    struct MacFree {
        void operator()(evp_mac_ctx_st* mac) const;
    };
    // Keyed once: each tag starts from a copy, so no sign-in looks the algorithm up
    // again (a lookup that takes a lock every thread shares).
    std::unique_ptr<evp_mac_ctx_st, MacFree> m_keyed;
    mutable std::shared_mutex m_mutex;
    QHash<QString, QByteArray> m_tags;
};

} // namespace server
