#include "processvariables.h"

using namespace Qt::StringLiterals;

QString WorkDir;
bool IsConverting = false;
TApplicationInfo AppInfo;

QString EncoderFileName()
{
#ifdef Q_OS_WIN
    return u"av.exe"_s;
#else
    return u"av"_s;
#endif
}
