#include "windows/communs.h"

#include "graph/canevas.h"
#include "graph/graphker.h"
#include "instrument/appareil.h"
#include "windows/spinedit.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QStatusTipEvent>
#include <QWheelEvent>
#include <QPainter>
#include <QPixmap>

namespace kelvor {

namespace {

const char* const ProprieteRole = "kelvorRoleAccessible";

QAccessibleInterface* FabriqueAccessible(const QString&, QObject* objet)
{
    if (!objet || !objet->isWidgetType())
        return nullptr;
    if (auto* spin = qobject_cast<TSpinEdit*>(objet))
        return AccessibleSpinEdit(spin);
    const QVariant role = objet->property(ProprieteRole);
    if (!role.isValid())
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(objet),
                                 static_cast<QAccessible::Role>(role.toInt()));
}

} // namespace

void InstalleFabriqueAccessible()
{
    static const bool installee = [] {
        QAccessible::installFactory(FabriqueAccessible);
        return true;
    }();
    Q_UNUSED(installee);
}

void SetRoleAccessible(QWidget* widget, QAccessible::Role role)
{
    InstalleFabriqueAccessible();
    widget->setProperty(ProprieteRole, static_cast<int>(role));
}

void DetacheEnfants(QWidget* fenetre)
{
    for (QObject* enfant : fenetre->findChildren<QObject*>())
        QObject::disconnect(enfant, nullptr, fenetre, nullptr);
}

TLecture::TLecture(const QString& nom, const QString& texte, QWidget* parent)
    : QLabel(parent), nom_(nom)
{
    setText(texte);
}

void TLecture::setText(const QString& texte)
{
    QLabel::setText(texte);
    // Setting the name sends the name-changed event to assistive tools.
    setAccessibleName(texte.isEmpty() ? nom_ : nom_ + QStringLiteral(" : ") + texte);
}

QStatusBar* BarreIndications(QBoxLayout* fond)
{
    auto* barre = new QStatusBar;
    barre->setSizeGripEnabled(false);
    barre->setAccessibleName(QStringLiteral("Barre d'état"));
    fond->addWidget(barre);
    return barre;
}

bool AfficheIndication(QEvent* event, QStatusBar* barre)
{
    if (event->type() != QEvent::StatusTip)
        return false;
    barre->showMessage(static_cast<QStatusTipEvent*>(event)->tip());
    return true;
}

QIcon ImageDestination(int quoi)
{
    QPixmap p(16, 16);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    switch (quoi) {
    case 0:
        g.setPen(QPen(Qt::black, 1));
        g.drawLine(2, 1, 2, 14);
        g.drawLine(2, 14, 15, 14);
        g.setPen(QPen(QColor(200, 0, 0), 1.6));
        g.drawPolyline(QPolygon({QPoint(3, 4), QPoint(6, 8), QPoint(9, 10), QPoint(14, 12)}));
        break;
    case 1:
        g.setPen(QPen(QColor(90, 60, 20), 1));
        g.setBrush(QColor(200, 160, 90));
        g.drawRoundedRect(QRectF(2.5, 2.5, 11, 13), 1.5, 1.5);
        g.setBrush(Qt::white);
        g.drawRect(QRectF(4.5, 5.5, 7, 8));
        g.setBrush(QColor(120, 120, 120));
        g.drawRect(QRectF(5.5, 1.5, 5, 3));
        break;
    default:
        g.setPen(QPen(QColor(40, 40, 110), 1));
        g.setBrush(QColor(70, 90, 180));
        g.drawRect(QRectF(1.5, 1.5, 13, 13));
        g.setBrush(Qt::white);
        g.drawRect(QRectF(4.5, 1.5, 7, 5));
        g.setBrush(QColor(200, 200, 200));
        g.drawRect(QRectF(3.5, 9.5, 9, 5));
        break;
    }
    return QIcon(p);
}

TZoneImage::TZoneImage(const QString& nomAccessible, QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(nomAccessible);
    SetRoleAccessible(this, QAccessible::Chart);
}

void TZoneImage::Invalide()
{
    aRedessiner_ = true;
    update();
}

bool TZoneImage::Perimee() const
{
    return aRedessiner_ || image.isNull() || image.size() != size();
}

bool TZoneImage::Prepare()
{
    if (size().isEmpty())
        return false;
    if (Perimee() && Redessine)
        Redessine();
    return !Perimee();
}

bool TZoneImage::Attache(TCanevasQt& canevas)
{
    if (size().isEmpty())
        return false;
    if (image.size() != size())
        image = QImage(size(), QImage::Format_RGB32);
    aRedessiner_ = false;
    return canevas.Attache(&image);
}

void TZoneImage::DessineDans(TCanevasQt& canevas, const std::function<void()>& dessin)
{
    if (Perimee()) {
        Prepare();
        update();
        return;
    }
    if (!canevas.Attache(&image))
        return;
    try {
        dessin();
    } catch (const EErreurCalcul&) {
    }
    canevas.Detache();
    update();
}

void TZoneImage::paintEvent(QPaintEvent*)
{
    if (!Prepare())
        return;
    QPainter p(this);
    p.drawImage(0, 0, image);
}

void TZoneImage::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    aRedessiner_ = true;
}

void TZoneImage::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit Appui(event->position().toPoint().x(), event->position().toPoint().y());
}

void TZoneImage::mouseMoveEvent(QMouseEvent* event)
{
    emit Deplacement(event->position().toPoint().x(), event->position().toPoint().y());
}

void TZoneImage::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit Relache(event->position().toPoint().x(), event->position().toPoint().y());
}

void TZoneImage::wheelEvent(QWheelEvent* event)
{
    // A notch is 120 eighths of a degree; fine-grained wheels and pads send parts of one.
    const double crans = event->angleDelta().y() / 120.0;
    if (crans == 0 || !isSignalConnected(QMetaMethod::fromSignal(&TZoneImage::Molette))) {
        event->ignore();
        return;
    }
    emit Molette(event->position().toPoint().x(), event->position().toPoint().y(), crans);
    event->accept();
}

} // namespace kelvor
