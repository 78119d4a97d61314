#include "filehelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

using namespace Qt::StringLiterals;

QString WithTrailingSeparator(const QString &path)
{
    const QChar sep = QDir::separator();
    if (path.isEmpty() || path.endsWith(sep) || path.endsWith(u'/'))
        return path;
    return path + sep;
}

void GetTempDirectory(QString &dir)
{
    // QDir::tempPath() gives empty text for a TMPDIR that does not exist yet; the work folder is
    // then created together with its parents, so the variable is taken as it stands.
    QString temp;
#ifndef Q_OS_WIN
    temp = qEnvironmentVariable("TMPDIR");
#endif
    if (temp.isEmpty())
        temp = QDir::tempPath();
#ifndef Q_OS_WIN
    if (temp.isEmpty())
        temp = u"/tmp"_s;
#endif
    // A relative TMPDIR would make every later path depend on the current folder.
    temp = QDir::cleanPath(QFileInfo(temp).absoluteFilePath());
    dir = WithTrailingSeparator(QDir::toNativeSeparators(temp));
}

QString FindResourcePath(const QString &resType, const QString &resName)
{
    const QDir root(u":/"_s);
    const QStringList types = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &type : types) {
        if (type.compare(resType, Qt::CaseInsensitive) != 0)
            continue;
        const QDir typeDir(u":/"_s + type);
        const QStringList names = typeDir.entryList(QDir::Files);
        for (const QString &name : names) {
            if (name.compare(resName, Qt::CaseInsensitive) == 0)
                return typeDir.filePath(name);
        }
    }
    return {};
}

bool SaveResourceToFile(const QString &resType, const QString &resName, const QString &fileName,
                        QString *reason)
{
    const auto fail = [reason](const QString &why) {
        if (reason)
            *reason = why;
        return false;
    };

    const QString resourcePath = FindResourcePath(resType, resName);
    if (resourcePath.isEmpty())
        return fail(u"the program holds no resource %1/%2"_s.arg(resType, resName));
    QFile in(resourcePath);
    if (!in.open(QIODevice::ReadOnly))
        return fail(in.errorString());

    // QSaveFile writes through a link to its target; a link has no business being here.
    if (QFileInfo(fileName).isSymLink() && !QFile::remove(fileName))
        return fail(u"a symbolic link is in the way"_s);

    QSaveFile out(fileName);
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly))
        return fail(out.errorString());
    QByteArray chunk;
    while (!(chunk = in.read(1 << 20)).isEmpty()) {
        if (out.write(chunk) != chunk.size())
            return fail(out.errorString());
    }
    if (!out.commit())
        return fail(out.errorString());
    if (!QFile::setPermissions(fileName, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                             | QFileDevice::ExeOwner | QFileDevice::ReadUser
                                             | QFileDevice::WriteUser | QFileDevice::ExeUser))
        return fail(u"its permissions cannot be set"_s);
    return true;
}

namespace {

void RemoveEntry(const QFileInfo &entry)
{
    const QString path = entry.absoluteFilePath();
    // A link is judged by itself, not by what it points at.
    if (entry.isSymLink() || !entry.isDir()) {
        QFile::remove(path);
        return;
    }
    const QDir dir(path);
    const QFileInfoList children = dir.entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &child : children)
        RemoveEntry(child);
    QDir().rmdir(path);
}

} // namespace

void DeleteFolderContents(const QString &pattern)
{
    const QString normalized = QDir::fromNativeSeparators(pattern);
    const qsizetype slash = normalized.lastIndexOf(u'/');
    if (slash < 0)
        return;
    const QString folder = normalized.left(slash + 1);
    QString mask = normalized.mid(slash + 1);
    if (folder.isEmpty() || !QDir::isAbsolutePath(folder) || mask.isEmpty())
        return;
    if (mask == u"*.*")
        mask = u"*"_s; // the Windows spelling of "every entry"

    const QDir dir(folder);
    if (!dir.exists())
        return;
    const QFileInfoList entries = dir.entryInfoList(
        {mask}, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries)
        RemoveEntry(entry);
}

QString ShortPathName(const QString &path)
{
#ifdef Q_OS_WIN
    const std::wstring longPath = QDir::toNativeSeparators(path).toStdWString();
    const DWORD needed = GetShortPathNameW(longPath.c_str(), nullptr, 0);
    if (needed == 0)
        return {};
    std::wstring buffer(needed, L'\0');
    const DWORD written = GetShortPathNameW(longPath.c_str(), buffer.data(), needed);
    if (written == 0 || written >= needed)
        return {};
    buffer.resize(written);
    return QString::fromStdWString(buffer);
#else
    if (path.isEmpty() || !QFileInfo::exists(path))
        return {};
    return path;
#endif
}
