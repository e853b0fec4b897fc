#pragma once

#include <QHash>
#include <QString>

#include <functional>

class QPainter;
class QRectF;

namespace artwork {

// Maps image names to the code that paints them. Each image family adds its recipes; the
// painter looks them up by the table's names, so a name without a recipe is found at once.
class ArtworkRecipes {
public:
    using Recipe = std::function<void(QPainter&, const QRectF&)>;

    void add(const QString& name, Recipe recipe);
    const Recipe* find(const QString& name) const;
    QStringList names() const;

    // Every family's recipes together.
    static const ArtworkRecipes& all();

private:
    QHash<QString, Recipe> m_recipes;
};

} // namespace artwork
