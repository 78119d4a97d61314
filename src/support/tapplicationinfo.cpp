#include "tapplicationinfo.h"

#include <QFileInfo>
#include <QSettings>
#include <QStringList>

using namespace Qt::StringLiterals;

TApplicationInfo ReadApplicationInfo(const QString &iniPath)
{
    TApplicationInfo info;
    info.Homepage = QString::fromUtf16(DefaultHomepage);

    // QSettings would create nothing for a missing file, but it must not even look at a folder or
    // a device that happens to carry the name.
    if (!QFileInfo(iniPath).isFile())
        return info;

    QSettings ini(iniPath, QSettings::IniFormat);
    const QString key = u"ApplicationInfo/Homepage"_s;
    if (!ini.contains(key))
        return info;

    const QVariant value = ini.value(key);
    // QSettings splits an unquoted value at commas; the file's author meant one text.
    QString text = value.typeId() == QMetaType::QStringList ? value.toStringList().join(u',')
                                                            : value.toString();
    text.truncate(MaxConfigValueLength);
    info.Homepage = text;
    return info;
}
