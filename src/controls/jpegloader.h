#pragma once

#include <QImage>
#include <QString>

// Decodes a JPEG file with libjpeg into a picture in Format_RGB888 (grey pictures come out as
// RGB too). Throws std::runtime_error whose what() (UTF-8) names the file and the reason given
// by the file system or by libjpeg. Pictures that would need more memory than Qt's image reader
// allows (QImageReader::allocationLimit()) are refused the same way.
QImage LoadJpegFile(const QString &fileName);
