#pragma once

namespace artwork {

class ArtworkRecipes;

// Answer options and settings choices, each in a normal and a selected look.
class OptionArt {
public:
    static void addTo(ArtworkRecipes& recipes);
};

} // namespace artwork
