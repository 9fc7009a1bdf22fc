#include "app/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cstring>

namespace {

// What the file is when it is not a regular one, as the technician would call it.
QString kindOf(mode_t mode) {
    if (S_ISDIR(mode)) return QStringLiteral("It is a folder, not a file.");
    if (S_ISFIFO(mode)) return QStringLiteral("It is a named pipe, not a file.");
    if (S_ISCHR(mode) || S_ISBLK(mode)) return QStringLiteral("It is a device, not a file.");
    if (S_ISSOCK(mode)) return QStringLiteral("It is a socket, not a file.");
    return QStringLiteral("It is not a regular file.");
}

std::optional<QByteArray> refuse(QString* reason, const QString& why) {
    if (reason != nullptr) *reason = why;
    return std::nullopt;
}

QString errorText(int error) {
    if (error == ENOENT) return QStringLiteral("It is no longer there.");
    return QString::fromLocal8Bit(std::strerror(error)) + QLatin1Char('.');
}

}  // namespace

std::optional<QByteArray> readRegularFile(const QString& path, qint64 limit, QString* reason) {
    const QByteArray name = QFile::encodeName(path);
    // Looked at before opening, so that no device is ever opened; then checked again on the
    // descriptor, in case the name was replaced in between. O_NONBLOCK keeps the open of a
    // pipe from waiting for a writer.
    struct stat info {};
    if (::stat(name.constData(), &info) != 0) return refuse(reason, errorText(errno));
    if (!S_ISREG(info.st_mode)) return refuse(reason, kindOf(info.st_mode));
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return refuse(reason, errorText(errno));
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return refuse(reason, kindOf(info.st_mode));
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return refuse(reason, file.errorString());
    }
    QByteArray bytes = file.read(limit);
    if (file.error() != QFileDevice::NoError) return refuse(reason, file.errorString());
    return bytes;
}
