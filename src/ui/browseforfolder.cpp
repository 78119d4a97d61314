#include "browseforfolder.h"

#include "filehelpers.h"

#include <QDir>
#include <QFileDialog>

using namespace Qt::StringLiterals;

void BrowseForFolder(QWidget *owner, QString &folder)
{
    const QString chosen = QFileDialog::getExistingDirectory(
        owner, u"Please specify a directory"_s, QString(), QFileDialog::ShowDirsOnly);
    if (chosen.isEmpty())
        return;
    folder = WithTrailingSeparator(QDir::toNativeSeparators(chosen));
}
