// Draws the toolbar icons into img/. Not part of the build; rerun by hand after a change:
//   g++ -std=c++17 -fPIC make_icons.cpp $(pkg-config --cflags --libs Qt5Gui) -o /tmp/make_icons
//   QT_QPA_PLATFORM=offscreen /tmp/make_icons img
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>
#include <functional>

namespace {

const int kSize = 48;

QPen outline(const QColor &color, qreal width = 2.5) {
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void drawTable(QPainter &p, const QColor &accent, const QString &letter) {
    p.setPen(outline(QColor(60, 60, 60), 2));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(4, 6, 40, 36), 3, 3);
    p.setBrush(accent);
    p.drawRect(QRectF(4, 6, 40, 9));
    p.setPen(outline(QColor(120, 120, 120), 1.5));
    for (int y = 24; y < 42; y += 9) {
        p.drawLine(QPointF(5, y), QPointF(43, y));
    }
    p.drawLine(QPointF(20, 15), QPointF(20, 41));
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(16);
    p.setFont(font);
    p.setPen(accent.darker(130));
    p.drawText(QRectF(22, 16, 22, 26), Qt::AlignCenter, letter);
}

void drawInfo(QPainter &p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 110, 200));
    p.drawEllipse(QRectF(4, 4, 40, 40));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(21, 11, 6, 6));
    p.drawRoundedRect(QRectF(21, 20, 6, 17), 2, 2);
}

void drawGraph(QPainter &p) {
    p.setPen(outline(QColor(50, 50, 50)));
    p.drawLine(QPointF(7, 5), QPointF(7, 41));
    p.drawLine(QPointF(7, 41), QPointF(44, 41));
    p.setPen(outline(QColor(210, 40, 40), 3));
    QPainterPath wave;
    wave.moveTo(9, 30);
    for (int x = 9; x <= 43; ++x) {
        wave.lineTo(x, 24 - 12 * qSin((x - 9) / 34.0 * 2 * M_PI));
    }
    p.setBrush(Qt::NoBrush);
    p.drawPath(wave);
}

void drawSearch(QPainter &p) {
    p.setPen(outline(QColor(50, 50, 50), 4));
    p.setBrush(QColor(200, 230, 255));
    p.drawEllipse(QRectF(6, 6, 24, 24));
    p.setPen(outline(QColor(90, 60, 30), 7));
    p.drawLine(QPointF(28, 28), QPointF(42, 42));
}

void drawTest(QPainter &p) {
    p.setPen(outline(QColor(90, 70, 40), 2));
    p.setBrush(QColor(245, 235, 210));
    p.drawRoundedRect(QRectF(8, 6, 32, 38), 3, 3);
    p.setBrush(QColor(150, 150, 150));
    p.drawRoundedRect(QRectF(17, 3, 14, 7), 2, 2);
    p.setPen(outline(QColor(20, 150, 40), 5));
    p.drawPolyline(QPolygonF({QPointF(15, 26), QPointF(22, 34), QPointF(34, 17)}));
}

void drawOpen(QPainter &p) {
    p.setPen(outline(QColor(150, 100, 10), 2));
    p.setBrush(QColor(240, 190, 60));
    p.drawPolygon(QPolygonF({QPointF(4, 12), QPointF(18, 12), QPointF(22, 16), QPointF(40, 16),
                             QPointF(40, 40), QPointF(4, 40)}));
    p.setBrush(QColor(255, 215, 100));
    p.drawPolygon(QPolygonF({QPointF(10, 22), QPointF(46, 22), QPointF(40, 40), QPointF(4, 40)}));
}

void drawSave(QPainter &p) {
    p.setPen(outline(QColor(20, 40, 90), 2));
    p.setBrush(QColor(50, 90, 170));
    p.drawPolygon(
        QPolygonF({QPointF(5, 5), QPointF(37, 5), QPointF(43, 11), QPointF(43, 43), QPointF(5, 43)}));
    p.setBrush(QColor(220, 225, 235));
    p.drawRect(QRectF(12, 5, 22, 13));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(11, 26, 26, 17));
    p.setBrush(QColor(50, 90, 170));
    p.drawRect(QRectF(27, 7, 5, 9));
}

void drawFlash(QPainter &p) {
    p.setPen(outline(QColor(170, 90, 0), 2));
    p.setBrush(QColor(255, 200, 0));
    p.drawPolygon(QPolygonF({QPointF(28, 2), QPointF(9, 27), QPointF(22, 27), QPointF(17, 46),
                             QPointF(39, 18), QPointF(26, 18), QPointF(32, 2)}));
}

void drawGear(QPainter &p) {
    QPainterPath gear;
    const QPointF c(24, 24);
    const int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const double a0 = i * M_PI / teeth;
        const double a1 = (i + 1) * M_PI / teeth;
        const double r = (i % 2 == 0) ? 21 : 15;
        const QPointF p0 = c + QPointF(r * qCos(a0), r * qSin(a0));
        const QPointF p1 = c + QPointF(r * qCos(a1), r * qSin(a1));
        if (i == 0) {
            gear.moveTo(p0);
        } else {
            gear.lineTo(p0);
        }
        gear.lineTo(p1);
    }
    gear.closeSubpath();
    gear.addEllipse(c, 6, 6);
    gear.setFillRule(Qt::OddEvenFill);
    p.setPen(outline(QColor(50, 50, 60), 1.5));
    p.setBrush(QColor(130, 135, 150));
    p.drawPath(gear);
}

void drawUpdate(QPainter &p) {
    p.setPen(outline(QColor(20, 140, 60), 5));
    p.setBrush(Qt::NoBrush);
    const QRectF ring(9, 9, 30, 30);
    p.drawArc(ring, 30 * 16, 150 * 16);
    p.drawArc(ring, 210 * 16, 150 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 140, 60));
    p.drawPolygon(QPolygonF({QPointF(3, 21), QPointF(15, 21), QPointF(9, 30)}));
    p.drawPolygon(QPolygonF({QPointF(33, 27), QPointF(45, 27), QPointF(39, 18)}));
}

void drawConnect(QPainter &p) {
    // A plug about to meet its socket.
    p.setPen(outline(QColor(40, 40, 40), 2));
    p.setBrush(QColor(60, 160, 70));
    p.drawRoundedRect(QRectF(6, 14, 14, 20), 3, 3);
    p.setPen(outline(QColor(40, 40, 40), 3));
    p.drawLine(QPointF(20, 19), QPointF(27, 19));
    p.drawLine(QPointF(20, 29), QPointF(27, 29));
    p.drawLine(QPointF(1, 24), QPointF(6, 24));
    p.setPen(outline(QColor(40, 40, 40), 2));
    p.setBrush(QColor(200, 200, 200));
    p.drawRoundedRect(QRectF(30, 12, 14, 24), 3, 3);
    p.setBrush(QColor(40, 40, 40));
    p.drawRect(QRectF(30, 17, 4, 4));
    p.drawRect(QRectF(30, 27, 4, 4));
}

void drawKey(QPainter &p) {
    p.setPen(outline(QColor(120, 90, 0), 2));
    p.setBrush(QColor(240, 190, 40));
    QPainterPath key;
    key.addEllipse(QRectF(3, 14, 20, 20));
    key.addRect(QRectF(21, 21, 24, 6));
    key.addRect(QRectF(35, 27, 4, 7));
    key.addRect(QRectF(41, 27, 4, 5));
    p.drawPath(key.simplified());
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(8, 20, 7, 7));
}

void save(const QString &dir, const QString &name, const std::function<void(QPainter &)> &draw) {
    QImage image(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    painter.end();
    image.save(dir + QLatin1Char('/') + name);
}

}  // namespace

int main(int argc, char **argv) {
    QGuiApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("img");
    QDir().mkpath(dir);
    save(dir, "holding_registers.png", [](QPainter &p) { drawTable(p, QColor(40, 100, 200), "H"); });
    save(dir, "input_registers.png", [](QPainter &p) { drawTable(p, QColor(30, 150, 60), "I"); });
    save(dir, "auxh.png", [](QPainter &p) { drawTable(p, QColor(220, 120, 20), "A"); });
    save(dir, "info2.png", drawInfo);
    save(dir, "graph.png", drawGraph);
    save(dir, "search.png", drawSearch);
    save(dir, "test_icon.png", drawTest);
    save(dir, "open.png", drawOpen);
    save(dir, "save.png", drawSave);
    save(dir, "flash.png", drawFlash);
    save(dir, "config.png", drawGear);
    save(dir, "update.png", drawUpdate);
    save(dir, "connect.png", drawConnect);
    save(dir, "key.png", drawKey);
    return 0;
}
