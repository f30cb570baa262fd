#pragma once
// Controls a window shows cut: outside the window, or narrower or lower than their text
// needs. Widgets a tool bar has moved into its overflow menu are hidden, so not counted.

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QHeaderView>
#include <QTableView>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>
#include <QWidget>

inline QStringList ControlesCoupes(QWidget& fenetre)
{
    QApplication::processEvents();
    QStringList coupes;
    for (QWidget* w : fenetre.findChildren<QWidget*>()) {
        if (auto* t = qobject_cast<QTableView*>(w); t && t->isVisibleTo(&fenetre)
            && t->horizontalHeader()->length() > t->viewport()->width())
            coupes << t->accessibleName() + QStringLiteral(" colonnes %1 > %2")
                          .arg(t->horizontalHeader()->length()).arg(t->viewport()->width());
        const bool controle = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLabel*>(w)
                              || qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractSpinBox*>(w);
        if (!controle || !w->isVisibleTo(&fenetre) || w->width() == 0)
            continue;
        if (qobject_cast<QLineEdit*>(w) && qobject_cast<QAbstractSpinBox*>(w->parentWidget()))
            continue;   // the spin box's own edit, checked with it
        const QRect r(w->mapTo(&fenetre, QPoint(0, 0)), w->size());
        // A button narrower than its hint elides its caption; the small arrow and sign
        // buttons of a spin pair are drawn at their own size.
        const auto* bouton = qobject_cast<QAbstractButton*>(w);
        if (bouton && bouton->text().size() < 2)
            continue;
        const QSize besoin = bouton ? w->sizeHint() : w->minimumSizeHint();
        const QString nom = w->accessibleName().isEmpty() ? w->objectName() + QString::fromLatin1(w->metaObject()->className())
                                                         : w->accessibleName();
        if (!fenetre.rect().contains(r))
            coupes << nom + QStringLiteral(" dehors");
        else if (r.width() < besoin.width() || r.height() < besoin.height())
            coupes << nom + QStringLiteral(" %1x%2 < %3x%4").arg(r.width()).arg(r.height())
                              .arg(besoin.width()).arg(besoin.height());
    }
    return coupes;
}

// The window at its own size, at its minimum size, then at 1024x768.
inline QStringList CoupesAuxTaillesLimites(QWidget& fenetre)
{
    QStringList coupes;
    for (const QSize taille : {fenetre.size(), fenetre.minimumSize(), QSize(1024, 768)}) {
        fenetre.resize(taille);
        for (const QString& c : ControlesCoupes(fenetre))
            coupes << QStringLiteral("%1x%2: ").arg(fenetre.width()).arg(fenetre.height()) + c;
    }
    return coupes;
}
