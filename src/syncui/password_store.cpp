#include "syncui/password_store.h"

#include <qt6keychain/keychain.h>
#include <QEventLoop>
#include <QTimer>

namespace syncui {

namespace {

const QString kService = QStringLiteral("Quillbox CardDAV");
constexpr int kKeychainTimeoutMs = 10000;

// Runs a keychain job to its end.  The store may ask the user to unlock it,
// so the wait runs the event loop (the window stays drawn) and is bounded.
bool RunJob(QKeychain::Job& job) {
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(kKeychainTimeoutMs, &loop, &QEventLoop::quit);
    job.setAutoDelete(false);
    job.start();
    loop.exec();
    return job.error() == QKeychain::NoError;
}

}  // namespace

QString KeychainPasswordStore::Read(const QString& account) {
    QString password = m_memory.Read(account);
    if (!password.isEmpty()) {
        return password;
    }
    QKeychain::ReadPasswordJob job(kService);
    job.setKey(account);
    if (RunJob(job)) {
        password = job.textData();
        m_memory.Write(account, password);
    }
    return password;
}

void KeychainPasswordStore::Write(const QString& account, const QString& password) {
    m_memory.Write(account, password);
    QKeychain::WritePasswordJob job(kService);
    job.setKey(account);
    job.setTextData(password);
    // Without a secret store the password stays in memory only.
    RunJob(job);
}

void KeychainPasswordStore::Forget(const QString& account) {
    m_memory.Forget(account);
}

QString AccountKey(const QString& user, const QString& url) {
    return user + QLatin1Char('@') + url;
}

}  // namespace syncui
