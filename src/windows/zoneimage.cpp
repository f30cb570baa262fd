#include "windows/zoneimage.h"

#include "instrument/appareil.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QStatusTipEvent>
#include <QPainter>

namespace kelvor {

namespace {

const char* const ProprieteRole = "kelvorRoleAccessible";

QAccessibleInterface* FabriqueAccessible(const QString&, QObject* objet)
{
    if (!objet || !objet->isWidgetType())
        return nullptr;
    const QVariant role = objet->property(ProprieteRole);
    if (!role.isValid())
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(objet),
                                 static_cast<QAccessible::Role>(role.toInt()));
}

} // namespace

void SetRoleAccessible(QWidget* widget, QAccessible::Role role)
{
    static const bool installee = [] {
        QAccessible::installFactory(FabriqueAccessible);
        return true;
    }();
    Q_UNUSED(installee);
    widget->setProperty(ProprieteRole, static_cast<int>(role));
}

bool RelaieIndication(QEvent* event, TAppareil& appareil)
{
    if (event->type() != QEvent::StatusTip)
        return false;
    if (auto* principale = dynamic_cast<QWidget*>(&appareil)) {
        QStatusTipEvent relais(static_cast<QStatusTipEvent*>(event)->tip());
        QCoreApplication::sendEvent(principale, &relais);
    }
    return true;
}

TZoneImage::TZoneImage(const QString& nomAccessible, QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(nomAccessible);
    SetRoleAccessible(this, QAccessible::Chart);
}

void TZoneImage::paintEvent(QPaintEvent*)
{
    if (image.size() != size() && Redessine)
        Redessine();
    QPainter p(this);
    p.drawImage(0, 0, image);
}

void TZoneImage::resizeEvent(QResizeEvent*)
{
    if (Redessine)
        Redessine();
}

} // namespace kelvor
