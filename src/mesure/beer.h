#pragma once
// The Beer-Lambert series: absorbance at one wavelength against a record number, a typed
// concentration or a typed value of the user's own quantity. It decides every rule of the
// window (what is recorded, what is asked, when the calibration is redone, what the
// controls show) and leaves the drawing to the window through TVueBeer, so the whole
// measurement logic runs headless against any TAppareil.

#include "exchange/textes.h"
#include "instrument/appareil.h"
#include "mesure/etalonnage.h"
#include "util/labutil.h"

#include <QString>
#include <QStringList>

namespace kelvor {

class TIniFile;

// Acquisition mode; stored in the settings file by ordinal.
enum TModeAcquisition { maIncrement, maBeer, maClavier };

// A Vecteur holds 2049 values, so do the series and the unknowns.
constexpr qint32 MaxPointsBeer = 2049;

// Texts and range of one axis (the graph's Tmonde carries the same fields).
struct TAxeBeer
{
    QString nom;
    QString unite;
    QString signif;
    double mini = 0;
    double maxi = 1;
};

// What the controls of the window show, derived from the series' state.
struct TEtatControles
{
    bool razVisible = false;        // "Sauver" follows it
    bool defaireVisible = false;
    bool enregistreVisible = true;
    bool enregistreActif = false;
    QString enregistreCaption;
    QString enregistreHint;
    bool valeurVisible = false;     // value field and its label
    bool valeurActif = false;
    QString labelValeur;
    QString valeurHint;
    bool focusValeur = false;
    bool inconnusVisible = false;   // the calibration panel and its report follow it
    bool majActif = false;
    bool zeroActif = false;
};

// What the window does when the series asks; the series decides when.
class TVueBeer
{
public:
    virtual ~TVueBeer() = default;
    // Whole plot and both grids again (the window's paint step).
    virtual void Redessine() = 0;
    // Draws point i alone and writes its row of the measurement grid.
    virtual void AffichePoint(qint32 i) = 0;
    // Writes row j of the unknowns grid and marks unknown j on the plot.
    virtual void AfficheInconnu(qint32 j) = 0;
    // Empties the value field, writes its label, applies Controles(), gives the focus.
    virtual void MajControles() = 0;
    // Gives the value field the focus (after a refused value).
    virtual void FocusValeur() = 0;
    // Empties the value field.
    virtual void VideValeur() = 0;
    // A note shown in the window without a box (a box would reactivate the window);
    // the empty text clears it.
    virtual void Avertit(const QString& texte) = 0;
};

// Texts shown by the series.
extern const QString MsgNombreMalEcrit;         // "Nombre mal écrit"
extern const QString MsgConcentrationHorsLimite; // "Concentration supérieure à 1 mol/L !"
extern const QString MsgSansEtalonnage;
extern const QString MsgPenteNonPositive;       // standards whose fitted line does not rise
extern const QString MsgSeriePleine;
extern const QString MsgInconnusPleins;
extern const QString MsgPasDeReponse;           // a reading that failed, nothing recorded
// Save dialog of the calibration report.
extern const QString TitreRapport;
extern const QString FiltreRapport;              // "Rapport tableur (*.csv)|*.csv"

// Characters the value field lets through; every other typed character is dropped.
bool CaractereValeurAdmis(QChar c);

// Values the mode dialog shows when it opens.
struct TChampsModeBeer
{
    TModeAcquisition mode = maIncrement;
    QString nom;
    QString unite;
    QString signif;
    QString mini;
    QString maxi;
    QString maxBeer;
    TAjustement ajustement = ajRapportSommes;
};

// Default real-to-text conversion of the dialogs: up to 15 significant digits, the
// locale's decimal separator.
QString ReelToStrDefaut(double x);

class TSerieBeer
{
public:
    explicit TSerieBeer(TAppareil& appareil, TVueBeer* vue = nullptr);

    void SetVue(TVueBeer* vue) { vue_ = vue; }
    TAppareil& Appareil() const { return appareil_; }

    // The series (the window's graph draws a copy of it).
    Vecteur valeurX{};
    Vecteur valeurY{};
    qint32 NbrePoints = 0;
    TAxeBeer abscisse{QStringLiteral("n"), QString(), QStringLiteral("numéro"), 0, 16};
    TAxeBeer absorbance{QStringLiteral("A"), QString(), QStringLiteral("Absorbance"), 0, 1};

    TModeAcquisition ModeAcq = maIncrement;
    double valeurClavier = 0;
    double pente = 0;               // absorbance per unit of concentration, 0 = none
    double ordonnee = 0;            // absorbance at zero concentration; 0 but for an affine fit
    TAjustement Ajustement = ajRapportSommes;
    Vecteur AbsCalc{};
    Vecteur ConcCalc{};
    qint32 NbreCalc = 0;
    bool DernierPointCalc = false;
    double concMax = 0.1;           // mol/L
    bool DejaSauve = true;
    QString NomFichierData;
    QString NomRapport;             // last name chosen for the calibration report
    // The wavelength field was changed and the instrument not moved there yet: "MàJ" is
    // offered and "Zero/Blanc" withheld until it is clicked.
    bool LambdaEnAttente = true;
    // Set by the same change; "Enregistrer" comes back with the next refresh of the
    // controls (every activation of the window), "MàJ", "Zero/Blanc" or "Défaire".
    bool EnregistreSuspendu = true;

    // Save destinations, mutually exclusive.
    bool SauveKurvalis = true;
    bool SauveClip = false;
    bool SauveFichier = false;
    void ChoisitDestination(int item);  // 0 Kurvalis, 1 clipboard, 2 file

    // True while an exchange with the instrument is under way (ours or another window's);
    // commands that read the instrument or change the series are refused meanwhile.
    bool Occupe() const;

    // Space bar or "Enregistrer" / "Concentration ?".
    void Enregistre();
    // Enter in the value field.
    void ValideValeur(const QString& texte);
    // Records (valeurClavier, absorbance read now).
    void AjoutePoint();
    // Line of the chosen fit through the qualifying points; recomputes the unknowns.
    // False when no line with a positive slope exists (pente is then 0).
    bool Recalibre();
    // The calibration of the series as it stands: fit, figures, unknowns with their
    // uncertainties, warnings (meaningful in maBeer).
    TEtalonnage Etalonnage() const;
    void Defaire();
    void RaZ();
    // After the mode dialog closed: clears the series when the mode changed.
    void ApresChoixMode(TModeAcquisition avant);
    // On every activation of the window, after a mode change and after "RàZ".
    void InitAttente();
    TEtatControles Controles() const;

    // Wavelength field changed / "MàJ" / "Zero/Blanc".
    void LambdaChange();
    void MajLambda(qint32 lambda);
    void Zero();

    // Axis maxima that never shrink, raised to the series; true when one moved.
    bool AjusteAxes();
    // Removes the points below zero, closing the gaps. Returns the number removed.
    qint32 RetireNegatifs();
    // Ends of the calibration segment: from zero concentration (or from where the line
    // crosses A = 0), to the abscissa maximum clipped at the top of the plot. False when
    // no segment is drawn.
    bool DebutDroiteEtalonnage(double& x, double& y) const;
    bool FinDroiteEtalonnage(double& x, double& y) const;

    // Questions asked before recording a value outside the expected range.
    QString QuestionConcMax(double v) const;
    QString QuestionClavier(double v) const;

    // The mode dialog: its fields on opening, and OK.
    TChampsModeBeer ChampsModeDlg() const;
    void AppliqueModeDlg(const TChampsModeBeer& choix);

    // Clipboard block and file lines.
    QStringList BlocPressePapier(const QString& executable, const QString& dateHeure,
                                 const TValeursConstante& c) const;
    QStringList LignesFichier(const QString& nom, const QString& executable,
                              const QString& dateHeure) const;
    // Save dialog and file; a failed write says so and leaves DejaSauve as it was.
    bool SauveDansFichier();
    // Save dialog and the calibration report as CSV; ".csv" is added to a name typed
    // without extension. A failed write says so.
    bool SauveRapport();

    // Closing: true when "Sauvegarde" must be asked.
    bool DemandeSauvegarde() const;

    // Settings ("Save" and "Beer" sections); a range or limit the plot cannot use is set right.
    void LitReglages(const TIniFile& ini);
    void EcritReglages(TIniFile& ini) const;

private:
    struct Occupation;
    bool Mesure(double& a);
    // After a completed reading entered the series: drops points below zero, fits the
    // axes, and redraws when they (or redessine) changed more than the new point.
    void ApresLecture(bool redessine);
    // Axes fitted to the series, then the whole plot and grids again. Painting itself
    // never changes the series.
    void Redessine();
    // Lifts the suspension of "Enregistrer" and has the window refresh its controls.
    void MajControles();
    // Error box of a file that could not be written.
    static void ErreurEcriture(const QString& nom, const QString& erreur);

    TAppareil& appareil_;
    TVueBeer* vue_ = nullptr;
    bool enCours_ = false;
};

} // namespace kelvor
