#pragma once
// The named object that keeps a second copy of the program from starting: a lock file held with flock
// for the life of the process, so a crash never leaves it held.

#include <QString>

class SingleInstance {
public:
    // name: "Orvane_E"; folder: empty means $XDG_RUNTIME_DIR, else the temp folder.
    explicit SingleInstance(const QString &name, const QString &folder = QString());
    ~SingleInstance();
    SingleInstance(const SingleInstance &) = delete;
    SingleInstance &operator=(const SingleInstance &) = delete;

    // True when this process now holds the object (also when the lock file cannot be created:
    // a folder we cannot write must not keep the program from running).
    bool Acquire();
    bool Held() const { return fd_ >= 0; }
    QString LockPath() const { return path_; }

    static QString DefaultFolder();

private:
    QString path_;
    int fd_ = -1;
};
