#include "outputname.h"

#include <QDir>

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
