#pragma once

#include <QString>

// The work folder lives in the shared temporary folder, where any local user can create entries.
// These checks make sure that what the program runs from there is its own.

// Creates path (and any missing parent) readable and writable by the owner only, or accepts an
// existing folder at path once it is certain to be a real folder (not a link) owned by the
// current user; permissions wider than owner-only are tightened. Returns false with a reason for
// the user when the folder cannot be made or is not ours.
bool PreparePrivateFolder(const QString &path, QString *reason);

// Whether the file at path can be run: it must be executable and must not lie on a file system
// mounted without execute permission. Returns false with a reason otherwise.
bool CanExecuteFile(const QString &path, QString *reason);
