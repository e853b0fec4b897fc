#pragma once

namespace artwork {

class ArtworkRecipes;

// Small tiles: question badges, answer-card numbers, report results, difficulty.
class TileArt {
public:
    static void addTo(ArtworkRecipes& recipes);
};

} // namespace artwork
