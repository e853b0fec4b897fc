#pragma once

namespace artwork {

class ArtworkRecipes;

// Full-screen backgrounds, the login bands, the logo and the title strips.
class ScreenArt {
public:
    static void addTo(ArtworkRecipes& recipes);
};

} // namespace artwork
