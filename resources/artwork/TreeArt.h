#pragma once

namespace artwork {

class ArtworkRecipes;

// Chapter tree connectors and the start button of a tree row.
class TreeArt {
public:
    static void addTo(ArtworkRecipes& recipes);
};

} // namespace artwork
