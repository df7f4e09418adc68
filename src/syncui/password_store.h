// Where the passwords of CardDAV accounts are kept: in the desktop's secret
// store (QtKeychain: the Secret Service or KWallet), never in the book or
// the settings file.  Where no secret store runs, a password lives in
// memory for the length of the run only, so it is asked for once per run.
#pragma once

#include <QMap>
#include <QString>

namespace syncui {

class IPasswordStore {
public:
    virtual ~IPasswordStore() = default;
    // The password of `account` ("user@url"), empty when none is known.
    virtual QString Read(const QString& account) = 0;
    virtual void Write(const QString& account, const QString& password) = 0;
    // Forgets the password (it was refused).
    virtual void Forget(const QString& account) = 0;
};

// Passwords for the length of the run.
class MemoryPasswordStore : public IPasswordStore {
public:
    QString Read(const QString& account) override { return m_passwords.value(account); }
    void Write(const QString& account, const QString& password) override {
        m_passwords[account] = password;
    }
    void Forget(const QString& account) override { m_passwords.remove(account); }

private:
    QMap<QString, QString> m_passwords;
};

// The desktop's secret store, with memory in front of it.
class KeychainPasswordStore final : public IPasswordStore {
public:
    QString Read(const QString& account) override;
    void Write(const QString& account, const QString& password) override;
    void Forget(const QString& account) override;

private:
    MemoryPasswordStore m_memory;
};

// "user@https://dav.example.org/jane/contacts/": what a password is kept
// under.
QString AccountKey(const QString& user, const QString& url);

}  // namespace syncui
