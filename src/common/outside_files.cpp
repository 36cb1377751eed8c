#include "common/outside_files.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pellucar {

namespace {

QString systemError(int code) { return QString::fromLocal8Bit(std::strerror(code)); }

// The verdict on a file's status: its kind first, then its size.
OutsideFile judge(const struct stat& st, qint64 maxBytes, QString* why) {
    if (S_ISDIR(st.st_mode)) {
        *why = QStringLiteral("it is a folder, not a file");
        return OutsideFile::Refused;
    }
    if (!S_ISREG(st.st_mode)) {
        *why = QStringLiteral("it is not a regular file (a device, pipe or socket)");
        return OutsideFile::Refused;
    }
    if (st.st_size > maxBytes) {
        *why = QStringLiteral("it holds %1 bytes, more than such a file ever does (%2)").arg(st.st_size).arg(maxBytes);
        return OutsideFile::Refused;
    }
    return OutsideFile::Fine;
}

} // namespace

OutsideFile checkOutsideFile(const QString& path, qint64 maxBytes, QString* why) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        if (errno == ENOENT) return OutsideFile::Missing;
        *why = systemError(errno);
        return OutsideFile::Refused;
    }
    return judge(st, maxBytes, why);
}

OutsideFile readOutsideFile(const QString& path, qint64 maxBytes, QByteArray* bytes, QString* why) {
    // Without O_NONBLOCK, opening a FIFO waits for a writer that may never come.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return OutsideFile::Missing;
        *why = systemError(errno);
        return OutsideFile::Refused;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        *why = systemError(errno);
        ::close(fd);
        return OutsideFile::Refused;
    }
    if (const OutsideFile kind = judge(st, maxBytes, why); kind != OutsideFile::Fine) {
        ::close(fd);
        return kind;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        *why = file.errorString();
        ::close(fd);
        return OutsideFile::Refused;
    }
    // One byte past the bound tells a file that grew since it was judged.
    *bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        *why = file.errorString();
        bytes->clear();
        return OutsideFile::Refused;
    }
    if (bytes->size() > maxBytes) {
        *why = QStringLiteral("it grew past %1 bytes while it was read").arg(maxBytes);
        bytes->clear();
        return OutsideFile::Refused;
    }
    return OutsideFile::Fine;
}

QString writeFileWhole(const QString& path, const QByteArray& bytes) {
    // Only a regular file is replaced: a FIFO would take the bytes (or wait
    // for a reader) and a device is no file to keep.
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0 && !S_ISREG(st.st_mode))
        return S_ISDIR(st.st_mode) ? QStringLiteral("it is a folder, not a file")
                                   : QStringLiteral("it is not a regular file (a device, pipe or socket)");
    QSaveFile file(path);
    // Written beside the target and renamed over it, never into it: a
    // failed write leaves the old file whole.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    // A full disk may show only when the buffer is flushed; commit() would
    // not tell it.
    // Qt may tell a failed flush as "Unknown error": the system's reason is
    // kept where there is one.
    errno = 0;
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString error = errno ? systemError(errno) : file.errorString();
        file.cancelWriting();
        return error;
    }
    if (!file.commit()) return file.errorString();
    return {};
}

} // namespace pellucar
