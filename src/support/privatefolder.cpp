#include "privatefolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifndef Q_OS_WIN
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace {

bool Fail(QString *reason, const QString &why)
{
    if (reason)
        *reason = why;
    return false;
}

#ifndef Q_OS_WIN
QString ErrnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}
#endif

} // namespace

#ifdef Q_OS_WIN

bool PreparePrivateFolder(const QString &path, QString *reason)
{
    if (path.isEmpty())
        return Fail(reason, u"the path is empty"_s);
    if (!QDir().mkpath(path))
        return Fail(reason, u"the folder cannot be created"_s);
    return true;
}

bool CanExecuteFile(const QString &path, QString *reason)
{
    if (!QFileInfo(path).isFile())
        return Fail(reason, u"the file does not exist"_s);
    return true;
}

#else

bool PreparePrivateFolder(const QString &path, QString *reason)
{
    QString clean = QDir::cleanPath(QDir::fromNativeSeparators(path));
    if (clean.isEmpty() || clean == u".")
        return Fail(reason, u"the path is empty"_s);
    if (!QDir::isAbsolutePath(clean))
        return Fail(reason, u"the path is not absolute"_s);

    // Create every missing level ourselves, owner-only, rather than trusting the umask.
    const QStringList parts = clean.split(u'/', Qt::SkipEmptyParts);
    QString level;
    for (const QString &part : parts) {
        level += u'/' + part;
        const QByteArray native = QFile::encodeName(level);
        struct stat st {};
        if (::lstat(native.constData(), &st) == 0)
            continue;
        if (errno != ENOENT)
            return Fail(reason, ErrnoText(errno));
        if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
            return Fail(reason, ErrnoText(errno));
    }

    const QByteArray native = QFile::encodeName(clean);
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0)
        return Fail(reason, ErrnoText(errno));
    if (S_ISLNK(st.st_mode))
        return Fail(reason, u"it is a symbolic link, not a folder of this user's"_s);
    if (!S_ISDIR(st.st_mode))
        return Fail(reason, u"something that is not a folder is in the way"_s);
    if (st.st_uid != ::geteuid())
        return Fail(reason, u"it belongs to another user"_s);
    if ((st.st_mode & 07777) != 0700 && ::chmod(native.constData(), 0700) != 0)
        return Fail(reason, ErrnoText(errno));
    return true;
}

bool CanExecuteFile(const QString &path, QString *reason)
{
    const QByteArray native = QFile::encodeName(QDir::fromNativeSeparators(path));
    struct stat st {};
    if (::stat(native.constData(), &st) != 0)
        return Fail(reason, ErrnoText(errno));
    if (!S_ISREG(st.st_mode))
        return Fail(reason, u"it is not a regular file"_s);
    struct statvfs vfs {};
    if (::statvfs(native.constData(), &vfs) == 0 && (vfs.f_flag & ST_NOEXEC))
        return Fail(reason, u"its file system is mounted without permission to run programs (noexec)"_s);
    if (::access(native.constData(), X_OK) != 0)
        return Fail(reason, ErrnoText(errno));
    return true;
}

#endif
