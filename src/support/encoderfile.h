#pragma once

#include <QString>

// Where the program's encoder lives while it runs: WorkDir + "av".
QString EncoderPath();

// Writes the embedded encoder to EncoderPath() when no file is there. A second copy of the program
// that closes empties the shared work folder and with it the encoder of this copy; writing it
// again before each run keeps both copies working. A work folder that is gone is made again,
// owner-only; one that is not the user's own is refused, with or without an encoder in it.
bool EnsureEncoder(QString *reason = nullptr);
