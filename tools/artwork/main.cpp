// Draws every picture the program ships (mark, splash, toolbar icons, work-area background) and the
// resource file that lists them. Everything is vector-drawn here so the set can be re-tuned and
// re-rendered at any size instead of being edited pixel by pixel.

#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

const QString kFamily = QStringLiteral("Liberation Sans");

namespace pal {
const QColor deep(0x0B, 0x3A, 0x58);
const QColor deepTeal(0x0F, 0x55, 0x6C);
const QColor teal(0x15, 0x7F, 0x8C);
const QColor tealLight(0x3B, 0xB0, 0xA3);
const QColor mint(0xB9, 0xE4, 0xDC);
const QColor amber(0xF5, 0xAE, 0x45);
const QColor amberLight(0xFB, 0xC9, 0x6B);
const QColor amberDark(0xD9, 0x7E, 0x22);
const QColor amberInk(0x9C, 0x52, 0x0E);
const QColor cream(0xFF, 0xF9, 0xEE);
const QColor paper(0xF6, 0xFA, 0xFA);
} // namespace pal

QColor withAlpha(QColor c, qreal alpha) {
    c.setAlphaF(static_cast<float>(alpha));
    return c;
}

QBrush vgrad(const QRectF& r, const QColor& top, const QColor& bottom) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return g;
}

QBrush dgrad(const QRectF& r, const QColor& from, const QColor& to) {
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0, from);
    g.setColorAt(1, to);
    return g;
}

// Corners are rounded individually so pointed shapes (tag, bolt) keep a soft, consistent outline.
QPainterPath roundedPolygon(const std::vector<QPointF>& pts, const std::vector<qreal>& radii) {
    QPainterPath path;
    const std::size_t n = pts.size();
    for (std::size_t i = 0; i < n; ++i) {
        const QPointF cur = pts[i];
        const QLineF in(cur, pts[(i + n - 1) % n]);
        const QLineF out(cur, pts[(i + 1) % n]);
        const qreal r = radii[i % radii.size()];
        const QPointF a = in.pointAt(std::min(r, in.length() / 2) / in.length());
        const QPointF b = out.pointAt(std::min(r, out.length() / 2) / out.length());
        if (i == 0)
            path.moveTo(a);
        else
            path.lineTo(a);
        path.quadTo(cur, b);
    }
    path.closeSubpath();
    return path;
}

QPainterPath circle(QPointF c, qreal r) {
    QPainterPath path;
    path.addEllipse(c, r, r);
    return path;
}

QPainterPath roundRect(const QRectF& r, qreal radius) {
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

QFont font(bool bold, int pixelSize = 200) {
    QFont f(kFamily);
    f.setPixelSize(pixelSize);
    f.setWeight(bold ? QFont::Bold : QFont::Normal);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

// Glyphs are centred on their ink, not on the font's line box, so a lone "B" or "$" sits optically in
// the middle of its shape.
QPainterPath glyphPath(const QString& text, QPointF center, qreal inkHeight, bool bold = true) {
    QPainterPath path;
    path.addText(0, 0, font(bold), text);
    const QRectF box = path.boundingRect();
    const qreal k = inkHeight / box.height();
    QTransform t;
    t.translate(center.x(), center.y());
    t.scale(k, k);
    t.translate(-box.center().x(), -box.center().y());
    return t.map(path);
}

// Overlapping parts get a transparent gap instead of an outline: it reads well on any toolbar colour.
void cutOut(QPainter& p, const QPainterPath& path, qreal gap) {
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.setPen(QPen(Qt::black, gap * 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::black);
    p.drawPath(path);
    p.restore();
}

void fill(QPainter& p, const QPainterPath& path, const QBrush& brush) {
    p.setPen(Qt::NoPen);
    p.setBrush(brush);
    p.drawPath(path);
}

QPainterPath strokeOf(const QPainterPath& path, qreal width, Qt::PenCapStyle cap = Qt::RoundCap) {
    QPainterPathStroker s;
    s.setWidth(width);
    s.setCapStyle(cap);
    s.setJoinStyle(Qt::RoundJoin);
    return s.createStroke(path).simplified();
}

// Shoulders are a half-ellipse so the silhouettes stay friendly at 48 px.
QPainterPath personPath(QPointF head, qreal headR, const QRectF& body) {
    constexpr qreal kappa = 0.5523;
    const qreal l = body.left(), r = body.right(), t = body.top(), b = body.bottom();
    const qreal hw = body.width() / 2;
    const qreal ry = std::min(body.height() * 0.8, hw);
    const qreal rb = body.width() * 0.09;
    QPainterPath path;
    path.moveTo(l, b - rb);
    path.lineTo(l, t + ry);
    path.cubicTo(l, t + ry - ry * kappa, l + hw - hw * kappa, t, l + hw, t);
    path.cubicTo(r - hw + hw * kappa, t, r, t + ry - ry * kappa, r, t + ry);
    path.lineTo(r, b - rb);
    path.quadTo(r, b, r - rb, b);
    path.lineTo(l + rb, b);
    path.quadTo(l, b, l, b - rb);
    path.closeSubpath();
    path.addEllipse(head, headR, headR);
    return path;
}

void drawCoin(QPainter& p, QPointF c, qreal r) {
    const QRectF box(c.x() - r, c.y() - r, 2 * r, 2 * r);
    fill(p, circle(c, r), dgrad(box, pal::amberLight, pal::amberDark));
    p.setPen(QPen(withAlpha(pal::amberInk, 0.35), r * 0.1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, r * 0.74, r * 0.74);
    fill(p, glyphPath(QStringLiteral("$"), c, r * 1.05), pal::amberInk);
}

// A badge is the small round sign laid over a glyph's corner (plus, arrow).
void drawBadge(QPainter& p, QPointF c, qreal r, qreal gap) {
    cutOut(p, circle(c, r), gap);
    const QRectF box(c.x() - r, c.y() - r, 2 * r, 2 * r);
    fill(p, circle(c, r), vgrad(box, pal::amberLight, pal::amberDark));
}

// ---- toolbar icons, drawn on a 48-unit grid -------------------------------------------------------

void iconClientes(QPainter& p) {
    const QPainterPath back = personPath({32.5, 13.5}, 6.5, QRectF(21, 23, 24, 19));
    fill(p, back, vgrad(back.boundingRect(), pal::amberLight, pal::amberDark));
    const QPainterPath front = personPath({18, 16.5}, 8, QRectF(3, 28, 30, 17));
    cutOut(p, front, 2.2);
    fill(p, front, vgrad(front.boundingRect(), pal::teal, pal::deep));
}

void iconVendasPrazo(QPainter& p) {
    const QRectF page(4, 8, 34, 33);
    fill(p, roundRect(page, 4.5), pal::deepTeal);
    fill(p, roundRect(page.adjusted(2, 9, -2, -2), 2.5), pal::paper);
    fill(p, roundRect(QRectF(page.left(), page.top(), page.width(), 10), 4.5),
         vgrad(page, pal::tealLight, pal::teal));
    for (qreal x : {12.5, 26.5})
        fill(p, roundRect(QRectF(x, 4, 3.5, 8), 1.75), pal::deep);
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 4; ++col) {
            const QRectF cell(9 + col * 6, 22 + row * 5, 4, 3);
            const bool due = row == 1 && col == 2;
            fill(p, roundRect(cell, 1), due ? pal::amberDark : withAlpha(pal::teal, 0.35));
        }
    }
    const QPointF c(35.5, 35.5);
    cutOut(p, circle(c, 10.5), 2.2);
    drawCoin(p, c, 10.5);
}

void iconVendasVista(QPainter& p) {
    const QRectF note(3, 14, 42, 22);
    p.save();
    p.translate(24, 25);
    p.rotate(-14);
    p.translate(-24, -25);
    fill(p, roundRect(note.translated(0, -4), 3.5), vgrad(note, pal::teal, pal::deepTeal));
    p.restore();

    const QRectF front = note.translated(0, 6);
    cutOut(p, roundRect(front, 3.5), 2.2);
    fill(p, roundRect(front, 3.5), vgrad(front, pal::tealLight, pal::teal));
    p.setPen(QPen(withAlpha(pal::cream, 0.55), 1.4));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(front.adjusted(3, 3, -3, -3), 1.5, 1.5);
    p.setPen(Qt::NoPen);
    for (qreal x : {front.left() + 8.5, front.right() - 8.5})
        fill(p, circle({x, front.center().y()}, 2), withAlpha(pal::cream, 0.75));
    const QPointF c = front.center();
    fill(p, circle(c, 7.5), vgrad(QRectF(c.x() - 7, c.y() - 7, 14, 14), pal::amberLight, pal::amberDark));
    fill(p, glyphPath(QStringLiteral("$"), c, 9.5), pal::amberInk);
}

void iconVendasRapidas(QPainter& p) {
    // Speed streaks on the left carry the "quick" meaning without any text.
    p.setPen(QPen(pal::amber, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3.5, 24), QPointF(10, 24));
    p.drawLine(QPointF(5.5, 31), QPointF(11, 31));
    p.drawLine(QPointF(7.5, 38), QPointF(11, 38));

    const QRectF bag(14, 15, 30, 29);
    p.setPen(QPen(pal::deep, 3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath handle;
    handle.moveTo(22.5, 19);
    handle.lineTo(22.5, 13);
    handle.cubicTo(22.5, 6, 35.5, 6, 35.5, 13);
    handle.lineTo(35.5, 19);
    p.drawPath(handle);

    const QPainterPath body = roundedPolygon(
        {{bag.left() + 1.5, bag.top()}, {bag.right() - 1.5, bag.top()}, bag.bottomRight(), bag.bottomLeft()},
        {2.5, 2.5, 4, 4});
    fill(p, body, vgrad(bag, pal::teal, pal::deep));
    fill(p, roundRect(QRectF(bag.left() + 1.5, bag.top(), bag.width() - 3, 3), 1.5),
         withAlpha(pal::tealLight, 0.8));

    const QPainterPath bolt = roundedPolygon(
        {{32.5, 19}, {23.5, 31.5}, {29, 31.5}, {26.5, 41}, {35.5, 28}, {30, 28}}, {1, 0.6, 0.6, 1, 0.6, 0.6});
    fill(p, bolt, vgrad(bolt.boundingRect(), pal::amberLight, pal::amber));
}

void iconFluxoCaixa(QPainter& p) {
    p.setPen(QPen(withAlpha(pal::deep, 0.85), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(4, 43), QPointF(44, 43));

    const qreal heights[] = {11, 17, 14, 25};
    for (int i = 0; i < 4; ++i) {
        const QRectF bar(6 + i * 10, 40 - heights[i], 7, heights[i]);
        const QColor top = i % 2 ? pal::tealLight : pal::teal;
        const QColor bottom = i % 2 ? pal::teal : pal::deepTeal;
        fill(p, roundRect(bar.adjusted(0, 0, 0, 2), 2), vgrad(bar, top, bottom));
    }

    QPainterPath trend;
    trend.moveTo(5, 25);
    trend.lineTo(16, 15.5);
    trend.lineTo(24, 21);
    trend.lineTo(38, 7.5);
    const QPainterPath head = roundedPolygon({{43.5, 3}, {42, 14}, {32, 4.5}}, {1.2, 1.2, 1.2});
    const QPainterPath arrow = strokeOf(trend, 3.2).united(head);
    cutOut(p, arrow, 2);
    fill(p, arrow, pal::amberDark);
}

void iconTrocarSenha(QPainter& p) {
    // Two half-circle arrows chasing each other say "change"; the key inside says "password".
    const QPointF c(24, 24);
    const qreal r = 18.5;
    const QRectF ring(c.x() - r, c.y() - r, 2 * r, 2 * r);
    auto arcArrow = [&](qreal start, qreal sweep) {
        QPainterPath arc;
        arc.arcMoveTo(ring, start);
        arc.arcTo(ring, start, sweep);
        const QPointF tip = arc.currentPosition();
        const qreal endRad = qDegreesToRadians(start + sweep);
        // Tangent of a clockwise (negative-sweep) arc in screen coordinates.
        const QPointF tangent(std::sin(endRad) * (sweep < 0 ? -1 : 1),
                              std::cos(endRad) * (sweep < 0 ? -1 : 1));
        const QPointF normal(std::cos(endRad), -std::sin(endRad));
        const QPointF front = tip + tangent * 4.5;
        QPainterPath headPath = roundedPolygon(
            {front, tip - tangent * 2.5 + normal * 5.5, tip - tangent * 2.5 - normal * 5.5}, {1, 1, 1});
        return strokeOf(arc, 3.6, Qt::FlatCap).united(headPath);
    };
    fill(p, arcArrow(160, -118), vgrad(ring, pal::tealLight, pal::teal));
    fill(p, arcArrow(-20, -118), vgrad(ring, pal::teal, pal::deepTeal));

    QPainterPath key = circle({16.5, 24}, 7);
    key.setFillRule(Qt::WindingFill);
    key.addRoundedRect(QRectF(20, 21.75, 17.5, 4.5), 1.5, 1.5);
    key.addRoundedRect(QRectF(29, 23, 3.5, 7.5), 1, 1);
    key.addRoundedRect(QRectF(34, 23, 3.5, 5.5), 1, 1);
    key = key.simplified().subtracted(circle({14.5, 24}, 2.6));
    fill(p, key, vgrad(key.boundingRect(), pal::amberLight, pal::amberDark));
}

void iconCadastrarUsuario(QPainter& p) {
    const QPainterPath person = personPath({20, 14.5}, 9, QRectF(4, 27, 32, 18));
    fill(p, person, vgrad(person.boundingRect(), pal::teal, pal::deep));
    const QPointF c(36.5, 35.5);
    drawBadge(p, c, 10, 2.2);
    p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(-5, 0), c + QPointF(5, 0));
    p.drawLine(c + QPointF(0, -5), c + QPointF(0, 5));
}

void iconBackup(QPainter& p) {
    const qreal l = 5, w = 30, ry = 5.5, top = 9, bottom = 41;
    const QRectF box(l, top - ry, w, bottom - top + 2 * ry);
    QPainterPath cyl;
    cyl.moveTo(l, top);
    cyl.arcTo(QRectF(l, top - ry, w, 2 * ry), 180, -180);
    cyl.lineTo(l + w, bottom);
    cyl.arcTo(QRectF(l, bottom - ry, w, 2 * ry), 0, -180);
    cyl.closeSubpath();
    fill(p, cyl, QBrush([&] {
             QLinearGradient g(box.topLeft(), box.topRight());
             g.setColorAt(0, pal::tealLight);
             g.setColorAt(0.55, pal::teal);
             g.setColorAt(1, pal::deepTeal);
             return g;
         }()));
    // Lighter lids between the platters make the stacked-disc reading unmistakable.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(withAlpha(pal::mint, 0.9), 1.6, Qt::SolidLine, Qt::RoundCap));
    for (qreal y : {top + 10.5, top + 21}) {
        QPainterPath band;
        band.arcMoveTo(QRectF(l, y - ry, w, 2 * ry), 180);
        band.arcTo(QRectF(l, y - ry, w, 2 * ry), 180, 180);
        p.drawPath(band);
    }
    const QRectF lid(l, top - ry, w, 2 * ry);
    QPainterPath lidPath;
    lidPath.addEllipse(lid);
    fill(p, lidPath, vgrad(lid, pal::mint, pal::tealLight));

    const QPointF c(36, 35.5);
    drawBadge(p, c, 10.5, 2.2);
    QPainterPath arrow;
    arrow.moveTo(c + QPointF(0, -5.5));
    arrow.lineTo(c + QPointF(0, 4.5));
    arrow.moveTo(c + QPointF(-4.5, 0.5));
    arrow.lineTo(c + QPointF(0, 5));
    arrow.lineTo(c + QPointF(4.5, 0.5));
    p.setPen(QPen(Qt::white, 2.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(arrow);
}

void iconSobre(QPainter& p) {
    const QPointF c(24, 24);
    const QRectF box(3, 3, 42, 42);
    fill(p, circle(c, 21), vgrad(box, pal::tealLight, pal::deepTeal));
    p.setPen(QPen(withAlpha(Qt::white, 0.18), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 18.5, 18.5);
    fill(p, circle({24, 14}, 3.2), Qt::white);
    QPainterPath stem = roundedPolygon({{20, 20.5},
                                        {27, 20.5},
                                        {27, 33},
                                        {29.5, 33},
                                        {29.5, 36.5},
                                        {18.5, 36.5},
                                        {18.5, 33},
                                        {21, 33},
                                        {21, 24},
                                        {20, 24}},
                                       {1.4, 1.4, 0.4, 0.8, 1.2, 1.2, 0.8, 0.4, 0.4, 0.8});
    fill(p, stem, Qt::white);
}

// A shop front: striped awning over a window and a door.
void iconLoja(QPainter& p) {
    const QRectF wall(7, 19, 34, 24);
    fill(p, roundRect(wall, 2.5), vgrad(wall, pal::mint, pal::tealLight));
    fill(p, roundRect(QRectF(11, 25, 13, 10), 1.5), pal::paper);
    fill(p, roundRect(QRectF(27, 25, 10, 18), 1.5), pal::deepTeal);
    fill(p, circle({34.5, 34.5}, 1.1), pal::amberLight);
    fill(p, roundRect(QRectF(4, 41, 40, 3), 1.5), pal::deep);
    // Five scalloped stripes, amber and teal in turn.
    for (int i = 0; i < 5; ++i) {
        const qreal l = 4 + i * 8;
        QPainterPath stripe;
        stripe.moveTo(l + 1, 6);
        stripe.lineTo(l + 7, 6);
        stripe.lineTo(l + 8, 17);
        stripe.arcTo(QRectF(l, 13, 8, 8), 0, -180);
        stripe.closeSubpath();
        const bool amber = i % 2 == 0;
        fill(p, stripe,
             vgrad(stripe.boundingRect(), amber ? pal::amberLight : pal::tealLight,
                   amber ? pal::amberDark : pal::teal));
    }
    fill(p, roundRect(QRectF(4, 4, 40, 3.5), 1.5), pal::deep);
}

struct Icon {
    const char* name;
    const char* label;
    void (*draw)(QPainter&);
};

const Icon kIcons[] = {
    {"clientes", "Clientes", iconClientes},
    {"vendas_prazo", "Vendas a prazo", iconVendasPrazo},
    {"vendas_vista", "Vendas à vista", iconVendasVista},
    {"vendas_rapidas", "Vendas rápidas", iconVendasRapidas},
    {"fluxo_caixa", "Fluxo de caixa", iconFluxoCaixa},
    {"trocar_senha", "Trocar senha", iconTrocarSenha},
    {"cadastrar_usuario", "Cadastrar usuário", iconCadastrarUsuario},
    {"backup", "Backup", iconBackup},
    {"loja", "Loja", iconLoja},
    {"sobre", "Sobre", iconSobre},
};

QImage blank(int w, int h) {
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

QImage renderIcon(const Icon& icon, int size) {
    QImage img = blank(size, size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 48.0, size / 48.0);
    icon.draw(p);
    return img;
}

// ---- the mark ---------------------------------------------------------------------------------------

// Drawn on a 256-unit square: a hanging price tag with a "B", and a coin, i.e. "a shop that sells".
void drawMark(QPainter& p) {
    p.save();
    // The coin sticks out to the lower right; shifting back balances the whole group in the square.
    p.translate(-8, -5);
    p.save();
    p.translate(128, 128);
    p.rotate(-12);
    p.translate(-128, -128);

    QPainterPath tag = roundedPolygon({{58, 88}, {104, 30}, {152, 30}, {198, 88}, {198, 226}, {58, 226}},
                                      {18, 16, 16, 18, 26, 26});
    const QPointF hole(128, 70);
    tag = tag.subtracted(circle(hole, 12));
    const QRectF box = tag.boundingRect();
    fill(p, tag, dgrad(box, pal::tealLight, pal::deep));

    // A darker fold on one side gives the flat tag a little body without real 3D.
    p.save();
    p.setClipPath(tag);
    QPainterPath facet;
    facet.moveTo(128, 0);
    facet.lineTo(256, 0);
    facet.lineTo(256, 256);
    facet.lineTo(128, 256);
    facet.closeSubpath();
    fill(p, facet, withAlpha(pal::deep, 0.16));
    p.restore();

    p.setPen(QPen(pal::amber, 6));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(hole, 15, 15);

    fill(p, glyphPath(QStringLiteral("B"), {122, 148}, 88), pal::cream);
    p.restore();

    const QPointF coin(200, 206);
    cutOut(p, circle(coin, 40), 7);
    drawCoin(p, coin, 40);
    p.restore();
}

// Box blur three times approximates a Gaussian well enough for a soft drop shadow.
QImage blurredAlpha(const QImage& src, int radius) {
    const int w = src.width(), h = src.height();
    std::vector<float> a(static_cast<std::size_t>(w) * h), tmp(a.size());
    for (int y = 0; y < h; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        for (int x = 0; x < w; ++x)
            a[static_cast<std::size_t>(y) * w + x] = qAlpha(line[x]) / 255.0f;
    }
    auto pass = [&](std::vector<float>& from, std::vector<float>& to, bool horizontal) {
        const int len = horizontal ? w : h, lines = horizontal ? h : w;
        for (int l = 0; l < lines; ++l) {
            auto at = [&](int i) -> float& {
                const int x = horizontal ? i : l, y = horizontal ? l : i;
                return from[static_cast<std::size_t>(y) * w + x];
            };
            float sum = 0;
            for (int i = -radius; i <= radius; ++i)
                sum += (i >= 0 && i < len) ? at(i) : 0;
            for (int i = 0; i < len; ++i) {
                const int x = horizontal ? i : l, y = horizontal ? l : i;
                to[static_cast<std::size_t>(y) * w + x] = sum / (2 * radius + 1);
                const int add = i + radius + 1, drop = i - radius;
                sum += (add < len ? at(add) : 0) - (drop >= 0 ? at(drop) : 0);
            }
        }
    };
    for (int k = 0; k < 3; ++k) {
        pass(a, tmp, true);
        pass(tmp, a, false);
    }
    QImage out(w, h, QImage::Format_Alpha8);
    for (int y = 0; y < h; ++y) {
        uchar* line = out.scanLine(y);
        for (int x = 0; x < w; ++x)
            line[x] =
                static_cast<uchar>(std::clamp(a[static_cast<std::size_t>(y) * w + x], 0.0f, 1.0f) * 255);
    }
    return out;
}

void drawShadowOf(QPainter& p, const QImage& shape, QPointF offset, int radius, const QColor& color) {
    const QImage alpha = blurredAlpha(shape, radius);
    QImage tinted = blank(shape.width(), shape.height());
    {
        QPainter tp(&tinted);
        tp.drawImage(0, 0, alpha);
        tp.setCompositionMode(QPainter::CompositionMode_SourceIn);
        tp.fillRect(tinted.rect(), color);
    }
    p.drawImage(offset, tinted);
}

// The mark alone, with room around it, so callers can lay it out with or without a shadow.
QImage markImage(int size, qreal inset) {
    QImage img = blank(size, size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal k = (size - 2 * inset) / 256.0;
    p.translate(inset, inset);
    p.scale(k, k);
    drawMark(p);
    return img;
}

QImage renderLogo(int size) {
    const QImage mark = markImage(size, size * 0.06);
    QImage img = blank(size, size);
    QPainter p(&img);
    drawShadowOf(p, mark, {0, size * 0.02}, std::max(2, size / 64), QColor(6, 30, 45, 70));
    p.drawImage(0, 0, mark);
    return img;
}

// ---- splash and background --------------------------------------------------------------------------

QImage renderSplash() {
    const int w = 520, h = 300;
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF all(0, 0, w, h);
    fill(p, roundRect(all, 0), dgrad(all, QColor(0xFE, 0xFC, 0xF7), QColor(0xE6, 0xEF, 0xF1)));

    // Faint rings from the corner: texture that stays clear of the wordmark and of the message line.
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 5; ++i) {
        p.setPen(QPen(withAlpha(pal::teal, 0.03 + 0.008 * i), 14));
        p.drawEllipse(QPointF(w + 30, -50), 70.0 + i * 40, 70.0 + i * 40);
    }

    QPainterPath wave;
    wave.moveTo(0, h - 12);
    wave.cubicTo(w * 0.3, h - 30, w * 0.62, h + 6, w, h - 24);
    wave.lineTo(w, h);
    wave.lineTo(0, h);
    wave.closeSubpath();
    QLinearGradient band(0, 0, w, 0);
    band.setColorAt(0, pal::deep);
    band.setColorAt(0.55, pal::deepTeal);
    band.setColorAt(1, pal::tealLight);
    fill(p, wave, band);
    fill(p, roundRect(QRectF(0, h - 4, w, 4), 0), pal::amber);

    const int markSize = 196;
    const QImage mark = markImage(markSize, 10);
    const QPointF markAt(34, 34);
    drawShadowOf(p, mark, markAt + QPointF(0, 5), 5, QColor(6, 30, 45, 60));
    p.drawImage(markAt, mark);

    QPainterPath word;
    QFont f = font(true, 74);
    f.setLetterSpacing(QFont::PercentageSpacing, 97);
    word.addText(0, 0, f, QStringLiteral("Brolavi"));
    const QRectF wb = word.boundingRect();
    const QPainterPath placed = word.translated(236 - wb.left(), 124 - wb.center().y());
    fill(p, placed, vgrad(placed.boundingRect(), pal::deepTeal, pal::deep));
    const QRectF pb = placed.boundingRect();
    fill(p, roundRect(QRectF(pb.left() + 4, pb.bottom() + 16, 58, 6), 3), pal::amber);
    fill(p, roundRect(QRectF(pb.left() + 68, pb.bottom() + 16, 14, 6), 3), pal::tealLight);
    return img;
}

QImage renderBackground() {
    const int w = 1920, h = 1080;
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF all(0, 0, w, h);
    fill(p, roundRect(all, 0), dgrad(all, QColor(0xF6, 0xF8, 0xF8), QColor(0xE3, 0xEC, 0xEE)));

    QRadialGradient glow(QPointF(w * 0.2, h * 0.15), w * 0.6);
    glow.setColorAt(0, QColor(255, 253, 247, 150));
    glow.setColorAt(1, QColor(255, 253, 247, 0));
    p.fillRect(all, glow);

    // A sparse dot grid gives the area some texture while staying far below text contrast.
    for (int y = 24; y < h; y += 32) {
        for (int x = 24; x < w; x += 32)
            fill(p, circle(QPointF(x, y), 1.4), withAlpha(pal::deepTeal, 0.05));
    }

    for (int i = 0; i < 3; ++i) {
        QPainterPath wave;
        const qreal base = h - 210 + i * 70;
        wave.moveTo(0, base + 40);
        wave.cubicTo(w * 0.28, base - 70, w * 0.55, base + 110, w, base - 30 - i * 10);
        wave.lineTo(w, h);
        wave.lineTo(0, h);
        wave.closeSubpath();
        fill(p, wave, withAlpha(pal::teal, 0.035));
    }

    const int markSize = 720;
    const QImage mark = markImage(markSize, 0);
    p.setOpacity(0.06);
    p.drawImage(QPointF(w - markSize * 0.94, h - markSize + 60), mark);
    return img;
}

// ---- output -----------------------------------------------------------------------------------------

bool save(const QImage& img, const QString& dir, const QString& name) {
    const QString path = dir + QLatin1Char('/') + name;
    if (!img.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

bool writeQrc(const QString& dir, const QStringList& files) {
    QFile f(dir + QStringLiteral("/resources.qrc"));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return false;
    QTextStream out(&f);
    out << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n    <qresource prefix=\"/img\">\n";
    for (const QString& name : files)
        out << "        <file>" << name << "</file>\n";
    out << "    </qresource>\n</RCC>\n";
    std::printf("%s\n", qPrintable(f.fileName()));
    return true;
}

// A preview of the whole set as a toolbar would show it, for checking by eye.
QImage renderSheet() {
    const int cell = 150, n = static_cast<int>(std::size(kIcons));
    const int w = cell * n + 40, h = 890;
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(QColor(0xFA, 0xFA, 0xFA));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    auto strip = [&](int y, const QColor& color) {
        p.fillRect(QRect(0, y, w, 86), color);
        p.fillRect(QRect(0, y + 85, w, 1), color.darker(115));
        QFont f(kFamily);
        f.setPixelSize(12);
        p.setFont(f);
        p.setPen(color.lightness() > 128 ? QColor(0x22, 0x22, 0x22) : QColor(0xEE, 0xEE, 0xEE));
        for (int i = 0; i < n; ++i) {
            p.drawImage(QPointF(20 + i * cell + (cell - 48) / 2.0, y + 8), renderIcon(kIcons[i], 48));
            p.drawText(QRectF(20 + i * cell, y + 58, cell, 20), Qt::AlignCenter,
                       QString::fromUtf8(kIcons[i].label));
        }
    };
    strip(0, QColor(0xEC, 0xEC, 0xEE));
    strip(92, QColor(0x3A, 0x3D, 0x42));
    p.fillRect(QRect(0, 186, w, 112), QColor(0xEC, 0xEC, 0xEE));
    for (int i = 0; i < n; ++i)
        p.drawImage(QPointF(20 + i * cell + (cell - 96) / 2.0, 194), renderIcon(kIcons[i], 96));
    // The 48 px files magnified without smoothing, to judge their real pixels.
    for (int i = 0; i < n; ++i) {
        const QImage big =
            renderIcon(kIcons[i], 48).scaled(144, 144, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        p.fillRect(QRect(20 + i * cell + 3, 304, 144, 144), Qt::white);
        p.drawImage(QPointF(20 + i * cell + 3, 304), big);
    }
    p.drawImage(QRectF(20, 460, 256, 256), renderLogo(256));
    p.drawImage(QRectF(296, 460, 520, 300), renderSplash());
    p.drawImage(QRectF(836, 460, 533, 300), renderBackground());
    return img;
}

bool ensureFont() {
    if (QFontInfo(font(true)).family() == kFamily)
        return true;
    // Offscreen platforms may not consult fontconfig; load the files directly then.
    for (const char* file : {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf"})
        QFontDatabase::addApplicationFont(QStringLiteral("/usr/share/fonts/truetype/liberation/") +
                                          QLatin1String(file));
    return QFontInfo(font(true)).family() == kFamily;
}

} // namespace

// The desktop's menu and task bar pick the size nearest to what they show, so each usual size is drawn
// on its own rather than scaled from one picture.
int writeAppIcons(const QString& dir) {
    if (!QDir().mkpath(dir))
        return 1;
    bool ok = true;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256, 512})
        ok = save(renderLogo(size), dir, QStringLiteral("%1.png").arg(size)) && ok;
    return ok ? 0 : 1;
}

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QStringLiteral("--app-icons"))
        return writeAppIcons(args[2]);
    if (args.size() < 2 || args.size() > 3) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR [CONTACT_SHEET.png] | --app-icons DIR\n",
                     qPrintable(args.value(0)));
        return 2;
    }
    if (!ensureFont()) {
        std::fprintf(stderr, "font \"%s\" not found (install fonts-liberation)\n", qPrintable(kFamily));
        return 1;
    }
    const QString dir = args[1];
    if (!QDir().mkpath(dir))
        return 1;

    QStringList files;
    bool ok = true;
    auto put = [&](const QImage& img, const QString& name) {
        ok = save(img, dir, name) && ok;
        files << name;
    };
    put(renderLogo(256), QStringLiteral("logo.png"));
    put(renderSplash(), QStringLiteral("splash.png"));
    put(renderBackground(), QStringLiteral("background.png"));
    for (const Icon& icon : kIcons) {
        const QString name = QString::fromLatin1(icon.name);
        put(renderIcon(icon, 48), name + QStringLiteral(".png"));
        put(renderIcon(icon, 96), name + QStringLiteral("@2x.png"));
    }
    ok = writeQrc(dir, files) && ok;
    if (args.size() == 3)
        ok = renderSheet().save(args[2], "PNG") && ok;
    return ok ? 0 : 1;
}
