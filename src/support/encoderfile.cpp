#include "encoderfile.h"

#include "filehelpers.h"
#include "processvariables.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

QString EncoderPath()
{
    return WorkDir + EncoderFileName();
}

bool EnsureEncoder(QString *reason)
{
    if (WorkDir.isEmpty()) {
        if (reason)
            *reason = u"there is no work folder"_s;
        return false;
    }
    if (QFileInfo(EncoderPath()).isFile())
        return true;
    return SaveResourceToFile(u"exefile"_s, u"av"_s, EncoderPath(), reason);
}
