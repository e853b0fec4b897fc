#pragma once

#include <QImage>
#include <QString>
#include <QTextDocument>
#include <QUrl>

namespace ui {

// The document a web view lays out and draws: HTML as the screens compose it, adapted to
// what QTextDocument understands, with every file it reads kept inside one folder.
//
// Browsers take unitless CSS font sizes as pixels, style a body that the markup leaves
// implicit, and give the body a margin of 8 unless its style says otherwise; QTextDocument
// does none of that, so the page is rewritten first. Images and style sheets load only from
// local files inside the resource folder; anything else (another folder, "../", a remote
// address) loads as an empty image and is logged, since QTextDocument would otherwise read a
// refused image straight from disk.
class HtmlDocument : public QTextDocument {
public:
    explicit HtmlDocument(const QString& resourceFolder);
    ~HtmlDocument() override;

    // Replaces the content; `baseUrl` resolves relative references (a folder given as a file
    // URL without its trailing slash still counts as the folder).
    void setPage(const QString& html, const QUrl& baseUrl);
    // Lays the page out at `width` points; returns its height.
    double layOut(double width);

    // The page as QTextDocument reads it.
    static QString adapted(const QString& html);
    // The body margin the page's style sets, else the browsers' 8.
    static double bodyMargin(const QString& html);
    // Whether a local file lies inside the folder (after resolving links and "..").
    static bool isInside(const QString& path, const QString& folder);

protected:
    QVariant loadResource(int type, const QUrl& name) override;

private:
    static QString withPixelFontSizes(const QString& html);
    static QString withExplicitBody(const QString& html);

    QString m_folder;
    QImage m_measuringDevice;
};

} // namespace ui
