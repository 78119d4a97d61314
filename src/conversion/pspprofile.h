#pragma once

#include <QString>

// The PSP reads the video bit rate it expects from the profile atom (a "uuid" atom with the user
// type PROF, right after "ftyp"). The old encoder wrote a fixed 768 kbit/s there (-muxvb 768); the
// current one writes min(video, 800 - audio) and has no option for it, so the value is set after
// the run.

// The video bit rate, in kbit/s, that every output states in its profile atom.
inline constexpr quint32 PspMuxVideoBitrate = 768;

// Sets both video bit-rate fields of the VPRF part of the profile atom of the MP4 file at fileName
// to kbps, in place. The atom is looked for by walking the atoms at the start of the file; when it
// is not right after "ftyp", or its VPRF part is missing or does not fit, the file is left
// untouched and the result is false with a reason.
bool PatchPspVideoBitrate(const QString &fileName, quint32 kbps, QString *reason = nullptr);
