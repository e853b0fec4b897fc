#pragma once

namespace artwork {

class ArtworkRecipes;

// Panels and cards that labels or text fields are laid over.
class PanelArt {
public:
    static void addTo(ArtworkRecipes& recipes);
};

} // namespace artwork
