#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Finds the image names that client code spells out: the first string literal passed to
// CommonUtil::getImageName(...) or ui::Image::named(...).
struct ImageNameUse {
    QString name;   // as written, with or without ".png"
    QString file;
    int line = 0;
};

class ImageNameScanner {
public:
    static QList<ImageNameUse> scanText(const QString& text, const QString& file);
    // C++ sources (.h, .cpp) under root/<folder> for each folder that exists.
    static QList<ImageNameUse> scanTree(const QString& root, const QStringList& folders);
};
