#include "platform/ui/HtmlDocument.h"

#include "platform/core/Log.h"
#include "platform/core/UrlConnection.h"
#include "platform/ui/Font.h"
#include "platform/ui/HtmlImageHandler.h"
#include "platform/ui/HtmlMarkup.h"
#include "platform/ui/WebPageLoader.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QImageReader>
#include <QPixmap>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextCursor>
#include <QTextFragment>
#include <QTextTable>
#include <cmath>
#include <optional>

namespace ui {

namespace {

constexpr int kBrowserFontSize = 16;
// Marks the blanks that stand for ideographic spaces.
constexpr int kIdeographicSpaceProperty = QTextFormat::UserProperty + 1;
// Drawn in no colour where an ideographic space stands: an ideograph lays out exactly one
// ideograph wide and follows the line-breaking rules of one, which the space itself (a
// breaking, collapsible white space to Qt) does not.
const QString kIdeographicBlank = QStringLiteral("口");
// Marks the line breaks put in before figures that start a line (see breakBeforeWrappedFigures).
constexpr int kFigureBreakProperty = QTextFormat::UserProperty + 2;

// What stands in for a refused or missing image: nothing visible, at the size the markup asks.
QImage emptyImage()
{
    QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// What stands in for a remote image until it arrives, or when it cannot.
QImage placeholderImage()
{
    QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(0xEE, 0xEE, 0xEE));
    return image;
}

// The size of an image resource: a pixmap (a local file) or an image (a remote one).
QSizeF imageSize(const QVariant& resource)
{
    if (resource.userType() == QMetaType::QPixmap)
        return QSizeF(resource.value<QPixmap>().size());
    const QImage image = resource.value<QImage>();
    return image.isNull() ? QSizeF(0, 0) : QSizeF(image.size());
}

bool isWebAddress(const QUrl& url)
{
    return url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
}

// What a figure written into the page itself may cost: its file, and its picture once decoded
// (4 bytes a pixel). A question's figure is a few kilobytes; these leave ample room and keep a
// page that embeds something huge from stalling the screen or holding a large block of memory.
constexpr qsizetype kMaxDataImageBytes = 1024 * 1024;
constexpr qint64 kMaxDataImagePixels = 2048 * 2048;

// The bytes a data: URL carries ("data:[type][;base64],payload"), or nullopt when it is not
// one. The payload is percent-decoded first, as a browser does, then read as base64 when the
// header says so (whitespace and unknown characters skipped).
std::optional<QByteArray> dataUrlBytes(const QUrl& url)
{
    const QByteArray encoded = url.toEncoded();
    const qsizetype comma = encoded.indexOf(',');
    if (!encoded.startsWith("data:") || comma < 0)
        return std::nullopt;
    const QByteArray header = encoded.mid(5, comma - 5).trimmed().toLower();
    const QByteArray payload = QByteArray::fromPercentEncoding(encoded.mid(comma + 1));
    return header.endsWith(";base64") ? QByteArray::fromBase64(payload) : payload;
}

// Calls `fn(position, format)` for every image in the document, in order.
template <typename Fn>
void forEachImage(const QTextDocument& document, Fn fn)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat())
                continue;
            for (int i = 0; i < fragment.length(); ++i)
                fn(fragment.position() + i, fragment.charFormat().toImageFormat());
        }
    }
}

} // namespace

HtmlDocument::HtmlDocument(const QString& resourceFolder)
    : m_folder(resourceFolder)
    , m_measuringDevice(1, 1, QImage::Format_ARGB32_Premultiplied)
{
    // QTextDocument takes its pixel lengths (images, margins) as 96-dpi pixels and scales them
    // to the layout device; at 96 dpi one pixel of the page is one point of the view. Fonts
    // are sized in pixels, so they measure and draw alike on any device.
    m_measuringDevice.setDotsPerMeterX(3780);
    m_measuringDevice.setDotsPerMeterY(3780);
    // The layout is made only once the page's settings are in (see ensureLayout): each of
    // them would otherwise lay the empty page out again.
    QFont font = Font::systemFont(kBrowserFontSize).qfont();
    font.setPixelSize(kBrowserFontSize);
    setDefaultFont(font);
    setUndoRedoEnabled(false);
}

HtmlDocument::~HtmlDocument()
{
    // The fetches call back into this document; cancelled, they call nobody.
    for (const auto& connection : std::as_const(m_fetches))
        connection->cancel();
    // The layout outlives this class's members while the base class is torn down.
    if (m_layoutReady)
        documentLayout()->setPaintDevice(nullptr);
}

void HtmlDocument::ensureLayout()
{
    if (m_layoutReady)
        return;
    m_layoutReady = true;
    documentLayout()->setPaintDevice(&m_measuringDevice);
    new HtmlImageHandler(*this);   // a child of the document
}

void HtmlDocument::setPage(const QString& html, const QUrl& baseUrl, double width)
{
    QUrl base = baseUrl;
    if (base.isLocalFile() && !base.path().endsWith(QLatin1Char('/')) && QFileInfo(base.toLocalFile()).isDir())
        base.setPath(base.path() + QLatin1Char('/'));
    setBaseUrl(base);
    // While the page has no size its layout lays nothing out: neither the empty page (as the
    // layout is made, or as setHtml clears it) nor the page between parsing and mending. It
    // is laid out once, at its width, when the width is set at the end.
    setPageSize(QSizeF(0, 0));
    ensureLayout();
    m_width = width > 0 ? width : -1;
    QTextCursor edit(this);
    edit.beginEditBlock();
    setHtml(HtmlMarkup::adapted(html));
    // After parsing: the margin goes on the root frame that setHtml made, rather than on one
    // made only to be thrown away by it.
    setDocumentMargin(HtmlMarkup::bodyMargin(html));
    dropBlockEndingBreaks();
    fillIdeographicSpaces();
    collectImages();
    edit.endEditBlock();
    // Outside the edit: a table inside it does not know its cells yet. The page still has no
    // size, so the fitting lays nothing out.
    fitImages();
    setTextWidth(m_width);
    breakBeforeWrappedFigures();
}

double HtmlDocument::layOut(double width)
{
    ensureLayout();
    if (setLayoutWidth(width))
        refitImages();
    return size().height();
}

bool HtmlDocument::setLayoutWidth(double width)
{
    const double textWidth = width > 0 ? width : -1;
    // QTextDocument lays the whole page out again on every setTextWidth, even to the same width.
    if (textWidth == this->textWidth())
        return false;
    // The breaks before figures hold for the old width only.
    removeFigureBreaks();
    m_width = textWidth;
    setTextWidth(textWidth);
    return true;
}

QString HtmlDocument::text() const
{
    // toPlainText keeps every position, so the blanks can be put back in place.
    QString result = toPlainText();
    for (QTextBlock block = begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().boolProperty(kIdeographicSpaceProperty))
                result.replace(fragment.position(), fragment.length(), QString(fragment.length(), QChar(0x3000)));
        }
    }
    const std::vector<int> breaks = figureBreaks();
    for (auto it = breaks.rbegin(); it != breaks.rend(); ++it)
        result.remove(*it, 1);
    return result;
}

void HtmlDocument::dropBlockEndingBreaks()
{
    // A browser ends the line at a <br>, but opens no new one when the block ends right after
    // it; QTextDocument would show an empty line there.
    std::vector<int> breaks;
    for (QTextBlock block = begin(); block.isValid(); block = block.next()) {
        if (block.text().endsWith(QChar::LineSeparator))
            breaks.push_back(block.position() + block.length() - 2);
    }
    for (auto it = breaks.rbegin(); it != breaks.rend(); ++it) {
        QTextCursor cursor(this);
        cursor.setPosition(*it);
        cursor.deleteChar();
    }
}

void HtmlDocument::fillIdeographicSpaces()
{
    // Most pages have none; the search would walk the whole page for nothing.
    if (!toRawText().contains(HtmlMarkup::kIdeographicSpaceMark))
        return;
    for (QTextCursor cursor = find(QString(HtmlMarkup::kIdeographicSpaceMark)); !cursor.isNull();
         cursor = find(QString(HtmlMarkup::kIdeographicSpaceMark), cursor)) {
        QTextCharFormat format = cursor.charFormat();
        const QBrush brush = format.foreground();
        const QColor ink = brush.style() == Qt::NoBrush ? QColor(Qt::black) : brush.color();
        format.setForeground(QColor(Qt::transparent));
        // The underline of a fill-in blank stays in the text's colour.
        if (format.fontUnderline() && !format.underlineColor().isValid())
            format.setUnderlineColor(ink);
        format.setProperty(kIdeographicSpaceProperty, true);
        cursor.insertText(kIdeographicBlank, format);
    }
}

void HtmlDocument::collectImages()
{
    m_images.clear();
    forEachImage(*this, [this](int position, const QTextImageFormat& format) {
        m_images.push_back({position, format.name(), format.hasProperty(QTextFormat::ImageWidth) ? format.width() : 0,
                            format.hasProperty(QTextFormat::ImageHeight) ? format.height() : 0});
        resource(ImageResource, QUrl(format.name()));   // starts remote fetches at once
    });
}

void HtmlDocument::fitImages()
{
    for (const PageImage& image : m_images) {
        const QSizeF size = fittedSize(image);
        QTextCursor cursor(this);
        cursor.setPosition(image.position);
        cursor.setPosition(image.position + 1, QTextCursor::KeepAnchor);
        QTextImageFormat format = cursor.charFormat().toImageFormat();
        if (format.hasProperty(QTextFormat::ImageWidth) && format.hasProperty(QTextFormat::ImageHeight) &&
            format.width() == size.width() && format.height() == size.height())
            continue;   // an unchanged format keeps the layout
        format.setWidth(size.width());
        format.setHeight(size.height());
        cursor.setCharFormat(format);
    }
}

void HtmlDocument::refitImages()
{
    removeFigureBreaks();
    fitImages();
    breakBeforeWrappedFigures();
}

void HtmlDocument::breakBeforeWrappedFigures()
{
    // A figure too wide for the rest of its line goes to the next line, but QTextDocument has
    // by then made the line it left as tall as the figure: a blank band above it. A line
    // break before the figure ends that line where it ends anyway, at the height of its words.
    if (m_width <= 0 || m_images.empty())
        return;
    size();   // the whole page laid out
    std::vector<int> positions;
    for (const PageImage& image : m_images) {
        const QTextBlock block = findBlock(image.position);
        const int offset = image.position - block.position();
        const QTextLine line = block.layout()->lineForTextPosition(offset);
        if (line.isValid() && line.lineNumber() > 0 && line.textStart() == offset &&
            block.text().at(offset - 1) != QChar::LineSeparator)
            positions.push_back(image.position);
    }
    QTextCursor edit(this);
    edit.beginEditBlock();
    for (auto it = positions.rbegin(); it != positions.rend(); ++it) {
        QTextCursor cursor(this);
        cursor.setPosition(*it);
        QTextCharFormat format = cursor.charFormat();
        if (format.isImageFormat())
            format = QTextCharFormat();
        format.setProperty(kFigureBreakProperty, true);
        cursor.insertText(QString(QChar::LineSeparator), format);
        shiftImages(*it, 1);
    }
    edit.endEditBlock();
}

void HtmlDocument::removeFigureBreaks()
{
    const std::vector<int> breaks = figureBreaks();
    if (breaks.empty())
        return;
    QTextCursor edit(this);
    edit.beginEditBlock();
    for (auto it = breaks.rbegin(); it != breaks.rend(); ++it) {
        QTextCursor cursor(this);
        cursor.setPosition(*it);
        cursor.deleteChar();
        shiftImages(*it, -1);
    }
    edit.endEditBlock();
}

std::vector<int> HtmlDocument::figureBreaks() const
{
    std::vector<int> breaks;
    for (QTextBlock block = begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().boolProperty(kFigureBreakProperty)) {
                for (int i = 0; i < it.fragment().length(); ++i)
                    breaks.push_back(it.fragment().position() + i);
            }
        }
    }
    return breaks;
}

void HtmlDocument::shiftImages(int from, int by)
{
    for (PageImage& image : m_images) {
        if (image.position >= from)
            image.position += by;
    }
}

QSizeF HtmlDocument::fittedSize(const PageImage& image) const
{
    // A placeholder has no size of its own: it shows only at the size the markup gives.
    const QUrl url = baseUrl().resolved(QUrl(image.name));
    const bool placeholder = m_fetches.contains(url) || m_failedImages.contains(url);
    const QSizeF natural = placeholder ? QSizeF(0, 0) : imageSize(resource(ImageResource, url));
    QSizeF size(image.width, image.height);
    if (image.width <= 0 && image.height <= 0)
        size = natural;
    else if (image.height <= 0)
        size.setHeight(natural.width() > 0 ? image.width * natural.height() / natural.width() : 0);
    else if (image.width <= 0)
        size.setWidth(natural.height() > 0 ? image.height * natural.width() / natural.height() : 0);
    const double available = textWidthAt(image.position) - widthKeptAfter(image.position);
    if (available > 0 && size.width() > available)
        size = QSizeF(available, size.height() * available / size.width());
    return size;
}

double HtmlDocument::textWidthAt(int position) const
{
    if (m_width <= 0)
        return 0;
    const QTextBlock block = findBlock(position);
    const QTextBlockFormat format = block.blockFormat();
    QTextCursor cursor(block);
    cursor.setPosition(position);
    const QTextTable* table = cursor.currentTable();
    const double width = table ? cellWidth(*table, table->cellAt(position)) : m_width - 2 * documentMargin();
    return width - format.leftMargin() - format.rightMargin() - format.indent() * indentWidth();
}

double HtmlDocument::widthKeptAfter(int position) const
{
    // What follows an image up to the next place a line may break ("，" or "。" may not start
    // a line) stays on the image's line; an image as wide as the line would push it alone to
    // the next one, so the image leaves it room. A long run (a word glued to the image) is
    // left to wrap as it would.
    const QTextBlock block = findBlock(position);
    const QString text = block.text();
    const int next = position - block.position() + 1;
    if (next >= text.size())
        return 0;
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, text);
    breaks.setPosition(next);
    if (breaks.isAtBoundary())
        return 0;
    // Blanks at the end of a line take no room.
    qsizetype end = breaks.toNextBoundary();
    while (end > next && text.at(end - 1).isSpace())
        --end;
    QTextCharFormat format;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        if (it.fragment().contains(position + 1))
            format = it.fragment().charFormat();
    }
    const QFont font = format.font().resolve(defaultFont());
    const double width = std::ceil(QFontMetricsF(font, &m_measuringDevice).horizontalAdvance(text.mid(next, end - next)));
    return width < textWidthAt(position) / 4 ? width : 0;
}

double HtmlDocument::cellWidth(const QTextTable& table, const QTextTableCell& cell) const
{
    // The width the table stands in: the page's, or that of the cell holding it.
    const auto* outer = qobject_cast<const QTextTable*>(table.parentFrame());
    const double around = outer ? cellWidth(*outer, outer->cellAt(table.firstPosition())) : m_width - 2 * documentMargin();
    const QTextTableFormat format = table.format();
    double width = around - format.leftMargin() - format.rightMargin();
    if (format.width().type() == QTextLength::FixedLength)
        width = format.width().rawValue();
    else if (format.width().type() == QTextLength::PercentageLength)
        width = width * format.width().rawValue() / 100;
    // Borders, spacing and padding round every column, then the cell's share of what is
    // left: a column with a width of its own takes it, the others share evenly, so a figure
    // never takes the room of the words beside it.
    const int columns = table.columns();
    width -= (columns + 1) * (format.cellSpacing() + 2 * format.border()) + columns * 2 * format.cellPadding();
    const QList<QTextLength> constraints = format.columnWidthConstraints();
    const QTextLength own = cell.column() < constraints.size() ? constraints[cell.column()] : QTextLength();
    if (own.type() == QTextLength::FixedLength)
        return own.rawValue();
    if (own.type() == QTextLength::PercentageLength)
        return width * own.rawValue() / 100;
    return width / columns * cell.columnSpan();
}

bool HtmlDocument::isInside(const QString& path, const QString& folder)
{
    const QString file = QFileInfo(path).canonicalFilePath();
    const QString root = QFileInfo(folder).canonicalFilePath();
    if (file.isEmpty() || root.isEmpty())
        return false;
    return file.startsWith(root + QLatin1Char('/'));
}

QVariant HtmlDocument::loadResource(int type, const QUrl& name)
{
    if (type != ImageResource && type != StyleSheetResource)
        return {};
    const QUrl url = name.isRelative() ? QUrl::fromLocalFile(m_folder + QLatin1Char('/')).resolved(name) : name;
    QVariant value;
    if (type == ImageResource && isWebAddress(url)) {
        fetchImage(url);
        value = placeholderImage();
    } else if (type == ImageResource && url.scheme() == QLatin1String("data")) {
        value = dataImage(url);
    } else {
        value = loadLocal(type, name, url.isLocalFile() ? url.toLocalFile() : QString());
    }
    addResource(type, name, value);
    return value;
}

QVariant HtmlDocument::loadLocal(int type, const QUrl& name, const QString& path)
{
    const QVariant nothing = type == ImageResource ? QVariant(emptyImage()) : QVariant(QString());
    const QFileInfo info(path);
    if (!path.isEmpty() && !info.exists()) {
        core::log(QStringLiteral("web"), QStringLiteral("missing %1").arg(name.toString()));
        return nothing;
    }
    if (type == ImageResource) {
        if (const QPixmap* pixmap = cachedImage(info))
            return *pixmap;
    }
    if (path.isEmpty() || !isInside(path, m_folder)) {
        core::log(QStringLiteral("web"), QStringLiteral("refused %1: not inside the resource folder").arg(name.toString()));
        return nothing;
    }
    if (type == ImageResource) {
        const QImage image(path);
        if (image.isNull())
            return emptyImage();
        // As a pixmap, which is what the page draws and measures: an image would be turned
        // into one by every document that shows it.
        const QPixmap pixmap = QPixmap::fromImage(image);
        cacheImage(info, pixmap);
        return pixmap;
    }
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// A figure written into the page as a data: URL: decoded in place, within the bounds above.
// Refused or unreadable, it shows nothing at the size the markup asks, as a missing file does.
QVariant HtmlDocument::dataImage(const QUrl& url)
{
    const QString shown = url.toString().left(40) + QStringLiteral("…");
    const std::optional<QByteArray> bytes = dataUrlBytes(url);
    if (!bytes) {
        core::log(QStringLiteral("web"), QStringLiteral("refused %1: not a data URL").arg(shown));
        return emptyImage();
    }
    if (bytes->size() > kMaxDataImageBytes) {
        core::log(QStringLiteral("web"), QStringLiteral("refused %1: over %2 bytes").arg(shown).arg(kMaxDataImageBytes));
        return emptyImage();
    }
    QBuffer buffer;
    buffer.setData(*bytes);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (qint64(size.width()) * size.height() > kMaxDataImagePixels) {
        core::log(QStringLiteral("web"), QStringLiteral("refused %1: over %2 pixels").arg(shown).arg(kMaxDataImagePixels));
        return emptyImage();
    }
    const QImage image = reader.read();
    if (image.isNull()) {
        core::log(QStringLiteral("web"), QStringLiteral("no image in %1").arg(shown));
        return emptyImage();
    }
    return QPixmap::fromImage(image);
}

namespace {

// Decoded local images, shared by every document: each question and option caption is a
// document of its own, and most show the same badge. An entry holds only for the folder that
// let it in, and only while the file keeps its size and modification time.
struct CachedImage {
    QString folder;
    QDateTime modified;
    qint64 size;
    QPixmap pixmap;
};

constexpr int kImageCacheLimit = 64;

QHash<QString, CachedImage>& imageCache()
{
    // Never destroyed: its pixmaps may not outlive the application, which goes first.
    static auto* cache = new QHash<QString, CachedImage>;
    return *cache;
}

} // namespace

const QPixmap* HtmlDocument::cachedImage(const QFileInfo& file) const
{
    const auto it = imageCache().constFind(file.filePath());
    if (it == imageCache().cend() || it->folder != m_folder || it->modified != file.lastModified() || it->size != file.size())
        return nullptr;
    return &it->pixmap;
}

void HtmlDocument::cacheImage(const QFileInfo& file, const QPixmap& pixmap) const
{
    auto& cache = imageCache();
    if (cache.size() >= kImageCacheLimit)
        cache.clear();
    cache.insert(file.filePath(), {m_folder, file.lastModified(), file.size(), pixmap});
}

void HtmlDocument::fetchImage(const QUrl& url)
{
    if (m_fetches.contains(url) || m_failedImages.contains(url))
        return;
    auto loader = std::make_shared<WebPageLoader>();
    // `this` outlives the connection's calls: the destructor cancels every fetch.
    loader->onLoaded = [this, url](const QByteArray& body, const core::UrlResponse&) {
        QImage image;
        if (!image.loadFromData(body))
            core::log(QStringLiteral("web"), QStringLiteral("no image at %1").arg(url.toString()));
        settleImage(url, image);
    };
    loader->onFailed = [this, url](const core::UrlError& error) {
        core::log(QStringLiteral("web"), QStringLiteral("cannot fetch %1: %2").arg(url.toString(), error.message));
        settleImage(url, QImage());
    };
    core::UrlRequest request;
    request.url = url;
    m_fetches.insert(url, core::UrlConnection::create(request, loader));
}

void HtmlDocument::settleImage(const QUrl& url, const QImage& image)
{
    m_fetches.remove(url);
    if (image.isNull())
        m_failedImages.insert(url);
    else
        addResource(ImageResource, url, image);
    // The image's own size now counts where the markup gives none.
    refitImages();
    if (onImageSettled)
        onImageSettled();
}

} // namespace ui
