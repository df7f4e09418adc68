#include "platform/file_change_watcher.h"

#include <QFile>
#include <QFileInfo>

namespace platform {
namespace {

constexpr int kDefaultSettleMs = 400;

std::string NativePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

}  // namespace

FileChangeWatcher::FileChangeWatcher(QObject* parent) : QObject(parent) {
    m_settle.setSingleShot(true);
    m_settle.setInterval(kDefaultSettleMs);
    connect(&m_settle, &QTimer::timeout, this, &FileChangeWatcher::OnSettled);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &FileChangeWatcher::OnEvent);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &FileChangeWatcher::OnEvent);
}

FileChangeWatcher::~FileChangeWatcher() = default;

void FileChangeWatcher::Watch(const QString& path) {
    if (path != m_strPath) {
        Stop();
        m_strPath = path;
    }
    m_known = fileio::StampOf(NativePath(path));
    WatchPaths();
}

void FileChangeWatcher::Stop() {
    m_settle.stop();
    const QStringList watched = m_watcher.files() + m_watcher.directories();
    if (!watched.isEmpty()) {
        m_watcher.removePaths(watched);
    }
    m_strPath.clear();
    m_known = {};
}

bool FileChangeWatcher::HasChanged() const {
    return !m_strPath.isEmpty() && fileio::ChangedSince(m_known, NativePath(m_strPath));
}

void FileChangeWatcher::CheckLater() {
    if (!m_strPath.isEmpty()) {
        m_settle.start();
    }
}

void FileChangeWatcher::WatchPaths() {
    if (m_strPath.isEmpty()) {
        return;
    }
    const QString folder = QFileInfo(m_strPath).absolutePath();
    if (!m_watcher.directories().contains(folder)) {
        m_watcher.addPath(folder);
    }
    if (!m_watcher.files().contains(m_strPath) && QFileInfo::exists(m_strPath)) {
        m_watcher.addPath(m_strPath);
    }
}

void FileChangeWatcher::OnEvent() {
    // A rename over the file ends its watch; the new file is watched again.
    WatchPaths();
    // Each event restarts the delay, so a file written in many steps is
    // looked at once, after the last.
    CheckLater();
}

void FileChangeWatcher::OnSettled() {
    WatchPaths();
    if (HasChanged()) {
        emit changedOnDisk();
    }
}

}  // namespace platform
