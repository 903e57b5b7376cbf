// Draws the program's pictures into PNG files: one palette, one stroke width per size, so the
// set stays coherent. Run by hand (target quarrow_draw_images) when a picture changes; the PNGs
// are kept in the sources and compiled in as resources.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cmath>
#include <functional>

namespace {

const QColor kInk(32, 74, 135);      // outlines
const QColor kAccent(230, 126, 34);  // points and highlights
const QColor kFill(214, 230, 248);   // light fills
const QColor kGreen(46, 139, 87);
const QColor kRed(192, 57, 43);

using Draw = std::function<void(QPainter&)>;

void Save(const QString& folder, const QString& name, int size, const Draw& draw) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);  // every picture is drawn on a 16-unit grid
    draw(p);
    p.end();
    image.save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

QPen Ink(double width = 1.3) {
    return QPen(kInk, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void Dot(QPainter& p, QPointF c, double r = 1.6) {
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawEllipse(c, r, r);
}

void Sheet(QPainter& p) {
    p.setPen(Ink(1.0));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({{3, 1.5}, {10.5, 1.5}, {13, 4}, {13, 14.5}, {3, 14.5}}));
}

void Box(QPainter& p, bool checked) {
    p.setPen(Ink(1.0));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(2.5, 2.5, 11, 11), 1.5, 1.5);
    if (checked) {
        p.setPen(QPen(kGreen, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({{5, 8}, {7, 10.5}, {11.5, 5}}));
    }
}

void Arrow(QPainter& p, bool up) {
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    const double s = up ? 1 : -1;
    p.translate(8, 8);
    p.drawPolygon(QPolygonF({{0, -6 * s},
                             {5.5, -0.5 * s},
                             {2, -0.5 * s},
                             {2, 6 * s},
                             {-2, 6 * s},
                             {-2, -0.5 * s},
                             {-5.5, -0.5 * s}}));
    p.translate(-8, -8);
}

void Question(QPainter& p) {
    p.setPen(Ink(1.2));
    p.setBrush(kFill);
    p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
    p.setPen(QPen(kInk, 1.6, Qt::SolidLine, Qt::RoundCap));
    QPainterPath q;
    q.moveTo(5.8, 6.2);
    q.cubicTo(5.8, 3.4, 10.4, 3.4, 10.4, 6.0);
    q.cubicTo(10.4, 7.6, 8, 7.8, 8, 9.6);
    p.setBrush(Qt::NoBrush);
    p.drawPath(q);
    Dot(p, {8, 12}, 1.0);
}

}  // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();

    // imgEntities: one per entity kind.
    const Draw kinds[12] = {
        [](QPainter& p) {  // points
            p.setPen(Ink(1.0));
            p.drawLine(QPointF(8, 2), QPointF(8, 14));
            p.drawLine(QPointF(2, 8), QPointF(14, 8));
            Dot(p, {8, 8}, 2.4);
        },
        [](QPainter& p) {  // circles
            p.setPen(Ink());
            p.setBrush(kFill);
            p.drawEllipse(QPointF(8, 8), 6, 6);
            Dot(p, {8, 8});
        },
        [](QPainter& p) {  // arcs
            p.setPen(Ink());
            p.drawArc(QRectF(2, 3, 12, 12), 0, 180 * 16);
            Dot(p, {2, 9});
            Dot(p, {14, 9});
        },
        [](QPainter& p) {  // ellipses
            p.setPen(Ink());
            p.setBrush(kFill);
            p.drawEllipse(QPointF(8, 8), 7, 4.2);
            Dot(p, {8, 8});
        },
        [](QPainter& p) {  // lines
            p.setPen(Ink());
            p.drawLine(QPointF(3, 13), QPointF(13, 3));
            Dot(p, {3, 13});
            Dot(p, {13, 3});
        },
        [](QPainter& p) {  // multi-line text
            p.setPen(Ink(1.4));
            for (double y : {4.0, 7.0, 10.0, 13.0})
                p.drawLine(QPointF(3, y), QPointF(y == 13.0 ? 9 : 13, y));
            Dot(p, {2, 13}, 1.2);
        },
        [](QPainter& p) {  // single-line text
            p.setPen(Ink(1.6));
            p.drawPolyline(QPolygonF({{3, 13}, {8, 2.5}, {13, 13}}));
            p.drawLine(QPointF(5.2, 9), QPointF(10.8, 9));
            Dot(p, {3, 13}, 1.2);
        },
        [](QPainter& p) {  // 2D polylines
            p.setPen(Ink());
            const QPolygonF line({{2, 12}, {6, 4}, {10, 11}, {14, 4}});
            p.drawPolyline(line);
            for (const QPointF& v : line)
                Dot(p, v, 1.3);
        },
        [](QPainter& p) {  // 3D polylines
            p.setPen(QPen(kFill.darker(130), 1.0));
            p.drawLine(QPointF(2, 14), QPointF(6, 10));
            p.drawLine(QPointF(6, 10), QPointF(14, 10));
            p.drawLine(QPointF(6, 10), QPointF(6, 2));
            p.setPen(Ink());
            const QPolygonF line({{2, 13}, {5, 5}, {10, 8}, {13, 2}});
            p.drawPolyline(line);
            for (const QPointF& v : line)
                Dot(p, v, 1.3);
        },
        [](QPainter& p) {  // splines
            p.setPen(QPen(kFill.darker(130), 0.8, Qt::DashLine));
            const QPolygonF control({{2, 13}, {5, 2}, {11, 14}, {14, 3}});
            p.drawPolyline(control);
            QPainterPath curve;
            curve.moveTo(control[0]);
            curve.cubicTo(control[1], control[2], control[3]);
            p.setPen(Ink());
            p.setBrush(Qt::NoBrush);
            p.drawPath(curve);
            for (const QPointF& v : control)
                Dot(p, v, 1.2);
        },
        [](QPainter& p) {  // 3D faces
            const QPolygonF face({{2, 11}, {7, 14}, {14, 8}, {8, 3}});
            p.setPen(Ink());
            p.setBrush(kFill);
            p.drawPolygon(face);
            for (const QPointF& v : face)
                Dot(p, v, 1.3);
        },
        [](QPainter& p) {  // blocks
            p.setPen(Ink());
            p.setBrush(kFill);
            p.drawRect(QRectF(4, 2.5, 10, 8));
            p.drawLine(QPointF(4, 6.5), QPointF(14, 6.5));
            p.drawLine(QPointF(9, 2.5), QPointF(9, 10.5));
            Dot(p, {4, 13}, 2.0);
        },
    };
    for (int k = 0; k < 12; ++k)
        Save(out, QStringLiteral("kind%1").arg(k), 16, kinds[k]);

    // imgPop: menu commands and the two kinds of data item.
    Save(out, "pop0", 16, [](QPainter& p) { Box(p, true); });
    Save(out, "pop1", 16, [](QPainter& p) { Box(p, false); });
    Save(out, "pop2", 16, [](QPainter& p) {
        Box(p, false);
        p.setPen(Ink(1.4));
        p.drawLine(QPointF(5, 8), QPointF(11, 8));
        p.drawLine(QPointF(8, 5), QPointF(8, 11));
    });
    Save(out, "pop3", 16, [](QPainter& p) {
        Box(p, false);
        p.setPen(Ink(1.4));
        p.drawLine(QPointF(5, 8), QPointF(11, 8));
    });
    Save(out, "pop4", 16, [](QPainter& p) {  // value read from the drawing
        Sheet(p);
        p.setPen(Ink(1.0));
        p.drawLine(QPointF(5, 11), QPointF(11, 6));
        Dot(p, {5, 11}, 1.3);
        Dot(p, {11, 6}, 1.3);
    });
    Save(out, "pop5", 16, [](QPainter& p) {  // value the user defines
        p.setPen(Ink(1.0));
        p.setBrush(kAccent);
        p.drawPolygon(QPolygonF({{3, 13}, {3.6, 10.4}, {11, 3}, {13, 5}, {5.6, 12.4}}));
        p.setBrush(kInk);
        p.drawPolygon(QPolygonF({{3, 13}, {3.6, 10.4}, {5.6, 12.4}}));
    });

    // ImageList1: the large toolbar buttons.
    Save(out, "tool0", 24, [](QPainter& p) {  // load
        p.setPen(Ink(0.9));
        p.setBrush(QColor(246, 205, 120));
        p.drawPolygon(
            QPolygonF({{1.5, 4}, {6, 4}, {7.5, 5.5}, {14.5, 5.5}, {14.5, 13.5}, {1.5, 13.5}}));
        p.setPen(Qt::NoPen);
        p.setBrush(kGreen);
        p.drawPolygon(QPolygonF(
            {{8, 1}, {11.5, 4.5}, {9.2, 4.5}, {9.2, 9}, {6.8, 9}, {6.8, 4.5}, {4.5, 4.5}}));
    });
    Save(out, "tool1", 24, [](QPainter& p) {  // save
        p.setPen(Ink(0.9));
        p.setBrush(kInk.lighter(160));
        p.drawRoundedRect(QRectF(2, 2, 12, 12), 1, 1);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 2, 7, 4.5));
        p.setBrush(kFill);
        p.drawRect(QRectF(4, 9, 8, 5));
    });
    Save(out, "tool2", 24, [](QPainter& p) {  // process
        Sheet(p);
        p.setPen(Qt::NoPen);
        p.setBrush(kGreen);
        p.drawPolygon(QPolygonF({{6, 5}, {11.5, 8.5}, {6, 12}}));
    });
    Save(out, "tool3", 24, [](QPainter& p) {  // spare: a stack of files
        p.setPen(Ink(0.9));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(5, 2, 9, 10));
        p.drawRect(QRectF(2, 5, 9, 10));
    });
    Save(out, "tool4", 24, [](QPainter& p) {  // exit
        p.setPen(Ink(1.0));
        p.setBrush(kFill);
        p.drawRect(QRectF(2, 2, 7, 12));
        p.setPen(QPen(kRed, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(7, 8), QPointF(14, 8));
        p.drawPolyline(QPolygonF({{11.5, 5.5}, {14, 8}, {11.5, 10.5}}));
    });
    Save(out, "tool5", 24, [](QPainter& p) {  // show last log
        Sheet(p);
        p.setPen(Ink(0.9));
        for (double y : {5.5, 8.0, 10.5, 13.0})
            p.drawLine(QPointF(5, y), QPointF(11, y));
    });

    // itabs: one per tab.
    Save(out, "tab0", 24, [](QPainter& p) {
        Sheet(p);
        p.setPen(Ink(0.9));
        p.drawEllipse(QPointF(8, 9.5), 3, 3);
        p.drawLine(QPointF(4.5, 13), QPointF(11.5, 5));
    });
    Save(out, "tab1", 24, [](QPainter& p) {
        p.setPen(Ink(1.1));
        for (int i = 0; i < 3; ++i) {
            const double y = 3.5 + 4.5 * i;
            p.drawLine(QPointF(2, y), QPointF(14, y));
            Dot(p, {i == 1 ? 10.0 : 5.0 + 2 * i, y}, 1.9);
            p.setPen(Ink(1.1));
        }
    });
    Save(out, "tab2", 24, [](QPainter& p) { Question(p); });

    // istat, the move buttons, the window icon and the options tab's pictures.
    Save(out, "status", 16, [](QPainter& p) {
        Sheet(p);
        p.setPen(QPen(kGreen, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({{5, 9}, {7.2, 11.5}, {11, 6}}));
    });
    Save(out, "moveup", 16, [](QPainter& p) { Arrow(p, true); });
    Save(out, "movedown", 16, [](QPainter& p) { Arrow(p, false); });
    Save(out, "window", 32, [](QPainter& p) {
        p.setPen(Ink(0.8));
        p.setBrush(kFill);
        p.drawRoundedRect(QRectF(1, 1, 14, 14), 2, 2);
        p.setPen(QPen(kInk.lighter(150), 0.5));
        for (double g : {5.0, 8.0, 11.0}) {
            p.drawLine(QPointF(g, 2), QPointF(g, 14));
            p.drawLine(QPointF(2, g), QPointF(14, g));
        }
        for (QPointF v : {QPointF(5, 11), QPointF(8, 5), QPointF(11, 8)})
            Dot(p, v, 1.5);
    });
    Save(out, "options", 32, [](QPainter& p) {
        Sheet(p);
        p.setPen(QPen(kGreen, 1.2, Qt::SolidLine, Qt::RoundCap));
        for (double y : {5.0, 8.5, 12.0})
            p.drawPolyline(QPolygonF({{4.5, y}, {5.5, y + 1}, {7, y - 1}}));
        p.setPen(Ink(0.9));
        for (double y : {5.0, 8.5, 12.0})
            p.drawLine(QPointF(8.5, y), QPointF(11.5, y));
    });
    Save(out, "help", 32, [](QPainter& p) { Question(p); });
    return 0;
}
