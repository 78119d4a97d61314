#pragma once

#include <QString>

struct TPictureSet;

// Composes rough mock-ups of the two views and the About dialog, with every picture at its
// place and grey stand-ins for the widgets, plus an enlarged sheet of the small pictures, as
// PNGs in `folder`. For looking at the pictures in their setting; nothing here is shipped.
bool WritePreviews(const TPictureSet &set, const QString &folder, QString *error);
