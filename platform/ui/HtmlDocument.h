#pragma once

#include <QHash>
#include <QSet>
#include <QImage>
#include <QString>
#include <QTextDocument>
#include <QUrl>
#include <functional>
#include <memory>
#include <vector>

class QFileInfo;
class QPixmap;
class QTextTable;
class QTextTableCell;

namespace core {
class UrlConnection;
}

namespace ui {

// The document a web view lays out and draws: HTML as the screens compose it, rewritten by
// HtmlMarkup into what QTextDocument lays out as a phone's browser would, with every file it
// reads kept inside one folder.
//
// After parsing, the page is mended where QTextDocument's model differs from a browser's: a
// line break that ends a block leaves no empty line after it, an ideographic space is a blank
// one ideograph wide that neither collapses nor lets the line break inside "（　）", an
// image wider than the text shrinks to it (drawn smoothly, so that its thin lines stay),
// keeping its aspect ratio (in a table cell, to the cell's share of the table) and room for
// what may not start a line after it ("，"), and a figure that starts a line leaves the line before it at the height of its words. Local images and style sheets load only from files inside the
// resource folder; anything else there (another folder, "../") loads as an empty image and
// is logged, since QTextDocument would otherwise read a refused image straight from disk. An
// image written into the page as a data: URL is decoded in place, up to a bounded size. An
// http(s) image is fetched with core::UrlConnection; a light placeholder of the size the markup
// gives stands in until it arrives, and for good when it fails.
class HtmlDocument : public QTextDocument {
public:
    explicit HtmlDocument(const QString& resourceFolder);
    ~HtmlDocument() override;

    // Replaces the content, laid out at `width` points (unwrapped when 0 or less); `baseUrl`
    // resolves relative references (a folder given as a file URL without its trailing slash
    // still counts as the folder).
    void setPage(const QString& html, const QUrl& baseUrl, double width = -1);
    // Lays the page out at `width` points; returns its height.
    double layOut(double width);
    // The text a reader sees (ideographic spaces included).
    QString text() const;

    // Remote images still on their way.
    int pendingImageCount() const { return int(m_fetches.size()); }
    // Called from the run loop each time a remote image has arrived or failed; layOut then
    // gives the page its new height.
    std::function<void()> onImageSettled;

    // Whether a local file lies inside the folder (after resolving links and "..").
    static bool isInside(const QString& path, const QString& folder);

protected:
    QVariant loadResource(int type, const QUrl& name) override;

private:
    struct PageImage {
        int position;
        QString name;
        double width;    // as the markup gives it, 0 when it gives none
        double height;
    };

    // Makes the layout, measuring on m_measuringDevice, before anything is laid out.
    void ensureLayout();
    // Whether the width changed (and the page was laid out anew).
    bool setLayoutWidth(double width);
    void dropBlockEndingBreaks();
    void fillIdeographicSpaces();
    void collectImages();
    void fitImages();
    // Fits the images anew after a change of width or size, with the breaks before figures.
    void refitImages();
    void breakBeforeWrappedFigures();
    void removeFigureBreaks();
    std::vector<int> figureBreaks() const;
    void shiftImages(int from, int by);
    QSizeF fittedSize(const PageImage& image) const;
    double textWidthAt(int position) const;
    double widthKeptAfter(int position) const;
    double cellWidth(const QTextTable& table, const QTextTableCell& cell) const;
    QVariant loadLocal(int type, const QUrl& name, const QString& path);
    static QVariant dataImage(const QUrl& url);
    const QPixmap* cachedImage(const QFileInfo& file) const;
    void cacheImage(const QFileInfo& file, const QPixmap& pixmap) const;
    void fetchImage(const QUrl& url);
    void settleImage(const QUrl& url, const QImage& image);

    QString m_folder;
    QImage m_measuringDevice;
    bool m_layoutReady = false;
    double m_width = -1;   // the width the page is laid out at (-1: unwrapped)
    std::vector<PageImage> m_images;
    QHash<QUrl, std::shared_ptr<core::UrlConnection>> m_fetches;
    QSet<QUrl> m_failedImages;
};

} // namespace ui
