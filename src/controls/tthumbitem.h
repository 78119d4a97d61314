#pragma once

#include <QImage>
#include <QString>

// One video of the list: its full path and its picture. Writing FileName loads the picture when
// the name ends in ".jpg" or ".bmp" (case kept) and shrinks it to at most 100 x 100; any other
// name leaves the picture empty. The add command later puts the grabbed frame into Bitmap.
class TThumbItem
{
public:
    TThumbItem() = default;

    QString FileName() const { return FFileName; }
    // The name is stored first; a picture that cannot be read throws std::runtime_error (text in
    // UTF-8, naming the file and the reason) and leaves Bitmap as it was.
    void setFileName(const QString &fileName);

    QImage &Bitmap() { return FBitmap; }
    const QImage &Bitmap() const { return FBitmap; }
    void setBitmap(const QImage &bitmap) { FBitmap = bitmap; }

    // The extension that decides how a name is loaded: from the last '.' of the part after the
    // last '/', '\\' or ':', case kept; empty when that part has no '.'.
    static QString PictureExtension(const QString &fileName);

private:
    QString FFileName;
    QImage FBitmap;
};
