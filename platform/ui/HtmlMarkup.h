#pragma once

#include <QChar>
#include <QString>

namespace ui {

// Rewrites HTML as the screens and the question bank write it into what QTextDocument lays
// out the way a phone's browser engine would.
//
// QTextDocument differs from a browser where question-bank text meets it: it takes any "<" as
// the start of a tag, collapses and breaks the ideographic space like an ASCII one, ignores
// `em` lengths and CSS font sizes on headings, reads unitless font sizes as points, styles no
// implicit body, and applies a body rule's margin on top of the document margin. Each of these
// is rewritten here, as text, before the page is parsed.
class HtmlMarkup {
public:
    // Stands in for U+3000 in the rewritten markup; HtmlDocument turns it into a blank of an
    // ideograph's width once the page is parsed.
    static constexpr QChar kIdeographicSpaceMark = QChar(0xE000);

    // The page as QTextDocument reads it.
    static QString adapted(const QString& html);
    // The body margin the page's style sets, else the browsers' 8.
    static double bodyMargin(const QString& html);

private:
    static QString withStrayLessThanAsText(const QString& html);
    static QString withIdeographicSpacesMarked(const QString& html);
    static QString withPixelFontSizes(const QString& html);
    static QString withResolvedLengths(const QString& html);
    static QString withoutBodyMargins(const QString& html);
    static QString withExplicitBody(const QString& html);
};

} // namespace ui
