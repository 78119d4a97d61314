#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QStringView>

class TWorkThreadInfo;

// The two command lines given to the encoder, as argument templates. Every placeholder ("{name}")
// stands alone as one argument and is replaced by exactly one value, so blanks, quotes, commas,
// colons and leading dashes in a value can never split it or turn it into an option. No shell is
// involved and there is no length limit.

// Grabs the frame at 3 s into thumb1.jpg in the working folder. Seeking on the input side gives
// the same frame as decoding from the start and dropping, but stays fast deep into long files.
// Placeholder: {source}.
extern const QStringList ThumbnailCommandFormat;

// Converts one source into a PSP MP4 file. Placeholders: {source}, {videoencoder}, {resolution},
// {framerate}, {videobitrate}, {aspect}, {channels}, {audiobitrate}, {samplerate}, {title},
// {volume}, {output}.
extern const QStringList ConversionCommandFormat;

// Name of the picture the thumbnail command writes into the working folder.
inline constexpr QStringView ThumbnailFileName = u"thumb1.jpg";

// The xvid MPEG-4 Visual encoder, and the encoder's own one for builds without xvid.
inline constexpr QStringView XvidVideoEncoder = u"libxvid";
inline constexpr QStringView NativeVideoEncoder = u"mpeg4";

// format with every argument that equals a key of values replaced by its value. Replacement is one
// pass over whole arguments: text inside a value is never looked at again.
QStringList FillCommandFormat(const QStringList &format, const QMap<QString, QString> &values);

// The arguments of the thumbnail command for the video at source.
QStringList ThumbnailArguments(const QString &source);

// The arguments of the conversion command: the values of info (frame size, aspect, frame rate,
// bit rates in kbit/s, sample rate in Hz, channels, volume in percent, title), the source and the
// output path. The video encoder is the one the encoder build offers (see XvidVideoEncoder).
QStringList ConversionArguments(const TWorkThreadInfo &info, const QString &source,
                                const QString &output,
                                const QString &videoEncoder = XvidVideoEncoder.toString());

// A path as the encoder must receive it: absolute, and behind the file: protocol so that a colon
// in the name is not read as a protocol and the name is never read as an option.
QString EncoderPathArgument(const QString &path);

// Frames per second with exactly two decimals and always a point ("15.00", "29.97"), whatever the
// user's locale says.
QString FrameRateArgument(double frameRate);

// The audio filter chain: the volume in percent applied to 16-bit samples and clipped at their
// limits, then the mix into the given number of channels (1 or 2) at the old encoder's levels:
// mono duplicated into stereo at unity gain, stereo averaged into mono.
QString AudioFilterArgument(int volumePercent, int channels);
