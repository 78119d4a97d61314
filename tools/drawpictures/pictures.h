#pragma once

#include <QByteArray>
#include <QImage>
#include <QMap>
#include <QString>

// Every picture of the program, by file name. `Shown` holds each picture as the program will
// show it (JPEGs already decoded), `Files` the bytes written to disk.
struct TPictureSet
{
    QMap<QString, QImage> Shown;
    QMap<QString, QByteArray> Files;
};

TPictureSet DrawAllPictures();

// Writes every file of the set into `folder`; on failure returns false and says why.
bool SavePictures(const TPictureSet &set, const QString &folder, QString *error);
