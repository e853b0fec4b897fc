// The yardstick for the client's start: a bare Qt program that draws one phone-sized frame
// with Chinese text and a little HTML, as the client's home screen does, and writes it as a PNG.
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextDocument>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString path = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("bare-frame.png");

    QImage frame(750, 1334, QImage::Format_ARGB32_Premultiplied);
    frame.setDevicePixelRatio(2);
    frame.fill(Qt::white);
    QPainter painter(&frame);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRectF(0, 0, 375, 64), QColor(0x2a, 0x8c, 0xd8));
    painter.setPen(Qt::white);
    QFont title;
    title.setPixelSize(18);
    painter.setFont(title);
    painter.drawText(QRectF(0, 20, 375, 44), Qt::AlignCenter, QStringLiteral("题库练习"));

    painter.setPen(Qt::black);
    QFont body;
    body.setPixelSize(15);
    painter.setFont(body);
    const QStringList rows{QStringLiteral("章节练习"), QStringLiteral("历年真题"), QStringLiteral("考前冲刺"),
                           QStringLiteral("我的错题"), QStringLiteral("我的收藏"), QStringLiteral("学习笔记")};
    for (int i = 0; i < rows.size(); ++i)
        painter.drawText(QRectF(20, 90 + i * 44, 335, 44), Qt::AlignVCenter, rows[i]);

    QTextDocument html;
    html.setTextWidth(335);
    html.setHtml(QStringLiteral("<p>下列关于<b>细胞膜</b>的叙述，正确的是：</p>"
                                "<p>A. 细胞膜由<i>磷脂</i>双分子层构成<br>B. 细胞膜不具有流动性</p>"));
    painter.translate(20, 380);
    html.drawContents(&painter);
    painter.end();
    return frame.save(path, "PNG") ? 0 : 1;
}
