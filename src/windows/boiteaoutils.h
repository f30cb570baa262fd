#pragma once
// The pieces the three measurement windows share: wait cursor, hints, the "Sauver"
// drop-down with its keys, the one rule for reaching the companion program, and the
// question asked when a window with unsaved work closes. The graph area is TZoneImage
// (windows/communs.h).

#include "exchange/textes.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QAction;
class QActionGroup;
class QMenu;
class QToolButton;
class QWidget;

namespace kelvor {

class TConstanteDlg;
class TFormDDE;

// Wait cursor for one scope: the normal cursor comes back however the scope is left.
// Guards nest.
class TSablier
{
public:
    TSablier();
    ~TSablier();
    TSablier(const TSablier&) = delete;
    TSablier& operator=(const TSablier&) = delete;
};

// A hint "short|long", or one text for both. The long part goes to the status line and
// to screen readers; the short part becomes the tool tip unless the window shows none.
enum TBulle { buAvec, buSans };
void Indication(QWidget* w, const QString& indication, TBulle bulle = buAvec);
void Indication(QAction* a, const QString& indication);

// Closing a window whose work is not saved: "Sauvegarde", Yes runs the save sequence;
// either answer lets the window close.
void ProposeSauvegarde(bool nonSauve, const std::function<void()>& sauve);

// Reaching the companion program. The link carries the parameter dialog; without the
// link (or its dialog) nothing goes to Kurvalis, a copy goes to the clipboard alone and
// the parameters are empty.
TConstanteDlg* DialogueParametres(const TFormDDE* dde);
TValeursConstante ValeursParametres(const TFormDDE* dde);
QString ExecutableEnvoi(const TFormDDE* dde);
// Shows the parameter dialog; true when the user confirms it.
bool ConfirmeEnvoi(const TFormDDE* dde);
// The block goes to the clipboard and, when envoyer, Kurvalis is told to take it.
void EnvoieTable(TFormDDE* dde, const QStringList& lignes, bool envoyer);

// The drop-down of a "Sauver" tool button: "vers Kurvalis", "vers presse papiers",
// "vers fichier", at most one checked, the button showing the image of the checked one.
// Keys, the same in every window: Ctrl+S runs "Sauver" while it is shown and enabled;
// Down, Alt+Down or the menu key on the button open the drop-down.
class TDestinations : public QObject
{
    Q_OBJECT
public:
    enum TDestination { deKurvalis, dePressePapier, deFichier };

    explicit TDestinations(QToolButton* bouton);

    QMenu* Menu = nullptr;
    QAction* KurvalisM = nullptr;
    QAction* ClipM = nullptr;
    QAction* FileM = nullptr;

    // From the settings: each destination set is checked in turn, so the last one wins.
    void Coche(bool kurvalis, bool clip, bool fichier);
    // The item becomes the checked one and gives the button its image.
    void Choisit(QAction* item);

signals:
    // An item picked in the drop-down (also when it was already checked).
    void Choix(QAction* item);

protected:
    bool eventFilter(QObject* objet, QEvent* event) override;

private:
    QToolButton* bouton_;
    QActionGroup* groupe_;
};

} // namespace kelvor
