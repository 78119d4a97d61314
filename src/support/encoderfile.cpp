#include "encoderfile.h"

#include "filehelpers.h"
#include "privatefolder.h"
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
    // A cleaner of the temporary folder may have taken the work folder too, and anyone may have
    // made a new one in its place: the encoder is written to and run from our own folder only.
    if (!PreparePrivateFolder(WorkDir, reason))
        return false;
    if (QFileInfo(EncoderPath()).isFile())
        return true;
    return SaveResourceToFile(u"exefile"_s, u"av"_s, EncoderPath(), reason);
}
