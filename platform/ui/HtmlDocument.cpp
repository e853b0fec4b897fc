#include "platform/ui/HtmlDocument.h"

#include "platform/core/Log.h"
#include "platform/ui/Font.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cmath>

namespace ui {

namespace {

constexpr double kBrowserBodyMargin = 8;
constexpr int kBrowserFontSize = 16;
constexpr auto kOptions = QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption;

const QRegularExpression& styleBlocks()
{
    static const QRegularExpression re(QStringLiteral("<style\\b[^>]*>.*?</style\\s*>"), kOptions);
    return re;
}

// What stands in for a refused or missing image: nothing visible, at the size the markup asks.
QImage emptyImage()
{
    QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
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
    documentLayout()->setPaintDevice(&m_measuringDevice);
    QFont font = Font::systemFont(kBrowserFontSize).qfont();
    font.setPixelSize(kBrowserFontSize);
    setDefaultFont(font);
    setUndoRedoEnabled(false);
}

HtmlDocument::~HtmlDocument()
{
    // The layout outlives this class's members while the base class is torn down.
    documentLayout()->setPaintDevice(nullptr);
}

void HtmlDocument::setPage(const QString& html, const QUrl& baseUrl)
{
    QUrl base = baseUrl;
    if (base.isLocalFile() && !base.path().endsWith(QLatin1Char('/')) && QFileInfo(base.toLocalFile()).isDir())
        base.setPath(base.path() + QLatin1Char('/'));
    setBaseUrl(base);
    setDocumentMargin(bodyMargin(html));
    setHtml(adapted(html));
}

double HtmlDocument::layOut(double width)
{
    setTextWidth(width > 0 ? width : -1);
    return size().height();
}

QString HtmlDocument::adapted(const QString& html)
{
    return withExplicitBody(withPixelFontSizes(html));
}

QString HtmlDocument::withPixelFontSizes(const QString& html)
{
    // Qt's style sheets take whole pixels only ("20.000000px" is dropped), so sizes are rounded.
    static const QRegularExpression size(
        QStringLiteral("(font-size\\s*:\\s*)(\\d*\\.?\\d+)(?:px)?(?=\\s*(?:[;}\"'!]|$))"), kOptions);
    QString result;
    qsizetype done = 0;
    auto it = size.globalMatch(html);
    while (it.hasNext()) {
        const auto m = it.next();
        result += html.mid(done, m.capturedStart() - done);
        result += m.captured(1) + QString::number(std::lround(m.captured(2).toDouble())) + QStringLiteral("px");
        done = m.capturedEnd();
    }
    return result + html.mid(done);
}

QString HtmlDocument::withExplicitBody(const QString& html)
{
    static const QRegularExpression body(QStringLiteral("<body\\b"), kOptions);
    if (html.contains(body))
        return html;
    // QTextDocument applies body rules only to a written <body>, and styles only from the head.
    QString styles;
    auto it = styleBlocks().globalMatch(html);
    while (it.hasNext())
        styles += it.next().captured(0);
    QString content = html;
    content.remove(styleBlocks());
    return QStringLiteral("<html><head>%1</head><body>%2</body></html>").arg(styles, content);
}

double HtmlDocument::bodyMargin(const QString& html)
{
    static const QRegularExpression bodyRule(QStringLiteral("(?:^|[\\s},>])body\\s*\\{([^}]*)\\}"), kOptions);
    static const QRegularExpression margin(
        QStringLiteral("(?:^|;)\\s*margin\\s*:\\s*(\\d*\\.?\\d+)(?:px)?\\s*(?:;|$)"), kOptions);
    double result = kBrowserBodyMargin;
    auto blocks = styleBlocks().globalMatch(html);
    while (blocks.hasNext()) {
        const QString block = blocks.next().captured(0);
        auto rules = bodyRule.globalMatch(block);
        while (rules.hasNext()) {
            const auto m = margin.match(rules.next().captured(1));
            if (m.hasMatch())
                result = m.captured(1).toDouble();
        }
    }
    return result;
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
    const QString path = url.isLocalFile() ? url.toLocalFile() : QString();
    QVariant value;
    if (!path.isEmpty() && !QFileInfo::exists(path)) {
        core::log(QStringLiteral("web"), QStringLiteral("missing %1").arg(name.toString()));
        value = type == ImageResource ? QVariant(emptyImage()) : QVariant(QString());
    } else if (!path.isEmpty() && isInside(path, m_folder)) {
        if (type == ImageResource) {
            const QImage image(path);
            value = image.isNull() ? emptyImage() : image;
        } else {
            QFile file(path);
            value = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
        }
    } else {
        core::log(QStringLiteral("web"), QStringLiteral("refused %1: not inside the resource folder").arg(name.toString()));
        value = type == ImageResource ? QVariant(emptyImage()) : QVariant(QString());
    }
    addResource(type, name, value);
    return value;
}

} // namespace ui
