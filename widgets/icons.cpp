#include "widgets/icons.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>
#include <functional>

namespace {

const QColor Ink(0x1f, 0x2f, 0x6b);
const QColor Red(0xc8, 0x32, 0x32);
const QColor Green(0x2e, 0x8b, 0x3e);
const QColor Amber(0xe0, 0x9a, 0x1a);
const QColor Sky(0x3a, 0x86, 0xd0);
const QColor Paper(0xfa, 0xfa, 0xf4);

QPen Line(const QColor &c, double w = 1.6) { return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

void Arrow(QPainter &p, QPointF from, QPointF to, const QColor &c)
{
    p.setPen(Line(c, 2.0));
    p.drawLine(from, to);
    const double a = std::atan2(to.y() - from.y(), to.x() - from.x());
    const double s = 3.5;
    QPolygonF head;
    head << to << to - QPointF(s * std::cos(a - 0.5), s * std::sin(a - 0.5))
         << to - QPointF(s * std::cos(a + 0.5), s * std::sin(a + 0.5));
    p.setBrush(c);
    p.setPen(Line(c, 1.0));
    p.drawPolygon(head);
    p.setBrush(Qt::NoBrush);
}

// A servo horn seen from above: the robot joint the position buttons act on.
void Servo(QPainter &p, QPointF c)
{
    p.setPen(Line(Ink));
    p.setBrush(Paper);
    p.drawRoundedRect(QRectF(c.x() - 5, c.y() - 4, 10, 8), 1.5, 1.5);
    p.setBrush(Ink);
    p.drawEllipse(c + QPointF(-1.5, 0), 1.4, 1.4);
    p.setBrush(Qt::NoBrush);
}

void House(QPainter &p, const QRectF &r, const QColor &roof)
{
    QPolygonF roofShape;
    roofShape << QPointF(r.left(), r.top() + r.height() * 0.45) << QPointF(r.center().x(), r.top())
              << QPointF(r.right(), r.top() + r.height() * 0.45);
    p.setPen(Line(roof, 2.0));
    p.drawPolyline(roofShape);
    p.setPen(Line(Ink));
    p.setBrush(Paper);
    const double inset = r.width() * 0.15;
    p.drawRect(QRectF(r.left() + inset, r.top() + r.height() * 0.42, r.width() - 2 * inset, r.height() * 0.58));
    p.setBrush(Ink);
    p.drawRect(QRectF(r.center().x() - 1.5, r.bottom() - r.height() * 0.3, 3, r.height() * 0.3));
    p.setBrush(Qt::NoBrush);
}

void Sheet(QPainter &p, const QRectF &r)
{
    p.setPen(Line(Ink));
    p.setBrush(Paper);
    p.drawRect(r);
    p.setBrush(Qt::NoBrush);
}

// A sheet with its top right corner folded: a document.
void DogEared(QPainter &p, const QRectF &r)
{
    const double fold = r.width() * 0.35;
    QPolygonF page;
    page << r.topLeft() << QPointF(r.right() - fold, r.top()) << QPointF(r.right(), r.top() + fold) << r.bottomRight()
         << r.bottomLeft();
    p.setPen(Line(Ink));
    p.setBrush(Paper);
    p.drawPolygon(page);
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF{QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold),
                             QPointF(r.right(), r.top() + fold)});
}

void Plus(QPainter &p, QPointF c, const QColor &colour)
{
    p.setPen(Line(colour, 2.4));
    p.drawLine(c + QPointF(-3.5, 0), c + QPointF(3.5, 0));
    p.drawLine(c + QPointF(0, -3.5), c + QPointF(0, 3.5));
}

// The motion list: a sheet ruled into rows.
void Table(QPainter &p, const QRectF &r)
{
    Sheet(p, r);
    p.setPen(Line(Ink, 1.0));
    for (double y = r.top() + 4; y < r.bottom() - 1; y += 4)
        p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
}

// The servo board with its pins: where the motion slots live.
void Board(QPainter &p, const QRectF &r)
{
    p.setPen(Line(Ink));
    p.setBrush(Green);
    p.drawRoundedRect(r, 1.5, 1.5);
    p.setBrush(Ink);
    for (double x = r.left() + 3; x < r.right() - 1; x += 4)
        p.drawRect(QRectF(x, r.bottom() - 3, 1.6, 1.6));
    p.setBrush(Qt::NoBrush);
}

void Pencil(QPainter &p)
{
    p.setPen(Line(Ink));
    p.setBrush(Amber);
    QPolygonF pencil;
    pencil << QPointF(11, 21) << QPointF(12, 17) << QPointF(20, 9) << QPointF(23, 12) << QPointF(15, 20);
    p.drawPolygon(pencil);
    p.setBrush(Qt::NoBrush);
}

// A scenario: three motions chained one after another, from `topLeft`.
void Chain(QPainter &p, QPointF topLeft, double link, double gap, double height)
{
    p.setPen(Line(Ink, height < 7 ? 1.2 : 1.6));
    for (int i = 0; i < 3; ++i) {
        p.setBrush(i == 1 ? Amber : Paper);
        p.drawRoundedRect(QRectF(topLeft.x() + i * (link + gap), topLeft.y(), link, height), 1, 1);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(Line(Ink, 1.2));
    const double y = topLeft.y() + height / 2;
    for (int i = 1; i < 3; ++i) {
        const double x = topLeft.x() + i * (link + gap);
        p.drawLine(QPointF(x - gap, y), QPointF(x, y));
    }
}

// A row of a list carried up or down by a block arrow.
void MoveRow(QPainter &p, bool up)
{
    Table(p, QRectF(2, 3, 10, 18));
    p.setPen(Line(Ink, 1.0));
    p.setBrush(Amber);
    p.drawRect(QRectF(2, up ? 3 : 15, 10, 6));
    QPolygonF arrow;
    arrow << QPointF(17.5, 2) << QPointF(23, 9) << QPointF(19.8, 9) << QPointF(19.8, 22) << QPointF(15.2, 22)
          << QPointF(15.2, 9) << QPointF(12, 9);
    if (!up) {
        for (QPointF &point : arrow)
            point.setY(24 - point.y());
    }
    p.setPen(Line(Ink, 1.2));
    p.setBrush(Green);
    p.drawPolygon(arrow);
    p.setBrush(Qt::NoBrush);
}

using Drawer = std::function<void(QPainter &)>;

const QHash<QString, Drawer> &Drawers()
{
    static const QHash<QString, Drawer> drawers = {
        {QStringLiteral("MOTION_FILE_BTN"), [](QPainter &p) { Chain(p, QPointF(2, 8), 5.5, 2, 8); }},
        {QStringLiteral("HOME_BTN"), [](QPainter &p) { House(p, QRectF(3, 3, 18, 18), Red); }},
        {QStringLiteral("OPTION_BTN"),
         [](QPainter &p) {
             p.setPen(Line(Ink));
             p.setBrush(Paper);
             for (int i = 0; i < 8; ++i) {
                 p.save();
                 p.translate(12, 12);
                 p.rotate(i * 45.0);
                 p.drawRect(QRectF(-1.8, -9.5, 3.6, 4));
                 p.restore();
             }
             p.drawEllipse(QPointF(12, 12), 6.5, 6.5);
             p.setBrush(Sky);
             p.drawEllipse(QPointF(12, 12), 2.5, 2.5);
             p.setBrush(Qt::NoBrush);
         }},
        {QStringLiteral("OptionMenu3"),
         [](QPainter &p) {
             // transmitter: a box with an antenna and two sticks
             p.setPen(Line(Ink, 2.0));
             p.drawLine(QPointF(17, 9), QPointF(20, 2));
             p.setPen(Line(Ink));
             p.setBrush(Paper);
             p.drawRoundedRect(QRectF(3, 9, 18, 12), 2, 2);
             p.setBrush(Sky);
             p.drawEllipse(QPointF(8, 15), 2.3, 2.3);
             p.drawEllipse(QPointF(16, 15), 2.3, 2.3);
             p.setBrush(Qt::NoBrush);
         }},
        {QStringLiteral("SpeedButton1"),
         [](QPainter &p) {
             // label: a price tag with a hole
             QPolygonF tag;
             tag << QPointF(3, 8) << QPointF(8, 3) << QPointF(21, 3) << QPointF(21, 13) << QPointF(8, 13);
             p.setPen(Line(Ink));
             p.setBrush(Amber);
             p.drawPolygon(tag.translated(0, 4));
             p.setBrush(Paper);
             p.drawEllipse(QPointF(8, 12), 1.6, 1.6);
             p.setPen(Line(Ink, 1.2));
             p.drawLine(QPointF(12, 10), QPointF(18, 10));
             p.drawLine(QPointF(12, 14), QPointF(16, 14));
             p.setBrush(Qt::NoBrush);
         }},
        {QStringLiteral("INFO_BTN"),
         [](QPainter &p) {
             p.setPen(Line(Ink));
             p.setBrush(Sky);
             p.drawEllipse(QPointF(12, 12), 9, 9);
             p.setPen(Line(Qt::white, 2.4));
             p.drawLine(QPointF(12, 11), QPointF(12, 17));
             p.drawPoint(QPointF(12, 7.2));
             p.setBrush(Qt::NoBrush);
         }},
        {QStringLiteral("EXIT_BTN"),
         [](QPainter &p) {
             // an open door with an arrow leaving it
             p.setPen(Line(Ink));
             p.setBrush(Paper);
             p.drawRect(QRectF(4, 3, 10, 18));
             p.setBrush(Ink);
             p.drawEllipse(QPointF(11.5, 12.5), 1, 1);
             p.setBrush(Qt::NoBrush);
             Arrow(p, QPointF(12, 12), QPointF(21, 12), Red);
         }},
        {QStringLiteral("MONITOR_BTN"),
         [](QPainter &p) {
             // line monitor: a screen showing frames going out and a reply coming back
             p.setPen(Line(Ink));
             p.setBrush(Paper);
             p.drawRoundedRect(QRectF(2, 3, 20, 15), 2, 2);
             p.drawLine(QPointF(9, 21), QPointF(15, 21));
             p.drawLine(QPointF(12, 18), QPointF(12, 21));
             QPolygonF out;
             out << QPointF(4, 9) << QPointF(6, 9) << QPointF(6, 6) << QPointF(9, 6) << QPointF(9, 9) << QPointF(11, 9);
             p.setPen(Line(Green, 1.4));
             p.drawPolyline(out);
             QPolygonF back;
             back << QPointF(11, 14) << QPointF(14, 14) << QPointF(14, 11) << QPointF(17, 11) << QPointF(17, 14)
                  << QPointF(20, 14);
             p.setPen(Line(Red, 1.4));
             p.drawPolyline(back);
             p.setBrush(Qt::NoBrush);
         }},
        {QStringLiteral("SHOT_BTN"),
         [](QPainter &p) {
             // teaching: a hand guiding a joint
             Servo(p, QPointF(8, 15));
             p.setPen(Line(Ink, 2.0));
             p.drawLine(QPointF(6.5, 15), QPointF(14, 6));
             p.setPen(Line(Amber, 2.2));
             p.drawArc(QRectF(11, 2, 10, 10), 200 * 16, 200 * 16);
             Arrow(p, QPointF(20, 9), QPointF(19, 13), Amber);
         }},
        {QStringLiteral("SETPOS_BTN"),
         [](QPainter &p) {
             // send the screen's positions to the servo
             Sheet(p, QRectF(2, 4, 8, 11));
             Servo(p, QPointF(17, 16));
             Arrow(p, QPointF(8, 10), QPointF(18, 10), Green);
         }},
        {QStringLiteral("GETPOS_BTN"),
         [](QPainter &p) {
             // read the servo's positions onto the screen
             Sheet(p, QRectF(2, 4, 8, 11));
             Servo(p, QPointF(17, 16));
             Arrow(p, QPointF(19, 8), QPointF(8.5, 8), Sky);
         }},
        {QStringLiteral("NOW_BTN"),
         [](QPainter &p) {
             House(p, QRectF(9, 6, 13, 13), Red);
             p.setPen(Line(Green, 2.0));
             p.drawArc(QRectF(1, 4, 12, 14), 90 * 16, 150 * 16);
             Arrow(p, QPointF(5, 5), QPointF(9, 5), Green);
         }},
        {QStringLiteral("SLEEP_BTN"),
         [](QPainter &p) {
             QPainterPath moon;
             moon.addEllipse(QPointF(10, 13), 8, 8);
             QPainterPath bite;
             bite.addEllipse(QPointF(14, 9), 7, 7);
             p.setPen(Line(Ink));
             p.setBrush(Amber);
             p.drawPath(moon.subtracted(bite));
             p.setBrush(Qt::NoBrush);
             QFont f = p.font();
             f.setPixelSize(8);
             f.setBold(true);
             p.setFont(f);
             p.setPen(Ink);
             p.drawText(QRectF(14, 1, 9, 9), Qt::AlignCenter, QStringLiteral("z"));
         }},
        {QStringLiteral("DEFAULT_BTN"),
         [](QPainter &p) {
             // default mode: servos powered
             p.setPen(Line(Green, 2.2));
             p.drawArc(QRectF(4, 5, 16, 16), 120 * 16, 300 * 16);
             p.drawLine(QPointF(12, 2.5), QPointF(12, 12));
         }},
        {QStringLiteral("GRID_BTN"),
         [](QPainter &p) {
             p.setPen(Line(Ink));
             p.setBrush(Paper);
             p.drawRect(QRectF(3, 4, 18, 16));
             p.setBrush(Sky);
             p.drawRect(QRectF(3, 4, 18, 4));
             p.setBrush(Qt::NoBrush);
             p.setPen(Line(Ink, 1.0));
             for (double y : {12.0, 16.0})
                 p.drawLine(QPointF(3, y), QPointF(21, y));
             for (double x : {9.0, 15.0})
                 p.drawLine(QPointF(x, 4), QPointF(x, 20));
         }},
        {QStringLiteral("GRAPH_BTN"),
         [](QPainter &p) {
             p.setPen(Line(Ink));
             p.drawLine(QPointF(3, 3), QPointF(3, 21));
             p.drawLine(QPointF(3, 21), QPointF(21, 21));
             p.setPen(Line(Red, 2.0));
             QPolygonF curve;
             curve << QPointF(4, 17) << QPointF(9, 10) << QPointF(13, 14) << QPointF(20, 5);
             p.drawPolyline(curve);
         }},
        {QStringLiteral("ADDITEM_BTN"),
         [](QPainter &p) {
             Sheet(p, QRectF(2, 6, 14, 12));
             p.setPen(Line(Ink, 1.0));
             p.drawLine(QPointF(4, 10), QPointF(14, 10));
             p.drawLine(QPointF(4, 14), QPointF(14, 14));
             p.setPen(Line(Green, 2.6));
             p.drawLine(QPointF(18, 12), QPointF(18, 22));
             p.drawLine(QPointF(13, 17), QPointF(23, 17));
         }},
        {QStringLiteral("SpeedButton3"),
         [](QPainter &p) {
             // overwrite: a pencil across a row
             Sheet(p, QRectF(2, 6, 14, 12));
             p.setPen(Line(Ink, 1.0));
             p.drawLine(QPointF(4, 10), QPointF(14, 10));
             p.drawLine(QPointF(4, 14), QPointF(14, 14));
             p.setPen(Line(Ink));
             p.setBrush(Amber);
             QPolygonF pencil;
             pencil << QPointF(11, 20) << QPointF(12, 16) << QPointF(20, 8) << QPointF(23, 11) << QPointF(15, 19);
             p.drawPolygon(pencil);
             p.setBrush(Qt::NoBrush);
         }},
        // The motion editor's tool bar.
        {QStringLiteral("NEW_BTN"),
         [](QPainter &p) {
             DogEared(p, QRectF(5, 2, 13, 18));
             Plus(p, QPointF(17, 17), Green);
         }},
        {QStringLiteral("OPEN_BTN"),
         [](QPainter &p) {
             p.setPen(Line(Ink));
             p.setBrush(Amber);
             QPolygonF back;
             back << QPointF(2, 19) << QPointF(2, 6) << QPointF(8, 6) << QPointF(10, 8) << QPointF(19, 8)
                  << QPointF(19, 19);
             p.drawPolygon(back);
             p.setBrush(Paper);
             QPolygonF flap;
             flap << QPointF(2, 19) << QPointF(6, 11) << QPointF(22, 11) << QPointF(19, 19);
             p.drawPolygon(flap);
             p.setBrush(Qt::NoBrush);
         }},
        {QStringLiteral("SAVE_BTN"),
         [](QPainter &p) {
             // a floppy disk
             p.setPen(Line(Ink));
             p.setBrush(Sky);
             QPolygonF disk;
             disk << QPointF(3, 3) << QPointF(18, 3) << QPointF(21, 6) << QPointF(21, 21) << QPointF(3, 21);
             p.drawPolygon(disk);
             p.setBrush(Paper);
             p.drawRect(QRectF(7, 3, 9, 6));
             p.drawRect(QRectF(6, 13, 12, 8));
             p.setBrush(Ink);
             p.drawRect(QRectF(12.5, 4.5, 2, 3));
             p.setBrush(Qt::NoBrush);
         }},
        {QStringLiteral("DEF_SCR_BTN"),
         [](QPainter &p) {
             // the table put back: a grid with an arrow turning back
             Table(p, QRectF(3, 7, 14, 13));
             p.setPen(Line(Green, 2.0));
             p.drawArc(QRectF(11, 2, 10, 10), 0 * 16, 200 * 16);
             Arrow(p, QPointF(21, 6.5), QPointF(21, 9.5), Green);
         }},
        {QStringLiteral("COPY_BTN"),
         [](QPainter &p) {
             Sheet(p, QRectF(3, 3, 11, 14));
             DogEared(p, QRectF(9, 7, 12, 15));
         }},
        {QStringLiteral("CUT_BTN"),
         [](QPainter &p) {
             // scissors
             p.setPen(Line(Ink, 1.8));
             p.drawLine(QPointF(7, 2), QPointF(15, 15));
             p.drawLine(QPointF(17, 2), QPointF(9, 15));
             p.setBrush(Paper);
             p.setPen(Line(Red, 2.0));
             p.drawEllipse(QPointF(7, 18), 3.2, 3.2);
             p.drawEllipse(QPointF(17, 18), 3.2, 3.2);
             p.setBrush(Ink);
             p.setPen(Qt::NoPen);
             p.drawEllipse(QPointF(12, 10.5), 1.2, 1.2);
             p.setBrush(Qt::NoBrush);
         }},
        {QStringLiteral("PASTE_BTN"),
         [](QPainter &p) {
             // a clipboard with a sheet on it
             p.setPen(Line(Ink));
             p.setBrush(Amber);
             p.drawRoundedRect(QRectF(3, 4, 15, 18), 1.5, 1.5);
             p.setBrush(Ink);
             p.drawRoundedRect(QRectF(7, 2, 7, 4), 1, 1);
             DogEared(p, QRectF(10, 9, 11, 13));
         }},
        {QStringLiteral("MOT_WRITE_BTN"),
         [](QPainter &p) {
             Board(p, QRectF(3, 13, 18, 8));
             Arrow(p, QPointF(12, 2), QPointF(12, 12), Red);
         }},
        {QStringLiteral("MOT_READ_BTN"),
         [](QPainter &p) {
             Board(p, QRectF(3, 13, 18, 8));
             Arrow(p, QPointF(12, 12), QPointF(12, 2), Sky);
         }},
        {QStringLiteral("MOT_FORMAT_BTN"),
         [](QPainter &p) {
             // the board's slot wiped: a board with an eraser on it
             Board(p, QRectF(3, 13, 18, 8));
             p.save();
             p.translate(12, 7);
             p.rotate(-30);
             p.setPen(Line(Ink));
             p.setBrush(Paper);
             p.drawRect(QRectF(-7, -3.5, 7, 7));
             p.setBrush(Red);
             p.drawRect(QRectF(0, -3.5, 7, 7));
             p.restore();
             p.setBrush(Qt::NoBrush);
         }},
        {QStringLiteral("RUN_BTN"),
         [](QPainter &p) {
             p.setPen(Line(Ink));
             p.setBrush(Green);
             QPolygonF play;
             play << QPointF(6, 3) << QPointF(20, 12) << QPointF(6, 21);
             p.drawPolygon(play);
             p.setBrush(Qt::NoBrush);
         }},
        {QStringLiteral("EDITION_BTN"),
         [](QPainter &p) {
             Table(p, QRectF(2, 3, 14, 13));
             Pencil(p);
         }},
        {QStringLiteral("INSERT_BTN"),
         [](QPainter &p) {
             Table(p, QRectF(2, 3, 14, 18));
             p.setPen(Line(Green, 2.0));
             p.drawLine(QPointF(1, 12), QPointF(17, 12));
             Plus(p, QPointF(19, 12), Green);
         }},
        {QStringLiteral("DELETE_BTN"),
         [](QPainter &p) {
             Table(p, QRectF(2, 3, 14, 18));
             p.setPen(Line(Red, 2.4));
             p.drawLine(QPointF(15, 8), QPointF(22, 15));
             p.drawLine(QPointF(22, 8), QPointF(15, 15));
         }},
        // The scenario editor's tool bar: its board buttons act on a scenario slot, marked by the chain of
        // the main window's scenario button.
        {QStringLiteral("MOTION_LIST_READ"),
         [](QPainter &p) {
             // the boards' list of motion slots read onto the screen
             Board(p, QRectF(3, 13, 18, 8));
             Table(p, QRectF(2, 2, 10, 9));
             Arrow(p, QPointF(17.5, 12), QPointF(17.5, 2), Sky);
         }},
        {QStringLiteral("FILE_UP_BTN"), [](QPainter &p) { MoveRow(p, true); }},
        {QStringLiteral("FILE_DOWN_BTN"), [](QPainter &p) { MoveRow(p, false); }},
        {QStringLiteral("FILE_WRITE_BTN"),
         [](QPainter &p) {
             Board(p, QRectF(3, 13, 18, 8));
             Chain(p, QPointF(1.5, 3), 3.4, 1.2, 6);
             Arrow(p, QPointF(18.5, 2), QPointF(18.5, 12), Red);
         }},
        {QStringLiteral("FILE_READ_BTN"),
         [](QPainter &p) {
             Board(p, QRectF(3, 13, 18, 8));
             Chain(p, QPointF(1.5, 3), 3.4, 1.2, 6);
             Arrow(p, QPointF(18.5, 12), QPointF(18.5, 2), Sky);
         }},
        {QStringLiteral("FILE_FORMAT_BTN"),
         [](QPainter &p) {
             Board(p, QRectF(3, 13, 18, 8));
             Chain(p, QPointF(1.5, 3), 3.4, 1.2, 6);
             p.save();
             p.translate(18.5, 6.5);
             p.rotate(-30);
             p.setPen(Line(Ink, 1.2));
             p.setBrush(Paper);
             p.drawRect(QRectF(-4.5, -2.5, 4.5, 5));
             p.setBrush(Red);
             p.drawRect(QRectF(0, -2.5, 4.5, 5));
             p.restore();
             p.setBrush(Qt::NoBrush);
         }},
        {QStringLiteral("FILE_BTN"),
         [](QPainter &p) {
             p.setPen(Line(Ink));
             p.setBrush(Green);
             QPolygonF play;
             play << QPointF(8, 1.5) << QPointF(19, 8) << QPointF(8, 14.5);
             p.drawPolygon(play);
             p.setBrush(Qt::NoBrush);
             Chain(p, QPointF(2, 16), 5.5, 2, 6.5);
         }},
        {QStringLiteral("Orvane"),
         [](QPainter &p) {
             // a small robot head
             p.setPen(Line(Ink, 2.0));
             p.drawLine(QPointF(12, 2), QPointF(12, 5));
             p.setBrush(Red);
             p.drawEllipse(QPointF(12, 2.5), 1.5, 1.5);
             p.setBrush(Sky);
             p.drawRoundedRect(QRectF(3, 5, 18, 15), 3, 3);
             p.setBrush(Paper);
             p.drawEllipse(QPointF(8.5, 11), 2.5, 2.5);
             p.drawEllipse(QPointF(15.5, 11), 2.5, 2.5);
             p.drawLine(QPointF(8, 16.5), QPointF(16, 16.5));
             p.setBrush(Qt::NoBrush);
         }},
    };
    return drawers;
}

QPixmap Render(const Drawer &draw, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(size / 24.0, size / 24.0);
    draw(p);
    return pixmap;
}

}  // namespace

QIcon OrvaneIcon(const QString &name)
{
    const auto it = Drawers().constFind(name);
    if (it == Drawers().constEnd())
        return {};
    QIcon icon;
    for (int size : {16, 20, 24, 32, 48})
        icon.addPixmap(Render(*it, size));
    return icon;
}
