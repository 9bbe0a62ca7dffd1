#include "sim/pty_port.h"

#include <QDir>
#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <limits.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

namespace {

constexpr int kReadChunk = 4096;
constexpr int kPaceTickMs = 5;
constexpr qint64 kNanosecondsPerSecond = 1000000000;
// Only for a host that asks what the line runs at; a pseudo-terminal has no speed.
constexpr speed_t kLineSpeed = B115200;

QString systemError(const QString &what, int code)
{
    return QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(code)));
}

bool setNonBlockingAndCloseOnExec(int fd)
{
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0
           && ::fcntl(fd, F_SETFD, FD_CLOEXEC) == 0;
}

QString readLink(const QString &path)
{
    char target[PATH_MAX];
    const ssize_t n = ::readlink(QFile::encodeName(path).constData(), target, sizeof target - 1);
    return n < 0 ? QString() : QFile::decodeName(QByteArray(target, static_cast<int>(n)));
}

}  // namespace

PtyPort::PtyPort(const QString &portDir, int portNumber, QObject *parent)
    : QObject(parent), portDir_(portDir),
      linkPath_(QDir(portDir).filePath(QStringLiteral("COM%1").arg(portNumber)))
{
    paceTimer_.setSingleShot(true);
    paceTimer_.setInterval(kPaceTickMs);
    connect(&paceTimer_, &QTimer::timeout, this, &PtyPort::pump);
}

PtyPort::~PtyPort() { close(); }

bool PtyPort::open()
{
    close();
    error_.clear();

    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0)
        return fail("posix_openpt");
    if (!setNonBlockingAndCloseOnExec(master_))
        return fail("fcntl");
    if (::grantpt(master_) != 0)
        return fail("grantpt");
    if (::unlockpt(master_) != 0)
        return fail("unlockpt");
    char name[PATH_MAX];
    if (::ptsname_r(master_, name, sizeof name) != 0)
        return fail("ptsname");
    devicePath_ = QFile::decodeName(name);

    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave_ < 0)
        return fail("open terminal device");
    // Raw from the start, so a host that opens the port without setting it up
    // still gets every byte as sent: no echo, no line editing, no CR/LF changes.
    termios settings{};
    if (::tcgetattr(slave_, &settings) != 0)
        return fail("tcgetattr");
    ::cfmakeraw(&settings);
    ::cfsetspeed(&settings, kLineSpeed);
    if (::tcsetattr(slave_, TCSANOW, &settings) != 0)
        return fail("tcsetattr");

    readNotifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Read);
    connect(readNotifier_.get(), &QSocketNotifier::activated, this, &PtyPort::onReadable);
    writeNotifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Write);
    writeNotifier_->setEnabled(false);
    connect(writeNotifier_.get(), &QSocketNotifier::activated, this, &PtyPort::pump);

    return link();
}

void PtyPort::close()
{
    // The notifiers may be in the middle of delivering their signal: let the
    // event loop delete them.
    for (auto *notifier : {&readNotifier_, &writeNotifier_}) {
        if (*notifier) {
            (*notifier)->setEnabled(false);
            notifier->release()->deleteLater();
        }
    }
    paceTimer_.stop();
    paceClock_.invalidate();
    queue_.clear();
    unlink();
    for (int *fd : {&slave_, &master_}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
    devicePath_.clear();
}

bool PtyPort::fail(const QString &what)
{
    const int code = errno;
    const QString message = systemError(what, code);
    close();
    error_ = message;
    return false;
}

bool PtyPort::link()
{
    if (!QDir().mkpath(portDir_))
        return fail(QStringLiteral("create %1").arg(portDir_));
    // Made under a temporary name and renamed over the old link, so a host
    // looking at the port never finds it missing or half made.
    const QByteArray temporary =
        QFile::encodeName(QStringLiteral("%1.%2.tmp").arg(linkPath_).arg(::getpid()));
    ::unlink(temporary.constData());
    if (::symlink(QFile::encodeName(devicePath_).constData(), temporary.constData()) != 0)
        return fail("symlink");
    if (::rename(temporary.constData(), QFile::encodeName(linkPath_).constData()) != 0) {
        ::unlink(temporary.constData());
        return fail("rename link");
    }
    return true;
}

void PtyPort::unlink()
{
    // Only our own link: another simulator may have taken the name over since.
    if (!devicePath_.isEmpty() && readLink(linkPath_) == devicePath_)
        ::unlink(QFile::encodeName(linkPath_).constData());
}

void PtyPort::write(const QByteArray &bytes)
{
    if (!isOpen() || bytes.isEmpty())
        return;
    const bool lineIdle = queue_.isEmpty() && (!paceClock_.isValid() || pacedAllowance() >= 0);
    if (lineRate_ > 0 && lineIdle) {
        paceClock_.start();
        pacedSent_ = 0;
    }
    queue_.append(bytes);
    pump();
}

void PtyPort::discardOutput()
{
    queue_.clear();
    paceTimer_.stop();
    if (writeNotifier_)
        writeNotifier_->setEnabled(false);
}

void PtyPort::setLineRate(int bytesPerSecond)
{
    lineRate_ = std::max(0, bytesPerSecond);
    paceClock_.invalidate();
    if (lineRate_ > 0 && !queue_.isEmpty()) {
        paceClock_.start();
        pacedSent_ = 0;
    }
    pump();
}

qint64 PtyPort::pacedAllowance() const
{
    return paceClock_.nsecsElapsed() * lineRate_ / kNanosecondsPerSecond - pacedSent_;
}

void PtyPort::onReadable()
{
    QByteArray data;
    char buffer[kReadChunk];
    while (true) {
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n > 0) {
            data.append(buffer, static_cast<int>(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (!(n < 0 && errno == EAGAIN))
            // End or error: nobody holds the terminal. Cannot happen while our own
            // descriptor keeps it open; stop listening rather than spin on it.
            readNotifier_->setEnabled(false);
        break;
    }
    if (!data.isEmpty())
        emit received(data);
}

void PtyPort::pump()
{
    if (!isOpen() || queue_.isEmpty())
        return;
    qint64 budget = queue_.size();
    if (lineRate_ > 0)
        budget = std::min(budget, pacedAllowance());
    qint64 done = 0;
    bool blocked = false;
    bool dead = false;
    while (done < budget) {
        const ssize_t n = ::write(master_, queue_.constData() + done, budget - done);
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN) {
            // The terminal is full until the host reads.
            blocked = true;
        } else {
            dead = true;
        }
        break;
    }
    queue_.remove(0, done);
    pacedSent_ += done;
    if (dead)
        // What is queued would never arrive.
        queue_.clear();
    writeNotifier_->setEnabled(blocked);
    if (queue_.isEmpty()) {
        paceTimer_.stop();
        emit outputDrained();
        return;
    }
    if (!blocked && lineRate_ > 0)
        paceTimer_.start();
}

}  // namespace sim
