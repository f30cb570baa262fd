#pragma once
// The hidden form that owns the conversations with the companion program Kurvalis:
// finding and starting it, the macros that tell it what to do with the clipboard,
// the sending of spectra and tables, and the small server through which the companion
// may ask this program to come forward. Never shown; lives as long as the program.

#include "exchange/kurvalis.h"
#include "exchange/textes.h"
#include "platform/ddelocal.h"

#include <QObject>
#include <functional>

class QWidget;

namespace kelvor {

class TConstanteDlg;

class TFormDDE : public QObject
{
    Q_OBJECT
public:
    explicit TFormDDE(QObject* parent = nullptr);
    ~TFormDDE() override;

    TClientDDE ClientDDE;
    TServeurDDE ServeurDDE;
    QString ServiceApplication;     // the companion executable, as found at creation
    qint32 NumeroSpectre = 0;       // number of the last spectrum sent as a column

    // Made after this form at start-up, so it is handed over afterwards. Without it
    // the data go as a new file with no parameter.
    TConstanteDlg* ConstanteDlg = nullptr;
    // Brings the main window forward when the companion asks for it.
    std::function<void()> DonneFocus;
    void SetFenetrePrincipale(QWidget* fenetre);

    // Path of this program written at the top of the blocks.
    QString Executable;
    // Platform services, replaceable so that tests neither start programs nor sleep.
    std::function<bool(const QString&)> Lanceur;
    std::function<void(int)> Attente;

    void FormCreate();
    void FormDestroy();
    void ChercheKurvalis();
    // Service name of our own server: the executable's name up to its first full stop.
    QString NomServeur() const;

    void LanceKurvalis();
    void Execute(Tenvoi Ordre);
    void EnvoieMacro(Tenvoi Ordre);

    // Spectrum of the main window, as chosen in the parameter dialog.
    void EnvoieDonnees(const Vecteur& valeurY, qint32 debutLambda, qint32 finLambda);
    // Kinetics run: the block goes on the clipboard, and to the companion when envoyer.
    void EnvoieDonneesCinetique(bool envoyer, const Vecteur& valeurX, const Vecteur& valeurY,
                                qint32 nbrePoints, const ListeReperes& reperes);
    // Any table block (kinetics, Beer-Lambert): clipboard, then a new file or, when the
    // dialog's second item is selected, a new page; the second item is selected after.
    void EnvoieTable(const QStringList& lignes, bool envoyer);
    void TexteSpectre(const Vecteur& valeurY, qint32 debutLambda, qint32 finLambda);
    void TexteColonne(const Vecteur& valeurY, qint32 debutLambda, qint32 finLambda);
    void AjouteConst(QStringList& donnees) const;

    // A macro received from the companion, as lines.
    void ExecuteMacro(const QStringList& macro);

    TValeursConstante Valeurs() const;

private:
    int ItemEnvoi() const;
    void SetItemEnvoi(int index);
};

} // namespace kelvor
