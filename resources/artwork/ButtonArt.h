#pragma once

namespace artwork {

class ArtworkRecipes;

// Buttons: home tiles, toolbar icons, captioned push buttons and menu rows.
class ButtonArt {
public:
    static void addTo(ArtworkRecipes& recipes);
};

} // namespace artwork
