#pragma once

#include <QString>

// The name of the MP4 file a source converts to: its file name with the extension (from the last
// dot on) replaced by ".mp4", or ".mp4" appended when it has none. "movie" gives "movie.mp4",
// "a.b.avi" gives "a.b.mp4".
QString OutputNameFor(const QString &source);

// Whether a and b name one existing file, however they are spelt (links, "..", "."). A path that
// does not exist names no file.
bool IsSameFile(const QString &a, const QString &b);
