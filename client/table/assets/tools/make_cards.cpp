// Draws the table's card pictures, the pointing-hand cursor and the card
// sound, and writes them into one folder (the first argument, default ".").
//
//   C1..C10, CJ, CQ, CK (and the same for D, H, S), JB, JR, back  71 x 96 PNG
//   hand.png   32 x 32 cursor, hot spot at column 12, row 1 (the fingertip)
//   the same names with "@2x" (C1@2x.png, hand@2x.png, ...): twice the size
//   cardd.wav  a short card snap, 16-bit PCM mono 44100 Hz
//   icons/quorvane-N.png, icons/tessarin-N.png  the programs' icons, N x N
//              for N = 16, 32, 48, 64, 128, 256; icons/quorvane.svg and
//              icons/tessarin.svg  the same icons, scalable
//
// Suit symbols are vector paths and letters are turned into paths fitted to
// a box, so the pictures come out the same size whichever fonts the machine
// has. The sound uses a fixed seed, so a rerun writes the same file.

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPolygonF>
#include <QString>
#include <QTextStream>
#include <QTransform>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

constexpr int kWidth = 71;
constexpr int kHeight = 96;
constexpr qreal kMidX = kWidth / 2.0;
constexpr qreal kMidY = kHeight / 2.0;

// The table's pictures all share this exact corner colour; the window relies
// on it to blend the rounded corners into the felt.
const QColor kFelt(0, 128, 0);
const QColor kCardWhite(255, 255, 255);
const QColor kEdge(70, 70, 70);
const QColor kRed(204, 0, 0);
const QColor kBlack(0, 0, 0);
const QColor kGold(236, 184, 32);
const QColor kGoldDark(150, 100, 0);
const QColor kCream(253, 244, 214);
const QColor kSkin(252, 218, 176);
const QColor kBackBlue(28, 58, 150);
const QColor kBackLine(130, 170, 235);

enum class Suit { Clubs, Diamonds, Hearts, Spades };

constexpr std::array<Suit, 4> kSuits{Suit::Clubs, Suit::Diamonds, Suit::Hearts, Suit::Spades};

QChar suitLetter(Suit s) {
    switch (s) {
        case Suit::Clubs: return QLatin1Char('C');
        case Suit::Diamonds: return QLatin1Char('D');
        case Suit::Hearts: return QLatin1Char('H');
        case Suit::Spades: return QLatin1Char('S');
    }
    return QLatin1Char('?');
}

bool isRed(Suit s) { return s == Suit::Diamonds || s == Suit::Hearts; }
QColor suitColour(Suit s) { return isRed(s) ? kRed : kBlack; }

QFont boldFont() {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setBold(true);
    f.setPixelSize(64);  // large master size; every text is scaled to its box
    return f;
}

// ---------------------------------------------------------------- shapes

// Suit symbols in a unit box centred on the origin (x and y in -0.5..0.5),
// the point of the heart and the stems of club and spade at the bottom.
QPainterPath unitSuit(Suit s) {
    QPainterPath p;
    switch (s) {
        case Suit::Hearts:
            p.moveTo(0, -0.26);
            p.cubicTo(-0.06, -0.46, -0.50, -0.52, -0.50, -0.16);
            p.cubicTo(-0.50, 0.10, -0.18, 0.26, 0, 0.50);
            p.cubicTo(0.18, 0.26, 0.50, 0.10, 0.50, -0.16);
            p.cubicTo(0.50, -0.52, 0.06, -0.46, 0, -0.26);
            p.closeSubpath();
            break;
        case Suit::Diamonds:
            p.moveTo(0, -0.5);
            p.quadTo(0.16, -0.22, 0.40, 0);
            p.quadTo(0.16, 0.22, 0, 0.5);
            p.quadTo(-0.16, 0.22, -0.40, 0);
            p.quadTo(-0.16, -0.22, 0, -0.5);
            p.closeSubpath();
            break;
        case Suit::Spades: {
            QPainterPath body;
            body.moveTo(0, -0.50);
            body.cubicTo(0.16, -0.28, 0.50, -0.12, 0.50, 0.12);
            body.cubicTo(0.50, 0.36, 0.16, 0.40, 0.04, 0.20);
            body.lineTo(-0.04, 0.20);
            body.cubicTo(-0.16, 0.40, -0.50, 0.36, -0.50, 0.12);
            body.cubicTo(-0.50, -0.12, -0.16, -0.28, 0, -0.50);
            body.closeSubpath();
            QPainterPath stem;
            stem.moveTo(-0.05, 0.10);
            stem.quadTo(-0.02, 0.38, -0.20, 0.50);
            stem.lineTo(0.20, 0.50);
            stem.quadTo(0.02, 0.38, 0.05, 0.10);
            stem.closeSubpath();
            p = body.united(stem);
            break;
        }
        case Suit::Clubs: {
            const qreal r = 0.215;
            QPainterPath leaves;
            leaves.addEllipse(QPointF(0, -0.27), r, r);
            leaves.addEllipse(QPointF(-0.265, 0.09), r, r);
            leaves.addEllipse(QPointF(0.265, 0.09), r, r);
            leaves.addEllipse(QPointF(0, 0.0), 0.15, 0.15);
            leaves.setFillRule(Qt::WindingFill);
            QPainterPath stem;
            stem.moveTo(-0.05, 0.0);
            stem.quadTo(-0.02, 0.38, -0.20, 0.50);
            stem.lineTo(0.20, 0.50);
            stem.quadTo(0.02, 0.38, 0.05, 0.0);
            stem.closeSubpath();
            p = leaves.simplified().united(stem);
            break;
        }
    }
    return p;
}

// A suit symbol of the given height centred on `centre`; `upsideDown` turns
// it round, as on the lower half of a real card.
QPainterPath suitPath(Suit s, QPointF centre, qreal size, bool upsideDown = false) {
    QTransform t;
    t.translate(centre.x(), centre.y());
    if (upsideDown) t.rotate(180);
    t.scale(size, size);
    return t.map(unitSuit(s));
}

// Text as a path whose ink fills the box's height, centred in the box; a
// text too wide for the box is narrowed rather than shrunk, so "10" keeps the
// height of the other ranks.
QPainterPath textPath(const QString& text, const QRectF& box, const QFont& font = boldFont()) {
    QPainterPath raw;
    raw.addText(0, 0, font, text);
    const QRectF ink = raw.boundingRect();
    const qreal sy = box.height() / ink.height();
    const qreal sx = std::min(sy, box.width() / ink.width());
    QTransform t;
    t.translate(box.center().x(), box.center().y());
    t.scale(sx, sy);
    t.translate(-ink.center().x(), -ink.center().y());
    return t.map(raw);
}

// A five-pointed star.
QPainterPath starPath(QPointF centre, qreal outer, qreal inner) {
    QPolygonF poly;
    for (int i = 0; i < 10; ++i) {
        const qreal r = (i % 2 == 0) ? outer : inner;
        const qreal a = -M_PI / 2 + i * M_PI / 5;
        poly << QPointF(centre.x() + r * std::cos(a), centre.y() + r * std::sin(a));
    }
    QPainterPath p;
    p.addPolygon(poly);
    p.closeSubpath();
    return p;
}

// Draws `paint` twice: once as it is and once turned half round about the
// card's centre, the way court cards and the corner indices are printed.
template <typename Fn>
void twice(QPainter& p, Fn paint) {
    p.save();
    paint(p);
    p.restore();
    p.save();
    p.translate(kMidX, kMidY);
    p.rotate(180);
    p.translate(-kMidX, -kMidY);
    paint(p);
    p.restore();
}

// ---------------------------------------------------------------- cards

// A card `scale` times the base size. Every picture is drawn in base
// coordinates on a painter scaled the same, so the double-size pictures for
// high-density screens are the same drawing, only finer.
QImage blankCard(int scale) {
    QImage img(kWidth * scale, kHeight * scale, QImage::Format_RGB32);
    img.fill(kFelt);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    QPainterPath outline;
    outline.addRoundedRect(QRectF(0.5, 0.5, kWidth - 1, kHeight - 1), 4, 4);
    p.fillPath(outline, kCardWhite);
    p.setPen(QPen(kEdge, 1));
    p.drawPath(outline);
    return img;
}

// The corner pixels sit outside the rounding; set them exactly so that no
// smoothing can leave a slightly different green there.
void fixCorners(QImage& img) {
    const QRgb felt = kFelt.rgb();
    img.setPixel(0, 0, felt);
    img.setPixel(img.width() - 1, 0, felt);
    img.setPixel(0, img.height() - 1, felt);
    img.setPixel(img.width() - 1, img.height() - 1, felt);
}

QString rankText(int rank) {
    switch (rank) {
        case 1: return QStringLiteral("A");
        case 11: return QStringLiteral("J");
        case 12: return QStringLiteral("Q");
        case 13: return QStringLiteral("K");
        default: return QString::number(rank);
    }
}

void drawIndex(QPainter& p, Suit s, int rank) {
    twice(p, [&](QPainter& q) {
        q.fillPath(textPath(rankText(rank), QRectF(2, 4, 10, 11)), suitColour(s));
        q.fillPath(suitPath(s, QPointF(7, 21.5), 8.5), suitColour(s));
    });
}

// Pip centres of the classic layouts for 2 to 10.
std::vector<QPointF> pipLayout(int rank) {
    const qreal l = 23, c = kMidX, r = 48;
    const qreal top = 16, bottom = 80, mid = kMidY;
    const qreal third1 = top + (bottom - top) / 3, third2 = top + 2 * (bottom - top) / 3;
    std::vector<QPointF> pts;
    auto sides = [&](qreal y) {
        pts.emplace_back(l, y);
        pts.emplace_back(r, y);
    };
    switch (rank) {
        case 2: pts = {{c, top}, {c, bottom}}; break;
        case 3: pts = {{c, top}, {c, mid}, {c, bottom}}; break;
        case 4:
            sides(top);
            sides(bottom);
            break;
        case 5:
            sides(top);
            sides(bottom);
            pts.emplace_back(c, mid);
            break;
        case 6:
            sides(top);
            sides(mid);
            sides(bottom);
            break;
        case 7:
            sides(top);
            sides(mid);
            sides(bottom);
            pts.emplace_back(c, (top + mid) / 2);
            break;
        case 8:
            sides(top);
            sides(mid);
            sides(bottom);
            pts.emplace_back(c, (top + mid) / 2);
            pts.emplace_back(c, (mid + bottom) / 2);
            break;
        case 9:
            sides(top);
            sides(third1);
            sides(third2);
            sides(bottom);
            pts.emplace_back(c, mid);
            break;
        case 10:
            sides(top);
            sides(third1);
            sides(third2);
            sides(bottom);
            pts.emplace_back(c, (top + third1) / 2);
            pts.emplace_back(c, (third2 + bottom) / 2);
            break;
        default: break;
    }
    return pts;
}

void drawPips(QPainter& p, Suit s, int rank) {
    const qreal size = rank >= 9 ? 12.5 : 13.5;
    for (const QPointF& pt : pipLayout(rank)) {
        // Pips below the middle stand on their heads, as printed.
        const bool down = pt.y() > kMidY + 0.1;
        p.fillPath(suitPath(s, pt, size, down), suitColour(s));
    }
}

void drawAce(QPainter& p, Suit s) {
    const QPointF centre(kMidX, kMidY);
    if (s == Suit::Spades) {
        // The ace of spades gets its traditional flourish: a ring round a big pip.
        p.setPen(QPen(kBlack, 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(centre, 20, 20);
        p.setPen(QPen(kBlack, 0.6));
        p.drawEllipse(centre, 17.5, 17.5);
        p.fillPath(suitPath(s, centre, 28), kBlack);
    } else {
        p.fillPath(suitPath(s, centre, 32), suitColour(s));
    }
}

struct Court {
    QColor robe;
    QColor trim;
};

Court courtColours(int rank) {
    switch (rank) {
        case 11: return {QColor(30, 130, 70), kGold};  // jack: green
        case 12: return {QColor(176, 30, 60), kGold};  // queen: crimson
        default: return {QColor(36, 70, 170), kGold};  // king: royal blue
    }
}

// Headgear for the figure: a crown for the king, a pearled tiara for the
// queen and a feathered cap for the jack.
void drawHeadgear(QPainter& q, int rank, QPointF head, qreal r) {
    q.setPen(QPen(kGoldDark, 0.7));
    if (rank == 13) {
        QPolygonF crown;
        const qreal base = head.y() - r + 1.5, top = base - 8;
        const qreal x0 = head.x() - r - 1, x1 = head.x() + r + 1;
        const qreal w = x1 - x0;
        crown << QPointF(x0, base) << QPointF(x0, top + 2) << QPointF(x0 + w * 0.25, top + 5)
              << QPointF(x0 + w * 0.5, top) << QPointF(x0 + w * 0.75, top + 5) << QPointF(x1, top + 2)
              << QPointF(x1, base);
        q.setBrush(kGold);
        q.drawPolygon(crown);
        q.setPen(Qt::NoPen);
        q.setBrush(kRed);
        q.drawEllipse(QPointF(head.x(), base - 2.2), 1.3, 1.3);
    } else if (rank == 12) {
        const qreal base = head.y() - r + 1.5;
        QPainterPath tiara;
        tiara.moveTo(head.x() - r - 0.5, base);
        tiara.quadTo(head.x(), base - 9, head.x() + r + 0.5, base);
        tiara.closeSubpath();
        q.setBrush(kGold);
        q.drawPath(tiara);
        q.setPen(Qt::NoPen);
        q.setBrush(Qt::white);
        for (int i = -1; i <= 1; ++i)
            q.drawEllipse(QPointF(head.x() + i * 3.2, base - 3.6 + std::abs(i) * 1.2), 1.1, 1.1);
    } else {
        const qreal base = head.y() - r + 2.5;
        QPainterPath cap;
        cap.moveTo(head.x() - r - 1.5, base);
        cap.cubicTo(head.x() - r, base - 7, head.x() + r, base - 7, head.x() + r + 1.5, base);
        cap.closeSubpath();
        q.setBrush(courtColours(11).robe.darker(130));
        q.drawPath(cap);
        QPainterPath feather;
        feather.moveTo(head.x() + 2, base - 4);
        feather.cubicTo(head.x() + 7, base - 12, head.x() + 12, base - 10, head.x() + 11, base - 8);
        feather.cubicTo(head.x() + 8, base - 8, head.x() + 5, base - 6, head.x() + 2, base - 4);
        q.setBrush(kRed);
        q.setPen(QPen(kRed.darker(150), 0.5));
        q.drawPath(feather);
    }
}

void drawCourt(QPainter& p, Suit s, int rank) {
    const QRectF panel(14.5, 9.5, 42, 77);
    const Court col = courtColours(rank);

    p.setPen(Qt::NoPen);
    p.setBrush(kCream);
    p.drawRect(panel);

    // One half of the figure, clipped to the upper half of the panel; the
    // lower half is the same drawing turned round.
    twice(p, [&](QPainter& q) {
        q.setClipRect(QRectF(panel.left(), panel.top(), panel.width(), kMidY - panel.top()));
        const QPointF head(42.5, 28.5);
        const qreal r = 6.2;
        // Robe: shoulders spreading down to the middle line.
        QPainterPath robe;
        robe.moveTo(head.x() - 15, kMidY + 1);
        robe.cubicTo(head.x() - 15, head.y() + 7, head.x() - 7, head.y() + 4.5, head.x(), head.y() + 4.5);
        robe.cubicTo(head.x() + 7, head.y() + 4.5, head.x() + 15, head.y() + 7, head.x() + 15, kMidY + 1);
        robe.closeSubpath();
        q.setPen(QPen(col.robe.darker(160), 0.7));
        q.setBrush(col.robe);
        q.drawPath(robe);
        // Collar trim.
        q.setPen(QPen(col.trim, 1.6));
        q.setBrush(Qt::NoBrush);
        QPainterPath collar;
        collar.moveTo(head.x() - 7, head.y() + 5.2);
        collar.quadTo(head.x(), head.y() + 9.5, head.x() + 7, head.y() + 5.2);
        q.drawPath(collar);
        // Face: the queen's long hair falls behind it, the king wears a beard.
        if (rank == 12) {
            q.setPen(Qt::NoPen);
            q.setBrush(QColor(196, 132, 36));
            q.drawRoundedRect(QRectF(head.x() - r - 1.5, head.y() - r + 1, 2 * r + 3, 2 * r + 4), 3, 3);
        }
        q.setPen(QPen(QColor(150, 100, 60), 0.6));
        q.setBrush(kSkin);
        q.drawEllipse(head, r - 0.5, r);
        if (rank == 13) {
            QPainterPath beard;
            beard.moveTo(head.x() - r + 0.6, head.y() + 0.5);
            beard.quadTo(head.x() - r + 1, head.y() + r + 3, head.x(), head.y() + r + 3.5);
            beard.quadTo(head.x() + r - 1, head.y() + r + 3, head.x() + r - 0.6, head.y() + 0.5);
            beard.quadTo(head.x(), head.y() + 4.5, head.x() - r + 0.6, head.y() + 0.5);
            q.setPen(QPen(QColor(90, 60, 30), 0.5));
            q.setBrush(QColor(140, 96, 52));
            q.drawPath(beard);
        }
        q.setPen(Qt::NoPen);
        q.setBrush(kBlack);
        q.drawEllipse(QPointF(head.x() - 1.9, head.y() - 0.6), 0.65, 0.65);
        q.drawEllipse(QPointF(head.x() + 1.9, head.y() - 0.6), 0.65, 0.65);
        q.setPen(QPen(kRed.darker(120), 0.6));
        q.drawLine(QPointF(head.x() - 1.3, head.y() + 2.3), QPointF(head.x() + 1.3, head.y() + 2.3));
        drawHeadgear(q, rank, head, r);
        // Rank letter and suit in the free corner of the half.
        q.fillPath(textPath(rankText(rank), QRectF(18.5, 13.5, 12, 14)), suitColour(s));
        q.fillPath(suitPath(s, QPointF(24.5, 35.5), 11), suitColour(s));
    });

    // Frame: a coloured double line and the middle line between the halves.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(col.robe, 1.4));
    p.drawRect(panel);
    p.setPen(QPen(kGold, 0.8));
    p.drawRect(panel.adjusted(2, 2, -2, -2));
    p.setPen(QPen(col.robe, 0.9));
    p.drawLine(QPointF(panel.left() + 2, kMidY), QPointF(panel.right() - 2, kMidY));
}

QImage makeCard(Suit s, int rank, int scale) {
    QImage img = blankCard(scale);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale, scale);
        if (rank == 1) {
            drawAce(p, s);
        } else if (rank <= 10) {
            drawPips(p, s, rank);
        } else {
            drawCourt(p, s, rank);
        }
        drawIndex(p, s, rank);
    }
    fixCorners(img);
    return img;
}

QImage makeBack(int scale) {
    QImage img = blankCard(scale);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale, scale);
        const QRectF field(4, 4, kWidth - 8, kHeight - 8);
        QPainterPath fieldPath;
        fieldPath.addRoundedRect(field, 2, 2);
        p.fillPath(fieldPath, kBackBlue);
        p.save();
        p.setClipPath(fieldPath);
        // Diamond lattice centred on the card, a dot in every diamond, so the
        // back looks the same either way up.
        const qreal step = 8;
        p.setPen(QPen(kBackLine, 1));
        for (int m = -20; m <= 20; ++m) {
            const qreal x = kMidX + m * step;
            p.drawLine(QPointF(x - kHeight, kMidY - kHeight), QPointF(x + kHeight, kMidY + kHeight));
            p.drawLine(QPointF(x + kHeight, kMidY - kHeight), QPointF(x - kHeight, kMidY + kHeight));
        }
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        for (int a = -12; a <= 12; ++a) {
            for (int b = -14; b <= 14; ++b) {
                if ((a + b) % 2 == 0) continue;
                p.drawEllipse(QPointF(kMidX + a * step / 2, kMidY + b * step / 2), 0.9, 0.9);
            }
        }
        p.restore();
        // A white frame inside the field and a medallion in the middle.
        p.setPen(QPen(Qt::white, 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(field.adjusted(2.5, 2.5, -2.5, -2.5), 1.5, 1.5);
        p.setPen(QPen(Qt::white, 1.5));
        p.setBrush(kBackBlue);
        p.drawEllipse(QPointF(kMidX, kMidY), 11, 14);
        p.setPen(Qt::NoPen);
        p.setBrush(kGold);
        p.drawPath(starPath(QPointF(kMidX, kMidY + 0.5), 8, 3.4));
    }
    fixCorners(img);
    return img;
}

// A joker: "JOKER" down two corners, a star, a jester's head and the word
// across the middle. The black and the red joker differ in colour throughout.
QImage makeJoker(bool red, int scale) {
    const QColor ink = red ? kRed : kBlack;
    const QColor capA = red ? kRed : QColor(40, 40, 40);
    const QColor capB = red ? kGold : QColor(150, 150, 150);
    const QColor starFill = red ? kGold : kBlack;
    QImage img = blankCard(scale);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale, scale);
        twice(p, [&](QPainter& q) {
            const QString word = QStringLiteral("JOKER");
            for (int i = 0; i < word.size(); ++i) {
                q.fillPath(textPath(word.mid(i, 1), QRectF(2, 4 + i * 8.5, 7, 7)), ink);
            }
        });
        // Star above the head.
        p.setPen(QPen(ink, 0.8));
        p.setBrush(starFill);
        p.drawPath(starPath(QPointF(kMidX, 15), 7.5, 3.1));
        // Jester's cap: three drooping points with bells.
        const QPointF face(kMidX, 45);
        QPainterPath left, middle, right;
        left.moveTo(face.x() - 10, face.y() - 4);
        left.cubicTo(face.x() - 14, face.y() - 12, face.x() - 20, face.y() - 14, face.x() - 17, face.y() - 5);
        left.cubicTo(face.x() - 12, face.y() - 12, face.x() - 6, face.y() - 10, face.x() - 3, face.y() - 7);
        left.closeSubpath();
        right = QTransform(-1, 0, 0, 1, 2 * face.x(), 0).map(left);
        middle.moveTo(face.x() - 6, face.y() - 6);
        middle.cubicTo(face.x() - 5, face.y() - 17, face.x() + 2, face.y() - 22, face.x() + 4, face.y() - 24);
        middle.cubicTo(face.x() + 4, face.y() - 17, face.x() + 6, face.y() - 12, face.x() + 6, face.y() - 6);
        middle.closeSubpath();
        p.setPen(QPen(ink.darker(140), 0.7));
        p.setBrush(capA);
        p.drawPath(left);
        p.drawPath(right);
        p.setBrush(capB);
        p.drawPath(middle);
        // Bells.
        p.setBrush(kGold);
        p.setPen(QPen(kGoldDark, 0.6));
        p.drawEllipse(QPointF(face.x() - 17, face.y() - 4.5), 2, 2);
        p.drawEllipse(QPointF(face.x() + 17, face.y() - 4.5), 2, 2);
        p.drawEllipse(QPointF(face.x() + 4.5, face.y() - 24), 2, 2);
        // Band of the cap and the face.
        p.setPen(QPen(ink.darker(140), 0.7));
        p.setBrush(capB);
        p.drawRoundedRect(QRectF(face.x() - 10, face.y() - 7, 20, 4), 1.5, 1.5);
        p.setPen(QPen(QColor(150, 100, 60), 0.6));
        p.setBrush(kSkin);
        p.drawEllipse(QPointF(face.x(), face.y() + 3), 7, 7.5);
        p.setPen(Qt::NoPen);
        p.setBrush(kBlack);
        p.drawEllipse(QPointF(face.x() - 2.5, face.y() + 1.5), 0.8, 0.8);
        p.drawEllipse(QPointF(face.x() + 2.5, face.y() + 1.5), 0.8, 0.8);
        p.setPen(QPen(kRed.darker(110), 0.8));
        p.setBrush(Qt::NoBrush);
        QPainterPath smile;
        smile.moveTo(face.x() - 3.2, face.y() + 5);
        smile.quadTo(face.x(), face.y() + 8, face.x() + 3.2, face.y() + 5);
        p.drawPath(smile);
        // Ruff collar: alternating points below the chin.
        QPolygonF ruff;
        const qreal ry = face.y() + 10.5;
        for (int i = 0; i <= 8; ++i) {
            const qreal x = face.x() - 12 + i * 3;
            ruff << QPointF(x, (i % 2 == 0) ? ry + 4.5 : ry);
        }
        ruff << QPointF(face.x() + 12, ry + 4.5) << QPointF(face.x() - 12, ry + 4.5);
        p.setPen(QPen(ink.darker(140), 0.6));
        p.setBrush(capA);
        p.drawPolygon(ruff);
        // The word itself, large enough to read from across the table.
        p.fillPath(textPath(QStringLiteral("JOKER"), QRectF(14, 71, 43, 10)), ink);
    }
    fixCorners(img);
    return img;
}

// ---------------------------------------------------------------- cursor

// The pointing hand, one character a pixel: '#' black outline, '.' white,
// anything else transparent. The fingertip is the '#' at column 12, row 1,
// which is where the cursor's hot spot goes.
const std::array<const char*, 32> kHand = {
    "                                ",  //  0
    "           ###                  ",  //  1  fingertip: column 12
    "          #...#                 ",  //  2
    "          #...#                 ",  //  3
    "          #...#                 ",  //  4
    "          #...#                 ",  //  5
    "          #...#                 ",  //  6
    "          #...###               ",  //  7
    "          #...#..###            ",  //  8
    "          #...#..#..##          ",  //  9
    "          #...#..#..#.#         ",  // 10
    "   ###    #...#..#..#..#        ",  // 11
    "  #...#   #...#..#..#..#        ",  // 12
    "  #....#  #...#..#..#..#        ",  // 13
    "   #....# #...#..#..#..#        ",  // 14
    "    #....##............#        ",  // 15
    "     #...#.............#        ",  // 16
    "     #.................#        ",  // 17
    "      #................#        ",  // 18
    "      #................#        ",  // 19
    "       #...............#        ",  // 20
    "       #..............#         ",  // 21
    "        #.............#         ",  // 22
    "        #............#          ",  // 23
    "         #...........#          ",  // 24
    "         #...........#          ",  // 25
    "         #############          ",  // 26
    "                                ",  // 27
    "                                ",  // 28
    "                                ",  // 29
    "                                ",  // 30
    "                                ",  // 31
};

// At `scale` each character becomes a square of scale x scale pixels: the
// outline keeps its weight and the hot spot moves to (12, 1) x scale.
QImage makeHand(int scale) {
    QImage img(32 * scale, 32 * scale, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    for (int y = 0; y < 32; ++y) {
        const char* row = kHand[static_cast<std::size_t>(y)];
        for (int x = 0; x < 32 && row[x] != '\0'; ++x) {
            if (row[x] == '#') p.fillRect(x * scale, y * scale, scale, scale, QColor(0, 0, 0));
            if (row[x] == '.') p.fillRect(x * scale, y * scale, scale, scale, QColor(255, 255, 255));
        }
    }
    return img;
}

// ---------------------------------------------------------------- sound

void putLE(QByteArray& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// A card landing on the table: a bright flick of filtered noise over a short,
// soft thump, both dying away within a tenth of a second.
QByteArray makeSnapWav() {
    constexpr int rate = 44100;
    constexpr int samples = rate * 110 / 1000;
    std::vector<double> s(samples, 0.0);

    std::uint32_t seed = 0x5EEDC0DEu;  // fixed: every run writes the same file
    auto noise = [&seed]() {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<double>(seed >> 8) / static_cast<double>(1u << 23) - 1.0;
    };

    // Two-pole band-pass around 3 kHz for the paper's flick.
    const double f0 = 3000.0, q = 1.2;
    const double w0 = 2 * M_PI * f0 / rate, alpha = std::sin(w0) / (2 * q);
    const double b0 = alpha, b2 = -alpha;
    const double a0 = 1 + alpha, a1 = -2 * std::cos(w0), a2 = 1 - alpha;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;

    double lowState = 0;
    for (int i = 0; i < samples; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double attack = std::min(1.0, t / 0.0008);
        const double n = noise();
        const double x = n * attack * (std::exp(-t / 0.006) + 0.25 * std::exp(-t / 0.035));
        const double y = (b0 * x + b2 * x2 - a1 * y1 - a2 * y2) / a0;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        // A muffled low part: heavily smoothed noise plus a quick 160 Hz knock.
        lowState += 0.08 * (n - lowState);
        const double thump =
            attack * std::exp(-t / 0.012) * (0.6 * std::sin(2 * M_PI * 160 * t) + 0.8 * lowState);
        s[static_cast<std::size_t>(i)] = y * 1.6 + thump * 0.5;
    }
    // Fade the last 20 ms so the sound ends on silence, then set the level.
    const int fade = rate * 20 / 1000;
    for (int i = 0; i < fade; ++i)
        s[static_cast<std::size_t>(samples - 1 - i)] *= static_cast<double>(i) / fade;
    double peak = 0;
    for (double v : s) peak = std::max(peak, std::abs(v));
    const double gain = peak > 0 ? 0.40 / peak : 0;  // about -8 dBFS at the peak

    QByteArray pcm;
    for (double v : s) {
        const long sample = std::lround(std::clamp(v * gain, -1.0, 1.0) * 32767.0);
        putLE(pcm, static_cast<std::uint32_t>(static_cast<std::int16_t>(sample)) & 0xFFFFu, 2);
    }

    QByteArray wav;
    wav.append("RIFF");
    putLE(wav, static_cast<std::uint32_t>(36 + pcm.size()), 4);
    wav.append("WAVE");
    wav.append("fmt ");
    putLE(wav, 16, 4);        // size of the format block
    putLE(wav, 1, 2);         // PCM
    putLE(wav, 1, 2);         // mono
    putLE(wav, rate, 4);      // sample rate
    putLE(wav, rate * 2, 4);  // bytes per second
    putLE(wav, 2, 2);         // bytes per frame
    putLE(wav, 16, 2);        // bits per sample
    wav.append("data");
    putLE(wav, static_cast<std::uint32_t>(pcm.size()), 4);
    wav.append(pcm);
    return wav;
}

// ---------------------------------------------------------------- icons

// An icon is a stack of filled (and perhaps outlined) shapes on a 256 x 256
// canvas: one description gives every PNG size and the scalable SVG.
constexpr qreal kCanvas = 256;
constexpr std::array<int, 6> kIconSizes{16, 32, 48, 64, 128, 256};

struct Shape {
    QPainterPath path;
    QColor fill;
    QColor stroke = Qt::transparent;
    qreal strokeWidth = 0;
};
using Icon = std::vector<Shape>;

// Size 0 is the scalable icon. Small sizes get fewer details and outlines of
// at least one pixel, so that they stay readable.
bool smallIcon(int size) { return size > 0 && size <= 32; }
qreal outlineWidth(int size, qreal wide) { return size > 0 ? std::max(wide, kCanvas / size) : wide; }

QPainterPath roundedRect(const QRectF& r, qreal radius) {
    QPainterPath p;
    p.addRoundedRect(r, radius, radius);
    return p;
}

QPainterPath circle(QPointF centre, qreal radius) {
    QPainterPath p;
    p.addEllipse(centre, radius, radius);
    return p;
}

// A card back's field: blue, crossed by a light lattice when there is room.
void addCardBack(Icon& icon, const QTransform& t, const QRectF& field, bool small) {
    const QPainterPath fieldPath = roundedRect(field, 6);
    icon.push_back({t.map(fieldPath), kBackBlue});
    if (small) return;
    QPainterPath lines;
    for (qreal x = -field.height(); x <= field.height(); x += 18) {
        lines.moveTo(x - field.height(), -field.height());
        lines.lineTo(x + field.height(), field.height());
        lines.moveTo(x + field.height(), -field.height());
        lines.lineTo(x - field.height(), field.height());
    }
    QPainterPathStroker stroker;
    stroker.setWidth(3);
    icon.push_back({t.map(stroker.createStroke(lines).intersected(fieldPath)), kBackLine});
    icon.push_back({t.map(roundedRect(field.adjusted(6, 6, -6, -6), 3)), Qt::transparent, Qt::white, 3});
}

// The player's hand: cards fanned from a point below the canvas, a card
// back, the ace of hearts and, in front, the ace of spades. The smallest
// size keeps only the two aces, larger.
Icon tessarinIcon(int size) {
    const bool small = smallIcon(size);
    const bool tiny = size > 0 && size <= 16;
    const qreal w = tiny ? 150 : 112, h = tiny ? 200 : 160;
    const QRectF face(-w / 2, -h / 2, w, h);
    const qreal edge = outlineWidth(size, 3);
    Icon icon;
    std::vector<std::pair<qreal, int>> cards{{-17, 0}, {0, 1}, {17, 2}};  // angle, which card
    if (tiny) cards = {{-13, 1}, {13, 2}};
    for (const auto& [angle, which] : cards) {
        QTransform t;
        t.translate(kCanvas / 2 + (tiny ? -10 : 0), tiny ? 330 : 300);
        t.rotate(angle);
        t.translate(0, tiny ? -200 : -146);
        // A soft shadow to the lower right lifts each card off the one below.
        if (!small) icon.push_back({t.map(roundedRect(face.translated(4, 5), 12)), QColor(0, 0, 0, 60)});
        icon.push_back({t.map(roundedRect(face, 12)), kCardWhite, kEdge, edge});
        if (which == 0) {
            addCardBack(icon, t, face.adjusted(10, 10, -10, -10), small);
            continue;
        }
        const Suit s = which == 1 ? Suit::Hearts : Suit::Spades;
        if (tiny) {
            icon.push_back({t.map(suitPath(s, QPointF(which == 1 ? -22 : 0, -20), 84)), suitColour(s)});
        } else if (small) {
            icon.push_back({t.map(suitPath(s, QPointF(-w / 2 + 30, -h / 2 + 36), 40)), suitColour(s)});
        } else {
            icon.push_back({t.map(textPath(QStringLiteral("A"), QRectF(-w / 2 + 9, -h / 2 + 10, 22, 26))),
                            suitColour(s)});
            icon.push_back({t.map(suitPath(s, QPointF(-w / 2 + 20, -h / 2 + 50), 20)), suitColour(s)});
        }
        if (which == 2 && !tiny)
            icon.push_back({t.map(suitPath(s, QPointF(small ? 10 : 6, 12), small ? 64 : 58)), kBlack});
    }
    return icon;
}

// The house: a poker chip seen from above, with the table's felt in the
// middle and a spade on it.
Icon quorvaneIcon(int size) {
    const bool small = smallIcon(size);
    const QPointF centre(kCanvas / 2, kCanvas / 2 - 6);
    const qreal r = 110;
    const QColor chip(190, 20, 30);
    Icon icon;
    // The chip's rim shows below its face.
    icon.push_back({circle(centre + QPointF(0, 12), r), chip.darker(160), kBlack, outlineWidth(size, 2)});
    icon.push_back({circle(centre, r), chip, chip.darker(200), outlineWidth(size, 2)});
    const int spots = small ? 6 : 8;
    QPainterPath marks;
    for (int i = 0; i < spots; ++i) {
        QTransform t;
        t.translate(centre.x(), centre.y());
        t.rotate(i * 360.0 / spots + 90);
        marks.addPath(t.map(roundedRect(QRectF(-18, -r - 4, 36, 34), 4)));
    }
    icon.push_back({marks.intersected(circle(centre, r - outlineWidth(size, 2) / 2)), kCream});
    if (!small) icon.push_back({circle(centre, 80), Qt::transparent, kCream, 5});
    icon.push_back({circle(centre, small ? 66 : 70), kFelt, kCream, outlineWidth(size, 4)});
    icon.push_back({suitPath(Suit::Spades, centre + QPointF(0, 4), small ? 96 : 84), kBlack});
    return icon;
}

// Scales and moves the drawing so that it fills the canvas up to a margin,
// whatever its layout left free.
Icon fitted(Icon icon) {
    QRectF box;
    for (const Shape& s : icon)
        box |= s.path.boundingRect().adjusted(-s.strokeWidth / 2, -s.strokeWidth / 2, s.strokeWidth / 2,
                                              s.strokeWidth / 2);
    const qreal margin = 6;
    const qreal scale = (kCanvas - 2 * margin) / std::max(box.width(), box.height());
    QTransform t;
    t.translate(kCanvas / 2, kCanvas / 2);
    t.scale(scale, scale);
    t.translate(-box.center().x(), -box.center().y());
    for (Shape& s : icon) s.path = t.map(s.path);
    return icon;
}

QImage renderIcon(const Icon& icon, int size) {
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / kCanvas, size / kCanvas);
    for (const Shape& s : icon) {
        p.setBrush(s.fill.alpha() > 0 ? QBrush(s.fill) : QBrush(Qt::NoBrush));
        p.setPen(s.strokeWidth > 0 ? QPen(s.stroke, s.strokeWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin)
                                   : QPen(Qt::NoPen));
        p.drawPath(s.path);
    }
    return img;
}

QString svgNumber(qreal v) { return QString::number(std::round(v * 100) / 100, 'g', 8); }

// Every shape is already lines and cubic curves, so a path's elements map
// one to one onto SVG path data.
QString svgPathData(const QPainterPath& path) {
    QString d;
    QPointF start;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        const bool lastOfSubpath =
            i + 1 == path.elementCount() || path.elementAt(i + 1).type == QPainterPath::MoveToElement;
        switch (e.type) {
            case QPainterPath::MoveToElement:
                d += QStringLiteral("M");
                start = e;
                break;
            case QPainterPath::LineToElement: d += QStringLiteral("L"); break;
            case QPainterPath::CurveToElement: d += QStringLiteral("C"); break;
            case QPainterPath::CurveToDataElement: d += QStringLiteral(" "); break;
        }
        d += svgNumber(e.x) + QLatin1Char(' ') + svgNumber(e.y);
        if (lastOfSubpath && e.type != QPainterPath::MoveToElement && QPointF(e) == start)
            d += QStringLiteral("Z");
    }
    return d;
}

QString svgPaint(const char* attr, const QColor& c) {
    if (c.alpha() == 0) return QStringLiteral(" %1=\"none\"").arg(QLatin1String(attr));
    QString s = QStringLiteral(" %1=\"%2\"").arg(QLatin1String(attr), c.name());
    if (c.alpha() < 255)
        s += QStringLiteral(" %1-opacity=\"%2\"").arg(QLatin1String(attr), svgNumber(c.alphaF()));
    return s;
}

QByteArray iconSvg(const Icon& icon) {
    QString out;
    QTextStream svg(&out);
    svg << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 "
           "256\">\n";
    for (const Shape& s : icon) {
        svg << "  <path d=\"" << svgPathData(s.path) << "\"" << svgPaint("fill", s.fill);
        if (s.path.fillRule() == Qt::OddEvenFill) svg << " fill-rule=\"evenodd\"";
        if (s.strokeWidth > 0)
            svg << svgPaint("stroke", s.stroke) << " stroke-width=\"" << svgNumber(s.strokeWidth)
                << "\" stroke-linejoin=\"round\"";
        svg << "/>\n";
    }
    svg << "</svg>\n";
    svg.flush();
    return out.toUtf8();
}

// ---------------------------------------------------------------- output

bool savePng(const QImage& img, const QDir& dir, const QString& name) {
    const QString path = dir.filePath(name + QStringLiteral(".png"));
    if (!img.save(path, "PNG")) {
        std::fprintf(stderr, "make_cards: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

bool saveFile(const QDir& dir, const QString& name, const QByteArray& bytes) {
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "make_cards: cannot write %s\n", qPrintable(file.fileName()));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    // Drawing text needs a GUI application but no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QDir dir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    if (!dir.exists()) {
        std::fprintf(stderr, "make_cards: no such folder %s\n", qPrintable(dir.path()));
        return 1;
    }

    bool ok = true;
    // Each picture at its size and, named "<name>@2x", at twice that size for
    // screens of twice the density.
    for (int scale : {1, 2}) {
        const QString suffix = scale == 1 ? QString() : QStringLiteral("@%1x").arg(scale);
        for (Suit s : kSuits) {
            for (int rank = 1; rank <= 13; ++rank) {
                QString name(suitLetter(s));
                switch (rank) {
                    case 11: name += QLatin1Char('J'); break;
                    case 12: name += QLatin1Char('Q'); break;
                    case 13: name += QLatin1Char('K'); break;
                    default: name += QString::number(rank); break;
                }
                ok = savePng(makeCard(s, rank, scale), dir, name + suffix) && ok;
            }
        }
        ok = savePng(makeJoker(false, scale), dir, QStringLiteral("JB") + suffix) && ok;
        ok = savePng(makeJoker(true, scale), dir, QStringLiteral("JR") + suffix) && ok;
        ok = savePng(makeBack(scale), dir, QStringLiteral("back") + suffix) && ok;
        ok = savePng(makeHand(scale), dir, QStringLiteral("hand") + suffix) && ok;
    }

    ok = saveFile(dir, QStringLiteral("cardd.wav"), makeSnapWav()) && ok;

    // The programs' icons, one file a size, named after the program.
    const QDir icons(dir.filePath(QStringLiteral("icons")));
    if (!icons.mkpath(QStringLiteral("."))) ok = false;
    const std::array<std::pair<QString, Icon (*)(int)>, 2> programs{
        {{QStringLiteral("quorvane"), quorvaneIcon}, {QStringLiteral("tessarin"), tessarinIcon}}};
    for (const auto& [name, draw] : programs) {
        for (int size : kIconSizes)
            ok = savePng(renderIcon(fitted(draw(size)), size), icons,
                         name + QLatin1Char('-') + QString::number(size)) &&
                 ok;
        ok = saveFile(icons, name + QStringLiteral(".svg"), iconSvg(fitted(draw(0)))) && ok;
    }
    return ok ? 0 : 1;
}
