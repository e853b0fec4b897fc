// draw-artwork: paints every image of the bundle into a folder, and on request a contact
// sheet of all of them. Runs headless at build time.
#include "resources/artwork/ArtworkPainter.h"
#include "resources/artwork/ContactSheet.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Paints the bundle's images."));
    parser.addHelpOption();
    const QCommandLineOption outOption(QStringLiteral("out"), QStringLiteral("Folder for the PNG files."),
                                       QStringLiteral("DIR"));
    const QCommandLineOption sheetOption(QStringLiteral("contact-sheet"),
                                         QStringLiteral("Also write a contact sheet of every image."),
                                         QStringLiteral("FILE"));
    parser.addOption(outOption);
    parser.addOption(sheetOption);
    parser.process(app);

    if (!parser.isSet(outOption) && !parser.isSet(sheetOption)) {
        err << "draw-artwork: give --out DIR and/or --contact-sheet FILE\n";
        return 2;
    }
    if (parser.isSet(outOption)) {
        artwork::ArtworkPainter painter;
        if (!painter.writeAll(parser.value(outOption))) {
            err << "draw-artwork: " << painter.errorString() << '\n';
            return 1;
        }
    }
    if (parser.isSet(sheetOption)) {
        const QString file = parser.value(sheetOption);
        if (!artwork::ContactSheet::render().save(file, "PNG")) {
            err << "draw-artwork: cannot write " << file << '\n';
            return 1;
        }
    }
    return 0;
}
