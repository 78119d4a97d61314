#pragma once

#include <QString>

// Small helpers over the file system and the program's own resources. No state between calls.

// The system's folder for temporary files as an absolute path, always ending in the native
// separator. Honours TMPDIR.
void GetTempDirectory(QString &dir);

// Writes the resource of the given type and name to fileName, creating or replacing it, and makes
// it executable by its owner. Type and name are matched without regard to letter case, so
// ("exefile", "av") finds :/EXEFILE/AV. The file is written beside its final place and renamed
// over it, so an encoder still running from the old file keeps running, and a symbolic link at
// fileName is replaced rather than followed. Returns false (and creates no file) when there is no
// such resource, and false on any write failure; reason, when given, then says why.
bool SaveResourceToFile(const QString &resType, const QString &resName, const QString &fileName,
                        QString *reason = nullptr);

// Resource path (":/TYPE/NAME") of a resource matched without regard to letter case, or empty text.
QString FindResourcePath(const QString &resType, const QString &resName);

// Deletes, silently and permanently, every entry that pattern matches inside one folder: pattern
// is a folder path followed by a wildcard ("/tmp/Quenbry/*" or ".../*.*", both meaning every
// entry). Real sub-folders are emptied and removed; symbolic links are removed, never followed, so
// nothing outside the folder is touched. The folder itself stays. A pattern without an absolute
// folder part does nothing: it must never fall back on the process's current folder.
void DeleteFolderContents(const QString &pattern);

// The short form of an existing path. Linux volumes keep no short names, so it is the path itself;
// a missing path gives empty text.
QString ShortPathName(const QString &path);

// path with exactly one trailing native separator appended when it has none.
QString WithTrailingSeparator(const QString &path);
