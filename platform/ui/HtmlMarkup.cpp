#include "platform/ui/HtmlMarkup.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringList>
#include <charconv>
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

bool isWordCharacter(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
           (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('_');
}

// White space as the patterns' \s takes it: ASCII blanks only.
bool isAsciiSpace(QChar c)
{
    return c == QLatin1Char(' ') || (c >= QLatin1Char('\t') && c <= QLatin1Char('\r'));
}

struct Span {
    qsizetype start;
    qsizetype end;
};

// Whether `c` is the lower-case ASCII letter or sign `lower` in any case, as the patterns
// compare without case (where "s" also matches the long s).
bool matchesIgnoringCase(QChar c, char lower)
{
    const char16_t u = c.unicode();
    if (u == char16_t(lower))
        return true;
    if (lower >= 'a' && lower <= 'z' && u == char16_t(lower - 'a' + 'A'))
        return true;
    return lower == 's' && u == 0x017F;
}

// Whether `word` (lower case) stands at `at`, in any case.
bool hasWordAt(QStringView text, qsizetype at, QLatin1String word)
{
    if (at + word.size() > text.size())
        return false;
    for (qsizetype i = 0; i < word.size(); ++i) {
        if (!matchesIgnoringCase(text[at + i], word.data()[i]))
            return false;
    }
    return true;
}

// The first place at or after `from` where `word` (lower case) stands in any case. Qt's own
// case-blind search folds every character and is many times slower.
qsizetype indexOfWord(QStringView text, QLatin1String word, qsizetype from)
{
    const char first = word.data()[0];
    if (!(first >= 'a' && first <= 'z')) {
        for (qsizetype i = text.indexOf(QLatin1Char(first), from); i >= 0; i = text.indexOf(QLatin1Char(first), i + 1)) {
            if (hasWordAt(text, i, word))
                return i;
        }
        return -1;
    }
    for (qsizetype i = from; i + word.size() <= text.size(); ++i) {
        if (matchesIgnoringCase(text[i], first) && hasWordAt(text, i, word))
            return i;
    }
    return -1;
}

// The first end tag at or after `from` closing `closer` ("</style" or "</script", any case),
// blanks allowed before its ">"; start -1 when none comes.
Span endTagOf(QStringView html, qsizetype from, QLatin1String closer)
{
    for (qsizetype close = indexOfWord(html, closer, from); close >= 0; close = indexOfWord(html, closer, close + 1)) {
        qsizetype i = close + closer.size();
        while (i < html.size() && isAsciiSpace(html[i]))
            ++i;
        if (i < html.size() && html[i] == QLatin1Char('>'))
            return {close, i + 1};
    }
    return {-1, -1};
}

// Every style block of the page, start tag to end tag, in order: "<style" at a word's end,
// anything up to ">", then up to the first "</style>" (blanks allowed before its ">").
// Scanned by hand, as the patterns would be run over every page several times.
std::vector<Span> styleBlocks(QStringView html)
{
    std::vector<Span> blocks;
    qsizetype from = 0;
    for (qsizetype open = indexOfWord(html, QLatin1String("<style"), from); open >= 0;
         open = indexOfWord(html, QLatin1String("<style"), from)) {
        from = open + 1;
        const qsizetype name = open + 6;
        if (name < html.size() && isWordCharacter(html[name]))
            continue;
        const qsizetype tagEnd = html.indexOf(QLatin1Char('>'), name);
        if (tagEnd < 0)
            continue;
        const Span close = endTagOf(html, tagEnd + 1, QLatin1String("</style"));
        if (close.start < 0)
            continue;
        blocks.push_back({open, close.end});
        from = close.end;
    }
    return blocks;
}

struct FontSize {
    Span written;   // the number with its "px", if any
    double value;
};

// A number as the style sheets write it, read as QString::toDouble would, without going
// through the locale machinery (which costs more than the rest of the rewrite).
double decimalValue(QStringView digits)
{
    char text[64];
    if (digits.size() >= qsizetype(sizeof text))
        return digits.toDouble();
    for (qsizetype i = 0; i < digits.size(); ++i)
        text[i] = char(digits[i].unicode());
    double value = 0;
    std::from_chars(text, text + digits.size(), value);
    return value;
}

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The font size declared at `at` ("font-size", blanks, ":", blanks, a number, an optional
// "px"), when blanks then ";", "}", a quote, "!" or the end follow it.
std::optional<FontSize> pixelFontSizeAt(QStringView html, qsizetype at)
{
    const qsizetype n = html.size();
    qsizetype i = at + 9;
    while (i < n && isAsciiSpace(html[i]))
        ++i;
    if (i >= n || html[i] != QLatin1Char(':'))
        return std::nullopt;
    ++i;
    while (i < n && isAsciiSpace(html[i]))
        ++i;
    const qsizetype start = i;
    while (i < n && isAsciiDigit(html[i]))
        ++i;
    if (i + 1 < n && html[i] == QLatin1Char('.') && isAsciiDigit(html[i + 1])) {
        i += 2;
        while (i < n && isAsciiDigit(html[i]))
            ++i;
    }
    if (i == start)
        return std::nullopt;
    const double value = decimalValue(html.mid(start, i - start));
    if (hasWordAt(html, i, QLatin1String("px")))
        i += 2;
    const qsizetype end = i;
    while (i < n && isAsciiSpace(html[i]))
        ++i;
    if (i < n && !QStringView(u";}\"'!").contains(html[i]))
        return std::nullopt;
    return FontSize{{start, end}, value};
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
    const std::vector<Span> blocks = styleBlocks(html);
    if (blocks.empty())
        return html;
    QString result;
    result.reserve(html.size());
    qsizetype done = 0;
    for (const Span& block : blocks) {
        result += QStringView(html).mid(done, block.start - done);
        result += fn(html.mid(block.start, block.end - block.start));
        done = block.end;
    }
    result += QStringView(html).mid(done);
    return result;
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
template <typename Key, typename Value, typename Fn>
Value remembered(QHash<Key, Value>& cache, const Key& block, Fn fn)
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
    for (const Span& span : styleBlocks(html)) {
        const auto given = remembered(sizes, html.mid(span.start, span.end - span.start), [&](const QString& block) {
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
    for (const Span& span : styleBlocks(html)) {
        auto it = cssRules().globalMatch(html.mid(span.start, span.end - span.start));
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
    thread_local QHash<std::pair<double, QString>, QString> rewritten;
    return remembered(rewritten, std::pair(bodySize, block), [&](const std::pair<double, QString>&) {
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
    QStringView name;
    QStringView rest;    // the attributes, as written
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
        return Tag{open, i + 1, closing, QStringView(html).mid(nameStart, restStart - nameStart),
                   QStringView(html).mid(restStart, i - restStart)};
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

    // Appends the start tag as rewritten to `out`.
    void startTag(const QString& name, QStringView rest, QString& out)
    {
        static const QRegularExpression styleAttribute(QStringLiteral("\\bstyle\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)')"), kOptions);
        static const QRegularExpression classAttribute(QStringLiteral("\\bclass\\s*="), kOptions);
        const bool selfClosing = rest.trimmed().endsWith(QLatin1Char('/'));
        const QStringView given = selfClosing ? rest.left(rest.lastIndexOf(QLatin1Char('/'))) : rest;
        const int level = headingLevel(name);
        // Neither a heading nor styled: nothing of it changes (most tags of most pages).
        if (!level && indexOfWord(given, QLatin1String("style"), 0) < 0) {
            if (!selfClosing && !isVoidElement(name))
                m_open.push_back({name, defaultSize(name, m_open.back().fontSize)});
            out += QLatin1Char('<');
            out += name;
            out += given;
            out += selfClosing ? QLatin1String("/>") : QLatin1String(">");
            return;
        }
        QString attributes = given.toString();
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
        out += QLatin1Char('<') + (level ? QStringLiteral("div") : name) + attributes + (selfClosing ? QStringLiteral("/>") : QStringLiteral(">"));
    }

    // Appends the end tag as rewritten to `out`.
    void endTag(const QString& name, QStringView rest, QString& out)
    {
        for (auto i = m_open.size(); i > 1; --i) {
            if (m_open[i - 1].name == name) {
                m_open.resize(i - 1);
                break;
            }
        }
        out += QLatin1String("</");
        out += headingLevel(name) ? QStringLiteral("div") : name;
        out += rest;
        out += QLatin1Char('>');
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
    auto isStray = [&html](qsizetype i) {
        if (i + 1 >= html.size())
            return true;
        const QChar next = html[i + 1];
        return !isAsciiLetter(next) && next != QLatin1Char('/') && next != QLatin1Char('!') && next != QLatin1Char('?');
    };
    QString result;
    qsizetype done = 0;
    for (qsizetype i = html.indexOf(QLatin1Char('<')); i >= 0; i = html.indexOf(QLatin1Char('<'), i + 1)) {
        if (!isStray(i))
            continue;
        if (result.isNull())
            result.reserve(html.size() + 16);
        result += QStringView(html).mid(done, i - done);
        result += QLatin1String("&lt;");
        done = i + 1;
    }
    if (result.isNull())
        return html;   // most pages: shared, not copied
    result += QStringView(html).mid(done);
    return result;
}

QString HtmlMarkup::withIdeographicSpacesMarked(const QString& html)
{
    if (!html.contains(QChar(0x3000)))
        return html;
    QString result = html;
    return result.replace(QChar(0x3000), kIdeographicSpaceMark);
}

QString HtmlMarkup::withPixelFontSizes(const QString& html)
{
    // Qt's style sheets take whole pixels only ("20.000000px" is dropped), so sizes are rounded.
    QString result;
    qsizetype done = 0;
    for (qsizetype at = indexOfWord(html, QLatin1String("font-size"), 0); at >= 0;
         at = indexOfWord(html, QLatin1String("font-size"), at + 1)) {
        const auto size = pixelFontSizeAt(html, at);
        if (!size)
            continue;
        result += QStringView(html).mid(done, size->written.start - done);
        result += QString::number(std::lround(size->value));
        result += QLatin1String("px");
        done = size->written.end;
    }
    if (done == 0)
        return html;   // shared, not copied
    result += QStringView(html).mid(done);
    return result;
}

QString HtmlMarkup::withResolvedLengths(const QString& html)
{
    LengthResolver resolver(html);
    QString result;
    result.reserve(html.size() + html.size() / 4);
    qsizetype done = 0;
    for (auto tag = nextTag(html, 0); tag; tag = nextTag(html, done)) {
        result += QStringView(html).mid(done, tag->start - done);
        done = tag->end;
        const QString name = tag->name.toString().toLower();
        if (tag->closing) {
            resolver.endTag(name, tag->rest, result);
            continue;
        }
        resolver.startTag(name, tag->rest, result);
        const bool style = name == QLatin1String("style");
        if (!style && name != QLatin1String("script"))
            continue;
        // Their content is no markup: copy it up to the end tag.
        const Span close = endTagOf(html, done, style ? QLatin1String("</style") : QLatin1String("</script"));
        const qsizetype stop = close.start >= 0 ? close.start : html.size();
        const QString content = html.mid(done, stop - done);
        result += style ? headingStyleBlock(content, resolver.bodySize()) : content;
        done = stop;
    }
    result += QStringView(html).mid(done);
    return result;
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
    if (indexOfWord(html, QLatin1String("<body"), 0) >= 0 && html.contains(body))
        return html;
    // QTextDocument applies body rules only to a written <body>, and styles only from the head.
    QString styles;
    QString content;
    content.reserve(html.size());
    qsizetype done = 0;
    for (const Span& block : styleBlocks(html)) {
        styles += QStringView(html).mid(block.start, block.end - block.start);
        content += QStringView(html).mid(done, block.start - done);
        done = block.end;
    }
    content += QStringView(html).mid(done);
    const QString declarations = bodyOnlyDeclarations(styles);
    const bool documentTags = indexOfWord(content, QLatin1String("<html"), 0) >= 0 ||
                              indexOfWord(content, QLatin1String("<head"), 0) >= 0;
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
    for (const Span& span : styleBlocks(html)) {
        const auto given = remembered(margins, html.mid(span.start, span.end - span.start), [](const QString& block) {
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
