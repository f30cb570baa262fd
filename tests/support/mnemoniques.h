#pragma once
// The Alt letters of a window: those of its buttons and of its labels that lead to a control.
// The dialogs it owns are windows of their own, with their own letters.

#include <QAbstractButton>
#include <QLabel>
#include <QStringList>
#include <QWidget>

inline QStringList Mnemoniques(const QWidget& fenetre)
{
    QStringList lettres;
    const auto lettre = [&](const QString& texte) {
        if (const qsizetype i = texte.indexOf('&'); i >= 0 && i + 1 < texte.size())
            lettres << texte.mid(i + 1, 1).toUpper();
    };
    for (const QAbstractButton* b : fenetre.findChildren<QAbstractButton*>())
        if (b->window() == &fenetre)
            lettre(b->text());
    for (const QLabel* l : fenetre.findChildren<QLabel*>())
        if (l->buddy() && l->window() == &fenetre)
            lettre(l->text());
    return lettres;
}
