#include "shell/artwork.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace shell {

namespace {

const QColor kOutline(40, 40, 40);
const QColor kPaper(255, 255, 250);
const QColor kCard(250, 246, 224);
const QColor kFolder(232, 192, 80);
const QColor kBlue(40, 90, 190);
const QColor kGreen(30, 140, 60);
const QColor kRed(200, 40, 40);

// Sets up a painter on a 16 by 15 grid with crisp one-pixel lines.
void Prepare(QPainter& p, int scale) {
    p.scale(scale, scale);
    p.setRenderHint(QPainter::Antialiasing, false);
}

void Page(QPainter& p) {
    QPolygon page({QPoint(3, 0), QPoint(10, 0), QPoint(13, 3), QPoint(13, 14), QPoint(3, 14)});
    p.setPen(kOutline);
    p.setBrush(kPaper);
    p.drawPolygon(page);
    p.drawLine(10, 0, 10, 3);
    p.drawLine(10, 3, 13, 3);
}

// An index card with a few text lines, its top-left corner at (x, y).
void Card(QPainter& p, int x, int y, int w = 12, int h = 9) {
    p.setPen(kOutline);
    p.setBrush(kCard);
    p.drawRect(x, y, w - 1, h - 1);
    p.setPen(QColor(120, 120, 160));
    for (int line = y + 3; line < y + h - 2; line += 2) {
        p.drawLine(x + 2, line, x + w - 4, line);
    }
    p.setPen(kRed);
    p.drawLine(x + 1, y + 1, x + w - 2, y + 1);
}

void DrawNew(QPainter& p) {
    Page(p);
    p.setPen(QColor(240, 200, 0));
    p.drawLine(0, 2, 4, 2);
    p.drawLine(2, 0, 2, 4);
    p.drawPoint(1, 1);
    p.drawPoint(3, 3);
}

void DrawOpen(QPainter& p) {
    p.setPen(kOutline);
    p.setBrush(kFolder.darker(115));
    p.drawPolygon(QPolygon({QPoint(0, 3), QPoint(2, 1), QPoint(6, 1), QPoint(7, 3), QPoint(12, 3),
                            QPoint(12, 13), QPoint(0, 13)}));
    p.setBrush(kFolder);
    p.drawPolygon(QPolygon({QPoint(2, 6), QPoint(15, 6), QPoint(12, 13), QPoint(0, 13)}));
}

void DrawSave(QPainter& p) {
    p.setPen(kOutline);
    p.setBrush(QColor(60, 80, 140));
    p.drawPolygon(
        QPolygon({QPoint(1, 0), QPoint(13, 0), QPoint(14, 1), QPoint(14, 14), QPoint(1, 14)}));
    p.setBrush(kPaper);
    p.drawRect(3, 0, 8, 5);
    p.setBrush(QColor(190, 190, 200));
    p.drawRect(4, 9, 7, 5);
    p.setPen(kOutline);
    p.drawLine(9, 10, 9, 12);
}

void DrawAdd(QPainter& p) {
    Card(p, 0, 4);
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawRect(11, 0, 2, 7);
    p.drawRect(8, 3, 8, 2);
}

void DrawEdit(QPainter& p) {
    Card(p, 0, 4);
    p.setRenderHint(QPainter::Antialiasing, true);
    QPen pencil(QColor(230, 160, 30), 2.4, Qt::SolidLine, Qt::FlatCap);
    p.setPen(pencil);
    p.drawLine(QPointF(6.5, 10.5), QPointF(14.5, 1.5));
    p.setPen(QPen(kOutline, 1.2));
    p.drawLine(QPointF(5.2, 12.2), QPointF(6.6, 10.6));
    p.setRenderHint(QPainter::Antialiasing, false);
}

void DrawDelete(QPainter& p) {
    Card(p, 0, 4);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(kRed, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9.5, 1.5), QPointF(14.5, 6.5));
    p.drawLine(QPointF(14.5, 1.5), QPointF(9.5, 6.5));
    p.setRenderHint(QPainter::Antialiasing, false);
}

void DrawCopy(QPainter& p) {
    Card(p, 4, 0, 12, 9);
    Card(p, 0, 6, 12, 9);
}

void DrawFind(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(kOutline, 1.5));
    p.setBrush(QColor(200, 230, 255));
    p.drawEllipse(QRectF(1.5, 1.5, 8, 8));
    p.setPen(QPen(QColor(110, 70, 30), 2.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9.5, 9.5), QPointF(14, 13.5));
    p.setRenderHint(QPainter::Antialiasing, false);
}

void DrawDial(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, true);
    QPainterPath handset;
    handset.moveTo(2, 4);
    handset.cubicTo(2, 1, 14, 1, 14, 4);
    handset.lineTo(14, 6);
    handset.lineTo(11, 6);
    handset.lineTo(10.5, 4.5);
    handset.lineTo(5.5, 4.5);
    handset.lineTo(5, 6);
    handset.lineTo(2, 6);
    handset.closeSubpath();
    p.setPen(QPen(kOutline, 1));
    p.setBrush(QColor(30, 30, 30));
    p.drawPath(handset);
    p.setBrush(QColor(70, 70, 70));
    p.drawPolygon(
        QPolygonF({QPointF(4.5, 14), QPointF(5.5, 8), QPointF(10.5, 8), QPointF(11.5, 14)}));
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(230, 230, 230));
    for (int y = 10; y <= 12; y += 2) {
        for (int x = 6; x <= 10; x += 2) {
            p.drawPoint(x, y);
        }
    }
}

void DrawEmail(QPainter& p) {
    p.setPen(kOutline);
    p.setBrush(kPaper);
    p.drawRect(0, 3, 15, 10);
    p.drawLine(0, 3, 7, 9);
    p.drawLine(8, 9, 15, 3);
    p.setPen(QColor(150, 150, 150));
    p.drawLine(1, 12, 6, 8);
    p.drawLine(14, 12, 9, 8);
}

void DrawWeb(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, true);
    QRectF globe(1.5, 0.5, 13, 13);
    p.setPen(QPen(kBlue.darker(130), 1));
    p.setBrush(QColor(120, 180, 240));
    p.drawEllipse(globe);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(5, 0.5, 6, 13));
    p.drawLine(QPointF(8, 0.5), QPointF(8, 13.5));
    p.drawLine(QPointF(1.5, 7), QPointF(14.5, 7));
    p.drawLine(QPointF(2.8, 3.8), QPointF(13.2, 3.8));
    p.drawLine(QPointF(2.8, 10.2), QPointF(13.2, 10.2));
    p.setRenderHint(QPainter::Antialiasing, false);
}

void DrawPreferences(QPainter& p) {
    // A slider panel: three tracks with knobs.
    p.setPen(kOutline);
    p.setBrush(QColor(220, 220, 220));
    p.drawRect(0, 0, 15, 14);
    const int knobs[3] = {4, 10, 6};
    for (int i = 0; i < 3; ++i) {
        int y = 3 + i * 4;
        p.setPen(QColor(90, 90, 90));
        p.drawLine(2, y, 13, y);
        p.setPen(kOutline);
        p.setBrush(kBlue);
        p.drawRect(knobs[i] - 1, y - 1, 2, 2);
    }
}

void DrawHelp(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(kBlue.darker(120), 1));
    p.setBrush(kBlue);
    p.drawEllipse(QRectF(1, 0, 13.5, 13.5));
    QFont font;
    font.setPixelSize(12);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(1, 0, 13.5, 13.5), Qt::AlignCenter, "?");
    p.setRenderHint(QPainter::Antialiasing, false);
}

using DrawFn = void (*)(QPainter&);
constexpr DrawFn kDrawers[kToolbarImageCount] = {
    DrawNew,  DrawOpen, DrawSave,  DrawAdd, DrawEdit,        DrawDelete, DrawCopy,
    DrawFind, DrawDial, DrawEmail, DrawWeb, DrawPreferences, DrawHelp};

}  // namespace

QImage ToolbarImage(int index, int scale) {
    QImage image(kToolbarImageWidth * scale, kToolbarImageHeight * scale,
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (index < 0 || index >= kToolbarImageCount) {
        return image;
    }
    QPainter p(&image);
    Prepare(p, scale);
    kDrawers[index](p);
    return image;
}

QImage ToolbarStrip() {
    QImage strip(kToolbarImageWidth * kToolbarImageCount, kToolbarImageHeight,
                 QImage::Format_ARGB32_Premultiplied);
    strip.fill(Qt::transparent);
    QPainter p(&strip);
    for (int i = 0; i < kToolbarImageCount; ++i) {
        p.drawImage(i * kToolbarImageWidth, 0, ToolbarImage(i));
    }
    return strip;
}

QIcon ToolbarIcon(int index) {
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(ToolbarImage(index, 1)));
    QPixmap doubled = QPixmap::fromImage(ToolbarImage(index, 2));
    doubled.setDevicePixelRatio(2.0);
    icon.addPixmap(doubled);
    return icon;
}

QImage AppIconImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.scale(size / 32.0, size / 32.0);
    // The book: a dark red cover with a lighter spine and page edges.
    p.setPen(QPen(QColor(60, 20, 20), 1));
    p.setBrush(QColor(245, 240, 225));
    p.drawRoundedRect(QRectF(7.5, 3.5, 21, 26), 2, 2);
    p.setBrush(QColor(150, 30, 35));
    p.drawRoundedRect(QRectF(5.5, 2.5, 21, 26), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(110, 20, 25));
    p.drawRect(QRectF(6, 3, 4, 25));
    // Index tabs on the right edge.
    const QColor tabs[3] = {QColor(240, 200, 60), QColor(80, 160, 220), QColor(90, 180, 90)};
    for (int i = 0; i < 3; ++i) {
        p.setBrush(tabs[i]);
        p.drawRect(QRectF(26.5, 6 + i * 7, 3, 5));
    }
    // A label with a person on the cover.
    p.setBrush(QColor(250, 246, 230));
    p.drawRoundedRect(QRectF(12, 7, 11, 11), 1.5, 1.5);
    p.setBrush(QColor(70, 70, 90));
    p.drawEllipse(QRectF(15.5, 8.5, 4, 4));
    p.drawChord(QRectF(13.5, 12.5, 8, 8), 0, 180 * 16);
    // The quill, crossing the lower right corner.
    QPainterPath feather;
    feather.moveTo(13, 29);
    feather.cubicTo(17, 22, 24, 17, 31, 13);
    feather.cubicTo(29, 20, 22, 25, 14, 28.5);
    feather.closeSubpath();
    p.setPen(QPen(QColor(90, 90, 90), 0.8));
    p.setBrush(QColor(255, 255, 255));
    p.drawPath(feather);
    p.setPen(QPen(QColor(60, 60, 60), 1.2));
    p.drawLine(QPointF(11, 31), QPointF(22, 22));
    return image;
}

QIcon AppIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128}) {
        icon.addPixmap(QPixmap::fromImage(AppIconImage(size)));
    }
    return icon;
}

}  // namespace shell
