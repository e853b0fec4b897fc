#include "platform/ui/HtmlMarkup.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringList>
#include <cmath>
#include <optional>
#include <vector>

namespace ui {

namespace {

constexpr double kBrowserBodyMargin = 8;
constexpr double kBrowserFontSize = 16;
constexpr auto kOptions = QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption;

// A browser's default style for h1 to h6: font size and vertical margins, in ems.
constexpr double kHeadingSizes[] = {2, 1.5, 1.17, 1, 0.83, 0.67};
constexpr double kHeadingMargins[] = {0.67, 0.83, 1, 1.33, 1.67, 2.33};
constexpr double kSmallTextSize = 0.83;

const QRegularExpression& styleBlocks()
{
    static const QRegularExpression re(QStringLiteral("<style\\b[^>]*>.*?</style\\s*>"), kOptions);
    return re;
}

const QRegularExpression& cssRules()
{
    static const QRegularExpression re(QStringLiteral("([^{}]*)\\{([^}]*)\\}"), kOptions);
    return re;
}

// Applies `fn` to the text of every style block, leaving the rest of the page as it is.
template <typename Fn>
QString rewriteStyleBlocks(const QString& html, Fn fn)
{
    QString result;
    qsizetype done = 0;
    auto it = styleBlocks().globalMatch(html);
    while (it.hasNext()) {
        const auto m = it.next();
        result += html.mid(done, m.capturedStart() - done) + fn(m.captured(0));
        done = m.capturedEnd();
    }
    return result + html.mid(done);
}

// Applies `fn(selector, declarations)` to every rule of a style block; it returns the new rule.
template <typename Fn>
QString rewriteRules(const QString& block, Fn fn)
{
    QString result;
    qsizetype done = 0;
    auto it = cssRules().globalMatch(block);
    while (it.hasNext()) {
        const auto m = it.next();
        result += block.mid(done, m.capturedStart() - done) + fn(m.captured(1), m.captured(2));
        done = m.capturedEnd();
    }
    return result + block.mid(done);
}

// What is worked out from one style block, kept by the block's text. A screen writes the same
// few style blocks into every page it shows (one per kind of page), so each is read once, not
// once per page. Per thread, as documents are made on the main thread only.
template <typename Value, typename Fn>
Value remembered(QHash<QString, Value>& cache, const QString& block, Fn fn)
{
    constexpr qsizetype kLimit = 64;
    if (const auto it = cache.constFind(block); it != cache.cend())
        return *it;
    if (cache.size() >= kLimit)
        cache.clear();
    return *cache.insert(block, fn(block));
}

// The last value the declarations give `property`, as written. Read by hand: it runs for
// every tag of every page, and a pattern per property would be compiled on each call.
QString declared(const QString& declarations, const QString& property)
{
    QString value;
    for (const QStringView declaration : QStringView(declarations).split(QLatin1Char(';'))) {
        QStringView rest = declaration.trimmed();
        if (!rest.startsWith(property, Qt::CaseInsensitive))
            continue;
        rest = rest.mid(property.size()).trimmed();
        if (rest.startsWith(QLatin1Char(':')))
            value = rest.mid(1).trimmed().toString();
    }
    return value;
}

// A CSS length in pixels; `em` and `%` are taken of `base`, and a bare number as pixels.
std::optional<double> pixels(const QString& value, double base)
{
    static const QRegularExpression re(QStringLiteral("^(\\d*\\.?\\d+)\\s*(px|em|%|pt)?(?:\\s*!important)?$"), kOptions);
    const auto m = re.match(value.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const double number = m.captured(1).toDouble();
    const QString unit = m.captured(2).toLower();
    if (unit == QLatin1String("em"))
        return number * base;
    if (unit == QLatin1String("%"))
        return number / 100 * base;
    if (unit == QLatin1String("pt"))
        return number * 4 / 3;
    return number;
}

// The declarations with every `em` length (and a font size's percentage) turned into pixels:
// a font size's are the parent's font size, every other length's the element's own.
QString resolvedEms(const QString& declarations, double parentSize, double ownSize)
{
    static const QRegularExpression em(QStringLiteral("(\\d*\\.?\\d+)em\\b"), kOptions);
    static const QRegularExpression fontPercent(QStringLiteral("(\\d*\\.?\\d+)%"), kOptions);
    // Most declarations have nothing to resolve; they are kept as written.
    if (!declarations.contains(QLatin1String("em"), Qt::CaseInsensitive) && !declarations.contains(QLatin1Char('%')))
        return declarations;
    QStringList result;
    for (const QString& declaration : declarations.split(QLatin1Char(';'))) {
        const bool isFontSize = declaration.trimmed().startsWith(QLatin1String("font-size"), Qt::CaseInsensitive);
        const double base = isFontSize ? parentSize : ownSize;
        QString text;
        qsizetype done = 0;
        auto it = (isFontSize && declaration.contains(QLatin1Char('%')) ? fontPercent : em).globalMatch(declaration);
        const double unit = isFontSize && declaration.contains(QLatin1Char('%')) ? base / 100 : base;
        while (it.hasNext()) {
            const auto m = it.next();
            const double px = m.captured(1).toDouble() * unit;
            // Qt's style sheets take font sizes in whole pixels only.
            text += declaration.mid(done, m.capturedStart() - done) +
                    (isFontSize ? QString::number(std::lround(px)) : QString::number(px, 'f', 2)) + QStringLiteral("px");
            done = m.capturedEnd();
        }
        result << text + declaration.mid(done);
    }
    return result.join(QLatin1Char(';'));
}

// Whether the text has an "h" followed by a level digit, the least a heading's name needs; a
// cheap test that spares the patterns on the many pages without headings.
bool mayNameHeading(QStringView text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if ((text[i] == QLatin1Char('h') || text[i] == QLatin1Char('H')) && text[i + 1] >= QLatin1Char('1') &&
            text[i + 1] <= QLatin1Char('6'))
            return true;
    }
    return false;
}

int headingLevel(const QString& tagName)
{
    if (tagName.size() != 2 || (tagName[0] != QLatin1Char('h') && tagName[0] != QLatin1Char('H')))
        return 0;
    const int level = tagName[1].unicode() - '0';
    return level >= 1 && level <= 6 ? level : 0;
}

bool isVoidElement(const QString& name)
{
    static const QStringList names{"area", "base", "br", "col", "hr", "img", "input", "link", "meta", "source", "wbr"};
    return names.contains(name);
}

double bodyFontSize(const QString& html)
{
    static const QRegularExpression bodyRule(QStringLiteral("(?:^|[\\s},>])body\\s*\\{([^}]*)\\}"), kOptions);
    thread_local QHash<QString, std::optional<double>> sizes;
    double size = kBrowserFontSize;
    auto blocks = styleBlocks().globalMatch(html);
    while (blocks.hasNext()) {
        const auto given = remembered(sizes, blocks.next().captured(0), [&](const QString& block) {
            std::optional<double> last;
            auto rules = bodyRule.globalMatch(block);
            while (rules.hasNext()) {
                if (const auto px = pixels(declared(rules.next().captured(1), QStringLiteral("font-size")), kBrowserFontSize))
                    last = px;
            }
            return last;
        });
        size = given.value_or(size);
    }
    return size;
}

// The declarations the page's style blocks give each heading level (h1 to h6) by its name.
QHash<int, QString> headingRules(const QString& html)
{
    QHash<int, QString> rules;
    if (!mayNameHeading(html))
        return rules;
    auto blocks = styleBlocks().globalMatch(html);
    while (blocks.hasNext()) {
        auto it = cssRules().globalMatch(blocks.next().captured(0));
        while (it.hasNext()) {
            const auto m = it.next();
            for (const QString& selector : m.captured(1).split(QLatin1Char(','))) {
                if (const int level = headingLevel(selector.trimmed()))
                    rules[level] += QLatin1Char(';') + m.captured(2);
            }
        }
    }
    return rules;
}

// A heading becomes a block with the browser's heading style written out, because
// QTextDocument sizes its own headings and lets no style sheet change that size.
QString headingClass(int level)
{
    return QStringLiteral("qbank-h%1").arg(level);
}

QString headingStyleBlock(const QString& block, double bodySize)
{
    static const QRegularExpression headingSelector(QStringLiteral("(^|[\\s,>+~(])h([1-6])(?![\\w-])"), kOptions);
    thread_local QHash<QString, QString> rewritten;
    return remembered(rewritten, QString::number(bodySize) + QLatin1Char('|') + block, [&](const QString&) {
        return rewriteRules(block, [bodySize](const QString& selector, const QString& declarations) {
            QString renamed = selector;
            if (mayNameHeading(selector))
                renamed.replace(headingSelector, QStringLiteral("\\1.qbank-h\\2"));
            return renamed + QLatin1Char('{') + resolvedEms(declarations, bodySize, bodySize) + QLatin1Char('}');
        });
    });
}

bool isAsciiLetter(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

struct Tag {
    qsizetype start;
    qsizetype end;   // just past the ">"
    bool closing;
    QString name;
    QString rest;    // the attributes, as written
};

// The next tag at or after `from`: "<", an optional "/", a name of ASCII letters and digits
// starting with a letter, then anything up to a ">" outside quotes. A "<" that opens no tag
// (or one whose quote never closes) is passed over. Scanned by hand: it runs for every tag.
std::optional<Tag> nextTag(const QString& html, qsizetype from)
{
    const qsizetype n = html.size();
    for (qsizetype open = html.indexOf(QLatin1Char('<'), from); open >= 0; open = html.indexOf(QLatin1Char('<'), open + 1)) {
        qsizetype i = open + 1;
        const bool closing = i < n && html[i] == QLatin1Char('/');
        if (closing)
            ++i;
        if (i >= n || !isAsciiLetter(html[i]))
            continue;
        const qsizetype nameStart = i;
        while (i < n && (isAsciiLetter(html[i]) || (html[i] >= QLatin1Char('0') && html[i] <= QLatin1Char('9'))))
            ++i;
        const qsizetype restStart = i;
        while (i < n && html[i] != QLatin1Char('>')) {
            if (html[i] != QLatin1Char('"') && html[i] != QLatin1Char('\'')) {
                ++i;
                continue;
            }
            const qsizetype close = html.indexOf(html[i], i + 1);
            i = close < 0 ? n : close + 1;
        }
        if (i >= n)
            continue;
        return Tag{open, i + 1, closing, html.mid(nameStart, restStart - nameStart), html.mid(restStart, i - restStart)};
    }
    return std::nullopt;
}

// When the page's style is one plain block of a single body rule (as the screens write it),
// that rule's declarations, else a null string. The body then carries them as its own style:
// QTextDocument reads a style attribute much faster than a style sheet, and to the one body
// both mean the same.
QString bodyOnlyDeclarations(const QString& styles)
{
    static const QRegularExpression bodyOnly(
        QStringLiteral("^<style>\\s*body\\s*\\{([^{}\"'/<>]*)\\}\\s*</style>$"), QRegularExpression::CaseInsensitiveOption);
    thread_local QHash<QString, QString> found;
    return remembered(found, styles, [](const QString& block) {
        const auto m = bodyOnly.match(block);
        return m.hasMatch() ? m.captured(1) : QString();
    });
}

struct OpenElement {
    QString name;
    double fontSize;
};

class LengthResolver {
public:
    explicit LengthResolver(const QString& html)
        : m_headingRules(headingRules(html))
        , m_open{{QStringLiteral("html"), bodyFontSize(html)}}
    {
    }

    QString startTag(const QString& name, QString attributes)
    {
        static const QRegularExpression styleAttribute(QStringLiteral("\\bstyle\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)')"), kOptions);
        static const QRegularExpression classAttribute(QStringLiteral("\\bclass\\s*="), kOptions);
        const bool selfClosing = attributes.trimmed().endsWith(QLatin1Char('/'));
        if (selfClosing)
            attributes = attributes.left(attributes.lastIndexOf(QLatin1Char('/')));
        const int level = headingLevel(name);
        // Neither a heading nor styled: nothing of it changes (most tags of most pages).
        if (!level && !attributes.contains(QLatin1String("style"), Qt::CaseInsensitive)) {
            if (!selfClosing && !isVoidElement(name))
                m_open.push_back({name, defaultSize(name, m_open.back().fontSize)});
            return QLatin1Char('<') + name + attributes + (selfClosing ? QStringLiteral("/>") : QStringLiteral(">"));
        }
        const auto style = styleAttribute.match(attributes);
        const QString declarations = style.captured(1) + style.captured(2);
        const double parentSize = m_open.back().fontSize;
        const QString own = level ? m_headingRules.value(level) + QLatin1Char(';') + declarations : declarations;
        const double ownSize = pixels(declared(own, QStringLiteral("font-size")), parentSize).value_or(defaultSize(name, parentSize));
        QString resolved = resolvedEms(declarations, parentSize, ownSize);
        if (level)
            resolved = headingDeclarations(level, ownSize, own) + resolved;
        if (style.hasMatch())
            attributes.replace(style.capturedStart(), style.capturedLength(), styleAttributeText(resolved));
        else if (!resolved.isEmpty())
            attributes += QLatin1Char(' ') + styleAttributeText(resolved);
        if (level && !attributes.contains(classAttribute))
            attributes += QStringLiteral(" class=\"%1\"").arg(headingClass(level));
        if (!selfClosing && !isVoidElement(name))
            m_open.push_back({name, ownSize});
        return QLatin1Char('<') + (level ? QStringLiteral("div") : name) + attributes + (selfClosing ? QStringLiteral("/>") : QStringLiteral(">"));
    }

    QString endTag(const QString& name, const QString& rest)
    {
        for (auto i = m_open.size(); i > 1; --i) {
            if (m_open[i - 1].name == name) {
                m_open.resize(i - 1);
                break;
            }
        }
        return QStringLiteral("</") + (headingLevel(name) ? QStringLiteral("div") : name) + rest + QLatin1Char('>');
    }

    double bodySize() const { return m_open.front().fontSize; }

private:
    static double defaultSize(const QString& name, double parentSize)
    {
        if (const int level = headingLevel(name))
            return kHeadingSizes[level - 1] * parentSize;
        if (name == QLatin1String("sub") || name == QLatin1String("sup") || name == QLatin1String("small"))
            return kSmallTextSize * parentSize;
        return parentSize;
    }

    static QString headingDeclarations(int level, double size, const QString& given)
    {
        QString result = QStringLiteral("font-size:%1px;font-weight:bold;").arg(std::lround(size));
        const QString margin = QString::number(kHeadingMargins[level - 1] * size, 'f', 2);
        for (const QString& side : {QStringLiteral("top"), QStringLiteral("bottom")}) {
            if (declared(given, QStringLiteral("margin")).isEmpty() && declared(given, QStringLiteral("margin-") + side).isEmpty())
                result += QStringLiteral("margin-%1:%2px;").arg(side, margin);
        }
        return result;
    }

    static QString styleAttributeText(const QString& declarations)
    {
        const QChar quote = declarations.contains(QLatin1Char('"')) ? QLatin1Char('\'') : QLatin1Char('"');
        return QStringLiteral("style=") + quote + declarations + quote;
    }

    QHash<int, QString> m_headingRules;
    std::vector<OpenElement> m_open;
};

} // namespace

QString HtmlMarkup::adapted(const QString& html)
{
    return withExplicitBody(withoutBodyMargins(withResolvedLengths(withPixelFontSizes(withIdeographicSpacesMarked(withStrayLessThanAsText(html))))));
}

QString HtmlMarkup::withStrayLessThanAsText(const QString& html)
{
    // A browser's tokenizer opens a tag only at "<" followed by a letter, "/", "!" or "?".
    static const QRegularExpression stray(QStringLiteral("<(?![A-Za-z/!?])"));
    QString result = html;
    return result.replace(stray, QStringLiteral("&lt;"));
}

QString HtmlMarkup::withIdeographicSpacesMarked(const QString& html)
{
    QString result = html;
    return result.replace(QChar(0x3000), kIdeographicSpaceMark);
}

QString HtmlMarkup::withPixelFontSizes(const QString& html)
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

QString HtmlMarkup::withResolvedLengths(const QString& html)
{
    LengthResolver resolver(html);
    QString result;
    qsizetype done = 0;
    for (auto tag = nextTag(html, 0); tag; tag = nextTag(html, done)) {
        result += html.mid(done, tag->start - done);
        done = tag->end;
        const QString name = tag->name.toLower();
        if (tag->closing) {
            result += resolver.endTag(name, tag->rest);
            continue;
        }
        result += resolver.startTag(name, tag->rest);
        if (name != QLatin1String("style") && name != QLatin1String("script"))
            continue;
        // Their content is no markup: copy it up to the end tag.
        static const QRegularExpression styleEnd(QStringLiteral("</style\\s*>"), kOptions);
        static const QRegularExpression scriptEnd(QStringLiteral("</script\\s*>"), kOptions);
        const auto close = (name == QLatin1String("style") ? styleEnd : scriptEnd).match(html, done);
        const qsizetype stop = close.hasMatch() ? close.capturedStart() : html.size();
        const QString content = html.mid(done, stop - done);
        result += name == QLatin1String("style") ? headingStyleBlock(content, resolver.bodySize()) : content;
        done = stop;
    }
    return result + html.mid(done);
}

QString HtmlMarkup::withoutBodyMargins(const QString& html)
{
    // The body margin becomes the document margin (see bodyMargin); left in the rule as well,
    // QTextDocument would indent the text by it a second time.
    static const QRegularExpression bodySelector(QStringLiteral("(?:^|[\\s,>])body\\s*$"), kOptions);
    static const QRegularExpression margin(QStringLiteral("(^|;)\\s*margin\\s*:[^;]*"), kOptions);
    thread_local QHash<QString, QString> rewritten;
    return rewriteStyleBlocks(html, [](const QString& styleBlock) {
        return remembered(rewritten, styleBlock, [](const QString& block) {
            return rewriteRules(block, [](const QString& selector, QString declarations) {
                if (selector.contains(bodySelector))
                    declarations.replace(margin, QStringLiteral("\\1"));
                return selector + QLatin1Char('{') + declarations + QLatin1Char('}');
            });
        });
    });
}

QString HtmlMarkup::withExplicitBody(const QString& html)
{
    static const QRegularExpression body(QStringLiteral("<body\\b"), kOptions);
    if (html.contains(QLatin1String("<body"), Qt::CaseInsensitive) && html.contains(body))
        return html;
    // QTextDocument applies body rules only to a written <body>, and styles only from the head.
    QString styles;
    QString content;
    qsizetype done = 0;
    auto it = styleBlocks().globalMatch(html);
    while (it.hasNext()) {
        const auto m = it.next();
        styles += m.captured(0);
        content += QStringView(html).mid(done, m.capturedStart() - done);
        done = m.capturedEnd();
    }
    content += QStringView(html).mid(done);
    const QString declarations = bodyOnlyDeclarations(styles);
    const bool documentTags = content.contains(QLatin1String("<html"), Qt::CaseInsensitive) ||
                              content.contains(QLatin1String("<head"), Qt::CaseInsensitive);
    if (!declarations.isNull() && !documentTags)
        return QStringLiteral("<body style=\"%1\">%2</body>").arg(declarations, content);
    return QStringLiteral("<html><head>%1</head><body>%2</body></html>").arg(styles, content);
}

double HtmlMarkup::bodyMargin(const QString& html)
{
    static const QRegularExpression bodyRule(QStringLiteral("(?:^|[\\s},>])body\\s*\\{([^}]*)\\}"), kOptions);
    static const QRegularExpression margin(
        QStringLiteral("(?:^|;)\\s*margin\\s*:\\s*(\\d*\\.?\\d+)(?:px)?\\s*(?:;|$)"), kOptions);
    thread_local QHash<QString, std::optional<double>> margins;
    double result = kBrowserBodyMargin;
    auto blocks = styleBlocks().globalMatch(html);
    while (blocks.hasNext()) {
        const auto given = remembered(margins, blocks.next().captured(0), [](const QString& block) {
            std::optional<double> last;
            auto rules = bodyRule.globalMatch(block);
            while (rules.hasNext()) {
                const auto m = margin.match(rules.next().captured(1));
                if (m.hasMatch())
                    last = m.captured(1).toDouble();
            }
            return last;
        });
        result = given.value_or(result);
    }
    return result;
}

} // namespace ui
