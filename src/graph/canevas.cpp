#include "graph/canevas.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <mutex>

namespace kelvor {

void InstalleSubstitutionCalibri()
{
    static std::once_flag fait;
    std::call_once(fait, [] { QFont::insertSubstitution(QStringLiteral("Calibri"),
                                                        QStringLiteral("Carlito")); });
}

// Font built from the last name and size seen, with its metrics on the current device.
struct TCanevasQt::Cache
{
    QString nom;
    qint32 taille = -1;
    const QPaintDevice* device = nullptr;
    bool valide = false;
    QFont font;
    QFontMetrics metriques{QFont()};
};

TCanevasQt::TCanevasQt() : cache_(std::make_unique<Cache>())
{
    InstalleSubstitutionCalibri();
}

TCanevasQt::TCanevasQt(QPaintDevice* device) : TCanevasQt()
{
    Attache(device);
}

TCanevasQt::~TCanevasQt()
{
    Detache();
}

bool TCanevasQt::Attache(QPaintDevice* device)
{
    Detache();
    propre_ = std::make_unique<QPainter>();
    if (!propre_->begin(device)) {
        propre_.reset();
        return false;
    }
    Attache(propre_.get());
    return true;
}

void TCanevasQt::Attache(QPainter* painter)
{
    if (propre_ && painter != propre_.get())
        Detache();
    painter_ = painter;
    painter_->setRenderHint(QPainter::Antialiasing, false);
    painter_->setBrush(Qt::NoBrush);
    painter_->setBackgroundMode(Qt::TransparentMode);
    inversionNative_ = painter_->paintEngine()
                       && painter_->paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
    modeInverse_ = false;
    painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
    penValide_ = false;
    cache_->valide = false;
}

void TCanevasQt::Detache()
{
    if (propre_ && propre_->isActive())
        propre_->end();
    propre_.reset();
    painter_ = nullptr;
    penValide_ = false;
    cache_->valide = false;
}

void TCanevasQt::AppliquePen()
{
    const bool inverse = Pen.Mode == pmNot && inversionNative_;
    if (inverse != modeInverse_) {
        painter_->setCompositionMode(inverse ? QPainter::RasterOp_SourceXorDestination
                                             : QPainter::CompositionMode_SourceOver);
        modeInverse_ = inverse;
        penValide_ = false;
    }
    if (penValide_ && penApplique_.Color == Pen.Color && penApplique_.Width == Pen.Width
        && penApplique_.Style == Pen.Style && penApplique_.Mode == Pen.Mode)
        return;
    // Xor with white flips every colour bit; a surface without raster operations (a
    // printed page) gets black, which is what inverting white paper gives.
    QColor couleur = QColor::fromRgb(Pen.Color);
    if (Pen.Mode == pmNot)
        couleur = inversionNative_ ? QColor(Qt::white) : QColor(Qt::black);
    const qint32 largeur = std::max<qint32>(1, Pen.Width);
    QPen pen(couleur, largeur, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    // Dash lengths stay in pixels whatever the width.
    if (Pen.Style == psDash)
        pen.setDashPattern({8.0 / largeur, 4.0 / largeur});
    else if (Pen.Style == psDot)
        pen.setDashPattern({1.0 / largeur, 2.0 / largeur});
    painter_->setPen(pen);
    penApplique_ = Pen;
    penValide_ = true;
}

void TCanevasQt::FillRect(const TRectangle& r)
{
    if (!painter_ || r.Right <= r.Left || r.Bottom <= r.Top)
        return;
    if (modeInverse_) {
        painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
        modeInverse_ = false;
        penValide_ = false;
    }
    painter_->fillRect(QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top),
                       QColor::fromRgb(Brush.Color));
}

void TCanevasQt::Rectangle(qint32 x1, qint32 y1, qint32 x2, qint32 y2)
{
    if (!painter_ || x2 <= x1 || y2 <= y1)
        return;
    AppliquePen();
    if (Brush.Style == bsSolid)
        painter_->setBrush(QColor::fromRgb(Brush.Color));
    // With a one-pixel pen, drawRect's outline covers x .. x + w inclusive.
    painter_->drawRect(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
    if (Brush.Style == bsSolid)
        painter_->setBrush(Qt::NoBrush);
}

void TCanevasQt::LineTo(qint32 x, qint32 y)
{
    if (painter_) {
        AppliquePen();
        // A flat cap leaves out the end pixel, which is the raster rule callers expect.
        painter_->drawLine(PenPos, QPoint(x, y));
    }
    PenPos = QPoint(x, y);
}

const QFont& TCanevasQt::FontCourante()
{
    const QPaintDevice* device = painter_ ? painter_->device() : nullptr;
    if (!cache_->valide || cache_->nom != Font.Name || cache_->taille != Font.Size
        || cache_->device != device) {
        cache_->nom = Font.Name;
        cache_->taille = Font.Size;
        cache_->device = device;
        cache_->font = Font.Name.isEmpty() ? QGuiApplication::font() : QFont(Font.Name);
        cache_->font.setPointSize(std::max<qint32>(1, Font.Size));
        cache_->metriques = device ? QFontMetrics(cache_->font, const_cast<QPaintDevice*>(device))
                                   : QFontMetrics(cache_->font);
        cache_->valide = true;
    }
    return cache_->font;
}

void TCanevasQt::TextOut(qint32 x, qint32 y, const QString& texte)
{
    if (!painter_)
        return;
    const QFont& font = FontCourante();
    if (modeInverse_) {
        painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
        modeInverse_ = false;
    }
    if (Brush.Style == bsSolid)
        painter_->fillRect(QRect(x, y, cache_->metriques.horizontalAdvance(texte),
                                 cache_->metriques.height()),
                           QColor::fromRgb(Brush.Color));
    painter_->setFont(font);
    painter_->setPen(QColor::fromRgb(Font.Color));
    penValide_ = false;
    painter_->drawText(x, y + cache_->metriques.ascent(), texte);
}

qint32 TCanevasQt::TextWidth(const QString& texte)
{
    FontCourante();
    return cache_->metriques.horizontalAdvance(texte);
}

qint32 TCanevasQt::TextHeight(const QString&)
{
    FontCourante();
    return cache_->metriques.height();
}

qint32 TCanevasQt::PixelsPerInch()
{
    return painter_ && painter_->device() ? painter_->device()->logicalDpiY() : 96;
}

TRectangle TCanevasQt::ClipRect()
{
    if (!painter_ || !painter_->device())
        return {};
    if (painter_->hasClipping()) {
        const QRect r = painter_->clipBoundingRect().toAlignedRect();
        return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    }
    const QPaintDevice* d = painter_->device();
    return {0, 0, d->width(), d->height()};
}

} // namespace kelvor
