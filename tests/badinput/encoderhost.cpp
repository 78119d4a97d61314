// Stands in for the program while it waits for its encoder, so that a test can kill it there:
// runs its first argument through RunAndWait with the other arguments, in the current folder.

#include "runandwait.h"

#include <QCoreApplication>
#include <QDir>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.isEmpty())
        return 2;
    const QString program = arguments.takeFirst();
    const TEncoderResult run = RunAndWait(program, arguments, QDir::currentPath());
    return run.Status == TEncoderStatus::Finished ? run.ExitCode : 3;
}
