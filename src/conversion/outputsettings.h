#pragma once

#include <array>

// The values behind the output settings lists, indexed by the position of the chosen item.

struct TFrameSize
{
    int Width;
    int Height;
};

// Every size stays within the 76,800 pixels the PSP format accepts.
inline constexpr std::array<TFrameSize, 9> ResolutionTable{{{176, 120},
                                                            {240, 176},
                                                            {320, 176},
                                                            {320, 240},
                                                            {368, 208},
                                                            {384, 160},
                                                            {416, 176},
                                                            {400, 192},
                                                            {480, 160}}};

inline constexpr std::array<double, 3> FrameRateTable{15, 24, 29.97};

// kbit/s
inline constexpr std::array<int, 9> VideoBitrateTable{128, 192, 256, 384, 512,
                                                      576, 640, 768, 1500};
inline constexpr std::array<int, 12> AudioBitrateTable{32,  48,  64,  96,  128, 160,
                                                       192, 224, 256, 320, 384, 576};

// Hz. "Same as Input" comes first and gives 44100, like the "44100 HZ" item.
inline constexpr std::array<int, 4> SampleRateTable{44100, 24000, 44100, 48000};
