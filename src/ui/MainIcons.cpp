// The toolbar pictures, drawn by the program itself.

#include "ui/MainIcons.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPixmap>

namespace rat::ui {

namespace {

const QColor kInk(0x3c, 0x46, 0x55);
const QColor kPaper(0xfb, 0xfb, 0xf8);
const QColor kBlue(0x2f, 0x6f, 0xb5);
const QColor kGreen(0x2e, 0x8b, 0x4f);
const QColor kRed(0xc2, 0x3b, 0x30);
const QColor kAmber(0xd9, 0x9a, 0x22);

// A sheet of paper with a folded corner, in a 24×24 grid.
void sheet(QPainter& p, const QRectF& r)
{
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - 5, r.top());
    path.lineTo(r.right(), r.top() + 5);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setBrush(kPaper);
    p.setPen(QPen(kInk, 1.2));
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - 5, r.top()), QPointF(r.right() - 5, r.top() + 5));
    p.drawLine(QPointF(r.right() - 5, r.top() + 5), QPointF(r.right(), r.top() + 5));
}

void lines(QPainter& p, qreal left, qreal right, qreal top, int count)
{
    p.setPen(QPen(kInk.lighter(150), 1.2));
    for (int i = 0; i < count; ++i)
        p.drawLine(QPointF(left, top + i * 3.5), QPointF(right, top + i * 3.5));
}

void drawGlyph(QPainter& p, Glyph g)
{
    p.setRenderHint(QPainter::Antialiasing);
    switch (g) {
    case Glyph::Open: {
        p.setPen(QPen(kAmber.darker(140), 1.2));
        p.setBrush(kAmber.lighter(120));
        QPainterPath back;
        back.moveTo(2.5, 5.5);
        back.lineTo(9, 5.5);
        back.lineTo(11, 7.5);
        back.lineTo(20.5, 7.5);
        back.lineTo(20.5, 19.5);
        back.lineTo(2.5, 19.5);
        back.closeSubpath();
        p.drawPath(back);
        p.setBrush(kAmber);
        QPainterPath front;
        front.moveTo(2.5, 19.5);
        front.lineTo(6, 10.5);
        front.lineTo(22.5, 10.5);
        front.lineTo(20.5, 19.5);
        front.closeSubpath();
        p.drawPath(front);
        break;
    }
    case Glyph::Save:
        p.setPen(QPen(kBlue.darker(150), 1.2));
        p.setBrush(kBlue);
        p.drawRoundedRect(QRectF(3.5, 3.5, 17, 17), 2, 2);
        p.setBrush(kPaper);
        p.drawRect(QRectF(7, 3.5, 10, 6.5));
        p.setBrush(kBlue.lighter(170));
        p.drawRect(QRectF(6.5, 13, 11, 7.5));
        break;
    case Glyph::Print:
        sheet(p, QRectF(7, 2.5, 10, 8));
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(QColor(0xb8, 0xc0, 0xcc));
        p.drawRoundedRect(QRectF(2.5, 9.5, 19, 8), 2, 2);
        p.setBrush(kPaper);
        p.drawRect(QRectF(6.5, 14.5, 11, 7));
        lines(p, 8.5, 15.5, 17, 2);
        p.setPen(Qt::NoPen);
        p.setBrush(kGreen);
        p.drawEllipse(QPointF(18.5, 12), 1, 1);
        break;
    case Glyph::Find:
        p.setPen(QPen(kInk, 2.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(14.5, 14.5), QPointF(20.5, 20.5));
        p.setPen(QPen(kInk, 1.6));
        p.setBrush(QColor(0xd6, 0xe6, 0xf5));
        p.drawEllipse(QPointF(10, 10), 6, 6);
        break;
    case Glyph::NewRow:
        sheet(p, QRectF(3.5, 2.5, 13, 18));
        lines(p, 6, 13, 8, 3);
        p.setPen(QPen(kGreen, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(17, 13), QPointF(17, 21));
        p.drawLine(QPointF(13, 17), QPointF(21, 17));
        break;
    case Glyph::EditRow: {
        sheet(p, QRectF(3.5, 2.5, 13, 18));
        lines(p, 6, 13, 8, 3);
        p.save();
        p.translate(16, 14);
        p.rotate(45);
        p.setPen(QPen(kInk, 1));
        p.setBrush(kAmber);
        p.drawRect(QRectF(-2, -9, 4, 13));
        p.setBrush(kInk);
        QPainterPath tip;
        tip.moveTo(-2, 4);
        tip.lineTo(2, 4);
        tip.lineTo(0, 8);
        tip.closeSubpath();
        p.drawPath(tip);
        p.restore();
        break;
    }
    case Glyph::DeleteRow:
        sheet(p, QRectF(3.5, 2.5, 13, 18));
        lines(p, 6, 13, 8, 3);
        p.setPen(QPen(kRed, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(13.5, 13.5), QPointF(20.5, 20.5));
        p.drawLine(QPointF(20.5, 13.5), QPointF(13.5, 20.5));
        break;
    case Glyph::Refresh: {
        p.setPen(QPen(kGreen, 2.4, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(4, 4, 16, 16), 60 * 16, 280 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(kGreen);
        QPainterPath head;
        head.moveTo(13, 1.5);
        head.lineTo(19, 5.5);
        head.lineTo(12.5, 9);
        head.closeSubpath();
        p.drawPath(head);
        break;
    }
    case Glyph::Help: {
        p.setPen(QPen(kBlue.darker(130), 1.2));
        p.setBrush(kBlue);
        p.drawEllipse(QRectF(2.5, 2.5, 19, 19));
        QFont f;
        f.setBold(true);
        f.setPixelSize(14);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRectF(2.5, 2.5, 19, 19), Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    case Glyph::Cut:
        p.setPen(QPen(kInk, 1.6));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(7, 18), 3, 3);
        p.drawEllipse(QPointF(17, 18), 3, 3);
        p.setPen(QPen(kInk, 1.8, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(9, 15.5), QPointF(16, 3));
        p.drawLine(QPointF(15, 15.5), QPointF(8, 3));
        break;
    case Glyph::Copy:
        sheet(p, QRectF(3.5, 2.5, 11, 14));
        sheet(p, QRectF(9.5, 7.5, 11, 14));
        lines(p, 11.5, 17.5, 13, 3);
        break;
    case Glyph::Paste:
        p.setPen(QPen(kAmber.darker(160), 1.2));
        p.setBrush(kAmber.darker(110));
        p.drawRoundedRect(QRectF(3.5, 4.5, 14, 17), 1.5, 1.5);
        p.setBrush(QColor(0xb8, 0xc0, 0xcc));
        p.drawRoundedRect(QRectF(7, 2.5, 7, 4), 1, 1);
        sheet(p, QRectF(10.5, 9.5, 10, 12));
        lines(p, 12.5, 17.5, 14, 2);
        break;
    }
}

} // namespace

QIcon glyphIcon(Glyph glyph)
{
    QIcon icon;
    for (int size : {16, 24, 32, 48}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.scale(size / 24.0, size / 24.0);
        drawGlyph(p, glyph);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

QIcon badgeIcon(const QString& label, const QColor& color)
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        const QRectF r(0.5, 0.5, size - 1.0, size - 1.0);
        QLinearGradient grad(r.topLeft(), r.bottomLeft());
        grad.setColorAt(0, color.lighter(125));
        grad.setColorAt(1, color.darker(115));
        p.setPen(QPen(color.darker(150), size >= 32 ? 1.5 : 1.0));
        p.setBrush(grad);
        p.drawRoundedRect(r, size * 0.2, size * 0.2);
        QFont f;
        f.setBold(true);
        f.setPixelSize(qMax(7, int(size * (label.size() > 2 ? 0.30 : 0.40))));
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(r, Qt::AlignCenter, label);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

} // namespace rat::ui
