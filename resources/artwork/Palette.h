#pragma once

#include <QColor>

// The few colours every image is drawn from, so the screens read as one family. The accent
// is the interface's own highlight blue (0x6FD7FD), which labels over the images also use.
namespace artwork::palette {

inline const QColor accent{0x6F, 0xD7, 0xFD};
inline const QColor primary{0x2F, 0x8F, 0xD8};
inline const QColor primaryDark{0x1F, 0x5F, 0x9E};
inline const QColor ink{0x2E, 0x3A, 0x4B};
inline const QColor inkSoft{0x7A, 0x86, 0x96};
inline const QColor line{0xC9, 0xD6, 0xE3};
inline const QColor paper{0xFF, 0xFF, 0xFF};
inline const QColor mist{0xEE, 0xF6, 0xFB};
inline const QColor band{0xB9, 0xE3, 0xF7};
inline const QColor right{0x2E, 0x7D, 0xD1};
inline const QColor wrong{0xE0, 0x4B, 0x4B};
inline const QColor success{0x3F, 0xA9, 0x6B};
inline const QColor warm{0xF2, 0x9B, 0x38};
inline const QColor violet{0x8A, 0x6F, 0xD8};
inline const QColor menuDark{0x24, 0x2E, 0x3C};

} // namespace artwork::palette
