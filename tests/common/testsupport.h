#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

// Small helpers the test programs share.

// Sets an environment variable for the rest of the test function and restores it afterwards.
class TEnvGuard
{
public:
    TEnvGuard(const char *name, const QString &value)
        : FName(name)
        , FHad(qEnvironmentVariableIsSet(name))
        , FOld(qgetenv(name))
    {
        qputenv(name, QFile::encodeName(value));
    }
    ~TEnvGuard()
    {
        if (FHad)
            qputenv(FName, FOld);
        else
            qunsetenv(FName);
    }
    TEnvGuard(const TEnvGuard &) = delete;
    TEnvGuard &operator=(const TEnvGuard &) = delete;

private:
    const char *FName;
    bool FHad;
    QByteArray FOld;
};

inline bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline QStringList FolderEntries(const QString &path)
{
    return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                | QDir::NoDotAndDotDot, QDir::Name);
}

inline bool IsRoot()
{
#ifdef Q_OS_UNIX
    return ::geteuid() == 0;
#else
    return false;
#endif
}
