#include "platform/pressepapier.h"

#include <QClipboard>
#include <QGuiApplication>

namespace kelvor {

void CopiePressePapier(const QString& texte)
{
    QGuiApplication::clipboard()->setText(texte);
}

QString LitPressePapier()
{
    return QGuiApplication::clipboard()->text();
}

} // namespace kelvor
