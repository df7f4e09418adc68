// FileChangeWatcher: notices that another program changed the open book's
// file on disk.
//
// It remembers the file's stamp (device, inode, size, modification time)
// from the window's own last open or save and compares it with the file as
// it is now.  The file and its folder are watched: a program that renames a
// new file over the book (as a safe writer does) ends the watch on the old
// file, so the file is watched again whenever it reappears.  Events are
// gathered for a short while before the file is looked at, so that a
// program still writing the file in place is given time to finish.
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

#include "fileio/file_stamp.h"

namespace platform {

class FileChangeWatcher : public QObject {
    Q_OBJECT

public:
    explicit FileChangeWatcher(QObject* parent = nullptr);
    ~FileChangeWatcher() override;

    // Watches `path` (absolute) and takes the file as it is now as the
    // window's own; call after each own open or save.
    void Watch(const QString& path);
    // Watches nothing (a new book that has no file yet).
    void Stop();
    const QString& Path() const { return m_strPath; }

    // True when the watched file exists and is not the one the window last
    // read or wrote.  A file that is gone counts as unchanged.
    bool HasChanged() const;
    // Looks at the file again after the settling delay.
    void CheckLater();
    // How long events are gathered before the file is looked at.
    void SetSettleDelay(int milliseconds) { m_settle.setInterval(milliseconds); }

signals:
    // The file was changed by another program; emitted after the settling
    // delay, again for each later change while it stays different.
    void changedOnDisk();

private:
    void OnEvent();
    void OnSettled();
    // Adds the file and its folder to the system watch where missing.
    void WatchPaths();

    QFileSystemWatcher m_watcher;
    QTimer m_settle;
    QString m_strPath;
    fileio::FileStamp m_known;
};

}  // namespace platform
