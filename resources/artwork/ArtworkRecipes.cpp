#include "resources/artwork/ArtworkRecipes.h"

#include "resources/artwork/ButtonArt.h"
#include "resources/artwork/OptionArt.h"
#include "resources/artwork/PanelArt.h"
#include "resources/artwork/ScreenArt.h"
#include "resources/artwork/TileArt.h"
#include "resources/artwork/TreeArt.h"

namespace artwork {

void ArtworkRecipes::add(const QString& name, Recipe recipe)
{
    m_recipes.insert(name, std::move(recipe));
}

const ArtworkRecipes::Recipe* ArtworkRecipes::find(const QString& name) const
{
    const auto it = m_recipes.constFind(name);
    if (it == m_recipes.constEnd())
        return nullptr;
    return &it.value();
}

QStringList ArtworkRecipes::names() const
{
    return m_recipes.keys();
}

const ArtworkRecipes& ArtworkRecipes::all()
{
    static const ArtworkRecipes recipes = [] {
        ArtworkRecipes r;
        ScreenArt::addTo(r);
        ButtonArt::addTo(r);
        PanelArt::addTo(r);
        OptionArt::addTo(r);
        TileArt::addTo(r);
        TreeArt::addTo(r);
        return r;
    }();
    return recipes;
}

} // namespace artwork
