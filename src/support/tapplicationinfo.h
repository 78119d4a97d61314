#pragma once

#include <QString>

// What the program reads from config.ini beside its executable. Read once at start-up.
struct TApplicationInfo
{
    QString Homepage;
};

// The address the About dialog shows when config.ini does not name one.
inline constexpr auto DefaultHomepage = u"https://www.quenbry.org/";

// Longest value taken from config.ini; the legacy profile reader cut values there too.
inline constexpr int MaxConfigValueLength = 2047;

// Reads section "ApplicationInfo" of the INI file at iniPath. A missing file, section or key gives
// DefaultHomepage; a key present with an empty value gives empty text.
TApplicationInfo ReadApplicationInfo(const QString &iniPath);
