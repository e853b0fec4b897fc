#pragma once

#include <QString>

namespace ui {

// A run of UTF-16 code units in a text (NSRange): what an edit replaces.
struct TextRange {
    int location = 0;
    int length = 0;

    bool operator==(const TextRange&) const = default;

    // The insertion point after the last character.
    static TextRange atEnd(const QString& text) { return {int(text.size()), 0}; }
    // The last character, a surrogate pair counting as one (empty for an empty text).
    static TextRange lastCharacter(const QString& text)
    {
        const int size = int(text.size());
        if (size == 0)
            return {0, 0};
        const bool pair = size >= 2 && text.at(size - 1).isLowSurrogate() && text.at(size - 2).isHighSurrogate();
        return pair ? TextRange{size - 2, 2} : TextRange{size - 1, 1};
    }
};

} // namespace ui
