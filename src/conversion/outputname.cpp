#include "outputname.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

QString OutputNameFor(const QString &source)
{
    const QString normalized = QDir::fromNativeSeparators(source);
    QString name = normalized.mid(normalized.lastIndexOf(u'/') + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot >= 0)
        name.truncate(dot);
    return name + u".mp4"_s;
}

bool IsSameFile(const QString &a, const QString &b)
{
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}
