#pragma once

#include <QString>

class QWidget;

// Shows the folder picker modally over owner. On a choice, folder becomes the chosen folder with
// exactly one trailing separator; on cancel it stays exactly as it was.
void BrowseForFolder(QWidget *owner, QString &folder);
