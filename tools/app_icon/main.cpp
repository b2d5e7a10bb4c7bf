// Draws the program's icon for the desktop's menus into a share folder, at the sizes of the
// hicolor theme: a folded map with a river, a hero's token and the blinking marker's arrow.

#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <cstdio>
#include <numbers>

namespace {

constexpr int icon_sizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
// The drawing's own units; every size scales them.
constexpr double units = 64.0;

QPainterPath map_sheet() {
    // Three panels of a folded map, each a little skewed.
    QPainterPath path;
    path.moveTo(6, 14);
    path.lineTo(23, 9);
    path.lineTo(41, 14);
    path.lineTo(58, 9);
    path.lineTo(58, 50);
    path.lineTo(41, 55);
    path.lineTo(23, 50);
    path.lineTo(6, 55);
    path.closeSubpath();
    return path;
}

void draw_icon(QPainter& painter) {
    const QColor outline(38, 28, 22);
    painter.setPen(QPen(outline, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));

    QLinearGradient parchment(6, 9, 58, 55);
    parchment.setColorAt(0, QColor(246, 232, 196));
    parchment.setColorAt(1, QColor(214, 190, 140));
    painter.setBrush(parchment);
    const QPainterPath sheet = map_sheet();
    painter.drawPath(sheet);

    painter.save();
    painter.setClipPath(sheet);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(120, 168, 84));
    painter.drawEllipse(QPointF(18, 40), 15, 11);
    painter.drawEllipse(QPointF(46, 24), 12, 9);
    QPainterPath river;
    river.moveTo(4, 24);
    river.cubicTo(20, 18, 26, 38, 40, 34);
    river.cubicTo(50, 31, 54, 44, 62, 42);
    painter.setPen(QPen(QColor(70, 130, 200), 3.2, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(river);
    // The folds.
    painter.setPen(QPen(QColor(0, 0, 0, 50), 1.0));
    painter.drawLine(QPointF(23, 9), QPointF(23, 50));
    painter.drawLine(QPointF(41, 14), QPointF(41, 55));
    painter.restore();

    // A hero's token: a red shield with a golden star.
    QPainterPath shield;
    shield.moveTo(27, 22);
    shield.lineTo(45, 22);
    shield.lineTo(45, 32);
    shield.cubicTo(45, 40, 39, 44, 36, 46);
    shield.cubicTo(33, 44, 27, 40, 27, 32);
    shield.closeSubpath();
    QLinearGradient red(27, 22, 45, 46);
    red.setColorAt(0, QColor(214, 52, 44));
    red.setColorAt(1, QColor(140, 20, 24));
    painter.setBrush(red);
    painter.drawPath(shield);
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const double radius = i % 2 == 0 ? 6.0 : 2.5;
        const double angle = (i / 5.0 - 0.5) * std::numbers::pi;
        star << QPointF(36 + radius * std::cos(angle), 32 + radius * std::sin(angle));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(240, 200, 70));
    painter.drawPolygon(star);

    // The marker's arrow, pointing at the map.
    QPainterPath arrow;
    arrow.moveTo(12, 16);
    arrow.lineTo(12, 31);
    arrow.lineTo(16, 27);
    arrow.lineTo(19.5, 34.5);
    arrow.lineTo(22.5, 33);
    arrow.lineTo(19, 25.5);
    arrow.lineTo(24.5, 25);
    arrow.closeSubpath();
    painter.setPen(QPen(outline, 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(QColor(250, 220, 80));
    painter.drawPath(arrow);
}

QImage icon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / units, size / units);
    draw_icon(painter);
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_app_icon <share folder> <icon name>\n");
        return 2;
    }
    const QDir share(QString::fromLocal8Bit(argv[1]));
    const QString name = QString::fromLocal8Bit(argv[2]);
    bool written = true;
    for (const int size : icon_sizes) {
        const QString folder = QString("icons/hicolor/%1x%1/apps").arg(size);
        written = share.mkpath(folder) &&
                  icon(size).save(share.filePath(folder + "/" + name + ".png"), "PNG") && written;
    }
    if (!written) {
        std::fprintf(stderr, "make_app_icon: could not write every icon into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
