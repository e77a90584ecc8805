#pragma once

#include <QString>
#include <optional>

// How every content box scrolls: None wraps its lines and has no scroll bars, Vertical wraps
// them with a vertical bar, Both scrolls both ways without wrapping.
enum class ScrollType { None, Vertical, Both };

// The letter the settings and recovery files hold for the type: "N", "V" or "W".
QString scrollTypeLetter(ScrollType type);
// The type a letter stands for; nothing for any other text, lower case included.
std::optional<ScrollType> scrollTypeFromLetter(const QString &letter);
