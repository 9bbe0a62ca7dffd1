#pragma once

#include <QByteArray>
#include <QString>

// A small tmpfs mounted over a folder for one test and unmounted when the
// test ends, pass or fail: a full or a read-only disk, for real. Mounting
// needs root (or CAP_SYS_ADMIN); where it is refused, refusal() says so.
class Tmpfs {
public:
    Tmpfs(const QString &at, const QByteArray &options);
    ~Tmpfs();
    Tmpfs(const Tmpfs &) = delete;
    Tmpfs &operator=(const Tmpfs &) = delete;

    bool mounted() const { return mounted_; }
    const char *refusal() const { return refusal_.constData(); }
    bool makeReadOnly(const QByteArray &options);

private:
    QByteArray at_;
    bool mounted_ = false;
    QByteArray refusal_;
};
