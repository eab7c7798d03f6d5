// Colours as the grid stores them: 0x00BBGGRR, or kSystemColor for the palette's colour.
#pragma once

#include <QColor>

#include <cstdint>

using ColorRef = std::uint32_t;
constexpr ColorRef kSystemColor = 0xFFFFFFFFu;

constexpr ColorRef Rgb(int red, int green, int blue) {
    return static_cast<ColorRef>(red) | static_cast<ColorRef>(green) << 8 | static_cast<ColorRef>(blue) << 16;
}

inline QColor ToQColor(ColorRef color) {
    return QColor(int(color & 0xFF), int(color >> 8 & 0xFF), int(color >> 16 & 0xFF));
}
