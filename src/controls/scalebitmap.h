#pragma once

#include <vector>

#include <QImage>
#include <QtGlobal>

// The pixel format every thumbnail is worked on and handed back in: 3 bytes a pixel.
inline constexpr QImage::Format ThumbnailFormat = QImage::Format_RGB888;

// One destination column (or row) of a shrink: the run of source columns (rows) it averages.
struct TScaleSpan
{
    qint32 First;
    qint32 Count;

    friend bool operator==(const TScaleSpan &, const TScaleSpan &) = default;
};

// The runs that a shrink of sourceLength pixels into size pixels averages, first to last. The
// ratio is 1 / (size / sourceLength) worked out in extended precision and rounded to a 32-bit
// float, and run k ends at the truncated product (k + 1) x ratio, so a ratio that rounds just
// short leaves the last source pixel unused. Where the source is shorter than size, each run
// still covers one source pixel (the picture is stretched in that direction).
std::vector<TScaleSpan> ScaleSpans(int sourceLength, quint16 size);

// Turns a picture into a thumbnail of at most size x size pixels. A picture that fits is copied
// unchanged; a larger one is shrunk to exactly size x size by averaging blocks of source pixels
// and then sharpened in place. source is converted to ThumbnailFormat in place first; dest
// comes back in ThumbnailFormat (or empty for an empty source). Throws std::bad_alloc when a
// picture cannot be allocated, leaving dest as it was.
void ScaleBitmap(QImage &source, QImage &dest, quint16 size);
