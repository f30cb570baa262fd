#include "mesure/beer.h"

#include "exchange/csv.h"
#include "exchange/fichierkv3.h"
#include "instrument/inifile.h"
#include "mesure/rapportetalonnage.h"
#include "util/dialogues.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace kelvor {

const QString MsgNombreMalEcrit = QStringLiteral("Nombre mal écrit");
const QString MsgConcentrationHorsLimite = QStringLiteral("Concentration supérieure à 1 mol/L !");
const QString MsgSansEtalonnage = QStringLiteral(
    "Pas d'étalonnage : aucun point de la série n'a une concentration et une absorbance "
    "positives. Impossible de calculer une concentration.");
const QString MsgPenteNonPositive = QStringLiteral(
    "Pas d'étalonnage : la droite ajustée sur les étalons n'a pas une pente positive. "
    "Impossible de calculer une concentration.");
const QString MsgSeriePleine = QStringLiteral("La série est pleine : 2049 points au plus.");
const QString MsgInconnusPleins =
    QStringLiteral("Trop de concentrations inconnues : 2049 au plus.");
const QString MsgPasDeReponse =
    QStringLiteral("Pas de réponse du spectrophotomètre : mesure non enregistrée");
const QString TitreRapport = QStringLiteral("Rapport d'étalonnage");
const QString FiltreRapport = QStringLiteral("Rapport tableur (*.csv)|*.csv");

namespace {

const QString SectionSave = QStringLiteral("Save");
const QString SectionBeer = QStringLiteral("Beer");

const QString ExtensionRapport = QStringLiteral("csv");

// Two decimals, locale separator, no grouping.
QString Deux(double x)
{
    QString s = QString::number(x, 'f', 2);
    s.replace(QLatin1Char('.'), SeparateurDecimal());
    return s;
}

TVariable Variable(const TAxeBeer& a)
{
    return {a.nom, a.unite, a.signif};
}

} // namespace

bool CaractereValeurAdmis(QChar c)
{
    switch (c.unicode()) {
    case 8: case 9: case 12: case 13:
    case '%': case '\'': case '+': case ',': case '-': case '.': case 'E': case 'e':
        return true;
    default:
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    }
}

QString ReelToStrDefaut(double x)
{
    return FormatGeneral(x, 15, 0, SeparateurDecimal());
}

// Marks our own exchanges, for instruments that do not report theirs.
struct TSerieBeer::Occupation
{
    explicit Occupation(bool& drapeau) : d(drapeau) { d = true; }
    ~Occupation() { d = false; }
    bool& d;
};

TSerieBeer::TSerieBeer(TAppareil& appareil, TVueBeer* vue) : appareil_(appareil), vue_(vue) {}

bool TSerieBeer::Occupe() const
{
    return enCours_ || appareil_.EchangeEnCours();
}

bool TSerieBeer::Mesure(double& a)
{
    {
        Occupation o(enCours_);
        a = appareil_.getAbsorbance();
    }
    const bool lue = !std::isnan(a);
    if (vue_)
        vue_->Avertit(lue ? QString() : MsgPasDeReponse);
    return lue;
}

void TSerieBeer::ApresLecture(bool redessine)
{
    redessine |= RetireNegatifs() > 0;
    redessine |= AjusteAxes();
    if (redessine && vue_)
        vue_->Redessine();
}

void TSerieBeer::Redessine()
{
    AjusteAxes();
    if (vue_)
        vue_->Redessine();
}

void TSerieBeer::ChoisitDestination(int item)
{
    SauveKurvalis = item == 0;
    SauveClip = item == 1;
    SauveFichier = item == 2;
}

void TSerieBeer::Enregistre()
{
    if (Occupe() || !Controles().enregistreActif)
        return;
    if (ModeAcq == maIncrement && NbrePoints >= MaxPointsBeer) {
        Dialogues().Message(MsgSeriePleine);
        return;
    }
    if (ModeAcq == maBeer) {
        if (!(pente > 0)) {
            // Standards there are, but the chosen fit gives no rising line through them.
            Dialogues().Message(Etalonnage().n > 0 ? MsgPenteNonPositive : MsgSansEtalonnage);
            return;
        }
        if (NbreCalc >= MaxPointsBeer) {
            Dialogues().Message(MsgInconnusPleins);
            return;
        }
    }
    double a = 0;
    if (!Mesure(a))
        return;
    if (ModeAcq == maIncrement) {
        const qint32 i = NbrePoints;
        valeurY[i] = a;
        if (vue_)
            vue_->AffichePoint(i);
        NbrePoints = i + 1;
        const bool elargi = NbrePoints + 16 > abscisse.maxi;
        if (elargi)
            abscisse.maxi += 16;
        ApresLecture(elargi);
    } else if (ModeAcq == maBeer) {
        const qint32 j = NbreCalc;
        AbsCalc[j] = a;
        ConcCalc[j] = (a - ordonnee) / pente;
        if (vue_)
            vue_->AfficheInconnu(j);
        NbreCalc = j + 1;
        DernierPointCalc = true;
    }
    MajControles();
    DejaSauve = NbrePoints < 2;
}

void TSerieBeer::ValideValeur(const QString& texte)
{
    if (Occupe() || !Controles().valeurActif)
        return;
    const double v = StrToReel(texte);
    if (std::isnan(v)) {
        Dialogues().Message(MsgNombreMalEcrit);
        if (vue_) {
            vue_->VideValeur();
            vue_->FocusValeur();
        }
        return;
    }
    valeurClavier = v;
    if (ModeAcq == maBeer) {
        if (v < 0 || v > 1) {
            Dialogues().Message(MsgConcentrationHorsLimite);
            if (vue_)
                vue_->FocusValeur();
            return;
        }
        if (v > concMax) {
            if (!Dialogues().Confirme(QuestionConcMax(v), TDialogues::bOuiNon)) {
                if (vue_)
                    vue_->FocusValeur();
                return;
            }
            concMax = 1.05 * v;
            abscisse.maxi = concMax;
            Redessine();
        }
        AjoutePoint();
    } else if (ModeAcq == maClavier) {
        if (v > abscisse.maxi || v < abscisse.mini) {
            if (!Dialogues().Confirme(QuestionClavier(v), TDialogues::bOuiNon)) {
                if (vue_)
                    vue_->FocusValeur();
                return;
            }
            if (v > abscisse.maxi)
                abscisse.maxi = v;
            else
                abscisse.mini = v;
            Redessine();
        }
        AjoutePoint();
    }
}

void TSerieBeer::AjoutePoint()
{
    if (NbrePoints >= MaxPointsBeer) {
        Dialogues().Message(MsgSeriePleine);
        return;
    }
    double a = 0;
    if (!Mesure(a))
        return;
    // The index is taken once the reading is in: the series may not change meanwhile,
    // but nothing here relies on it.
    const qint32 i = NbrePoints;
    valeurX[i] = valeurClavier;
    valeurY[i] = a;
    if (vue_)
        vue_->AffichePoint(i);
    NbrePoints = i + 1;
    ApresLecture(false);
    MajControles();
    if (ModeAcq == maBeer && NbrePoints >= 3) {
        Recalibre();
        Redessine();
    }
    DernierPointCalc = false;
}

bool TSerieBeer::Recalibre()
{
    const TEtalonnage e = Etalonnage();
    pente = e.valide ? e.pente : 0;
    ordonnee = e.valide ? e.ordonnee : 0;
    if (!e.valide)
        return false;
    for (qint32 j = 0; j < NbreCalc; ++j)
        ConcCalc[j] = e.concInconnus[std::size_t(j)];
    return true;
}

TEtalonnage TSerieBeer::Etalonnage() const
{
    const auto n = std::size_t(std::clamp(NbrePoints, 0, MaxPointsBeer));
    const auto m = std::size_t(std::clamp(NbreCalc, 0, MaxPointsBeer));
    return Etalonne(std::span<const double>(valeurX.data(), n),
                    std::span<const double>(valeurY.data(), n),
                    std::span<const double>(AbsCalc.data(), m), Ajustement,
                    {abscisse.nom, abscisse.unite});
}

void TSerieBeer::Defaire()
{
    if (Occupe() || NbrePoints <= 0)
        return;
    if (ModeAcq == maBeer && DernierPointCalc && NbreCalc > 0) {
        --NbreCalc;
    } else {
        --NbrePoints;
        // A standard taken back must not keep weighing on the unknowns, measured or to
        // come, even when fewer than three are left: the grid and the calibration panel
        // then show the same figures.
        if (ModeAcq == maBeer)
            Recalibre();
    }
    Redessine();
    MajControles();
}

void TSerieBeer::RaZ()
{
    if (Occupe())
        return;
    NbrePoints = 0;
    NbreCalc = 0;
    InitAttente();
}

void TSerieBeer::ApresChoixMode(TModeAcquisition avant)
{
    if (ModeAcq != avant) {
        NbrePoints = 0;
        NbreCalc = 0;
    }
    InitAttente();
}

void TSerieBeer::InitAttente()
{
    if (ModeAcq == maIncrement) {
        for (qint32 i = 0; i < MaxPointsBeer; ++i)
            valeurX[i] = i;
        abscisse.nom = QStringLiteral("n");
        abscisse.signif = QStringLiteral("numéro");
        abscisse.unite.clear();
        // Back to 0-16 even over a longer series: recording widens it again.
        abscisse.mini = 0;
        abscisse.maxi = 16;
    } else if (ModeAcq == maBeer) {
        abscisse.mini = 0;
        abscisse.maxi = concMax;
    }
    Redessine();
    MajControles();
}

void TSerieBeer::MajControles()
{
    EnregistreSuspendu = false;
    if (vue_)
        vue_->MajControles();
}

TEtatControles TSerieBeer::Controles() const
{
    TEtatControles e;
    const qint32 n = NbrePoints;
    e.razVisible = n >= 3;
    e.defaireVisible = n >= 1;
    e.valeurVisible = ModeAcq == maBeer || ModeAcq == maClavier;
    e.valeurActif = e.valeurVisible;
    // No empty brackets for a quantity without unit (the point number "n").
    e.labelValeur = abscisse.nom +
                    (abscisse.unite.isEmpty() ? QString() : QStringLiteral(" (") + abscisse.unite + QLatin1Char(')')) +
                    QStringLiteral(" =");
    e.inconnusVisible = ModeAcq == maBeer;
    e.majActif = LambdaEnAttente;
    e.zeroActif = !LambdaEnAttente;
    switch (ModeAcq) {
    case maIncrement:
        e.enregistreVisible = true;
        e.enregistreActif = !EnregistreSuspendu;
        e.enregistreCaption = QStringLiteral("Enregistrer");
        e.enregistreHint = QStringLiteral("Cliquer pour enregistrer un point");
        break;
    case maBeer:
        e.enregistreVisible = n >= 3;
        e.enregistreActif = n >= 3 && !EnregistreSuspendu;
        e.enregistreCaption = QStringLiteral("Concentration ?");
        e.enregistreHint = QStringLiteral("Cliquer pour déterminer une concentration inconnue");
        e.valeurHint =
            QStringLiteral("Taper la valeur de la concentration. Valider pour lire l'absorbance");
        e.focusValeur = true;
        break;
    case maClavier:
        e.enregistreVisible = true;
        e.enregistreActif = false;
        e.enregistreCaption = QStringLiteral("Enregistrer");
        e.enregistreHint = QStringLiteral("Cliquer pour enregistrer un point");
        e.valeurHint = QStringLiteral("Taper la valeur de ") + abscisse.nom +
                       QStringLiteral(". Valider pour lire l'absorbance");
        e.focusValeur = true;
        break;
    }
    return e;
}

void TSerieBeer::LambdaChange()
{
    LambdaEnAttente = true;
    EnregistreSuspendu = true;
}

void TSerieBeer::MajLambda(qint32 lambda)
{
    if (Occupe())
        return;
    {
        Occupation o(enCours_);
        appareil_.GotoLambda(lambda);
    }
    LambdaEnAttente = false;
    EnregistreSuspendu = false;
}

void TSerieBeer::Zero()
{
    if (Occupe() || LambdaEnAttente)
        return;
    {
        Occupation o(enCours_);
        appareil_.SetBlancProc();
    }
    EnregistreSuspendu = false;
}

bool TSerieBeer::AjusteAxes()
{
    const double avantX = abscisse.maxi;
    const double avantY = absorbance.maxi;
    const qint32 n = NbrePoints;
    if (n == 0) {
        absorbance.maxi = 1;
    } else {
        double m = 0.1;
        for (qint32 i = 0; i < n; ++i)
            if (valeurY[i] > m)
                m = valeurY[i];
        if (absorbance.maxi < m)
            absorbance.maxi = m;
    }
    if (ModeAcq == maBeer && n > 0) {
        double m = concMax;
        for (qint32 i = 0; i < n; ++i)
            if (valeurX[i] > m)
                m = valeurX[i];
        if (abscisse.maxi < m)
            abscisse.maxi = m;
    }
    return abscisse.maxi != avantX || absorbance.maxi != avantY;
}

qint32 TSerieBeer::RetireNegatifs()
{
    qint32 garde = 0;
    for (qint32 i = 0; i < NbrePoints; ++i) {
        if (valeurY[i] < 0)
            continue;
        valeurY[garde] = valeurY[i];
        if (ModeAcq != maIncrement)
            valeurX[garde] = valeurX[i];
        ++garde;
    }
    const qint32 retires = NbrePoints - garde;
    NbrePoints = garde;
    return retires;
}

bool TSerieBeer::DebutDroiteEtalonnage(double& x, double& y) const
{
    if (ModeAcq != maBeer || NbrePoints < 3 || !(pente > 0))
        return false;
    x = 0;
    y = ordonnee;
    // A line that crosses zero absorbance at a positive concentration starts there.
    if (y < 0) {
        y = 0;
        x = -ordonnee / pente;
    }
    return true;
}

bool TSerieBeer::FinDroiteEtalonnage(double& x, double& y) const
{
    if (ModeAcq != maBeer || NbrePoints < 3 || !(pente > 0))
        return false;
    x = abscisse.maxi;
    y = pente * x + ordonnee;
    if (y > absorbance.maxi) {
        y = absorbance.maxi;
        x = (y - ordonnee) / pente;
    }
    return true;
}

QString TSerieBeer::QuestionConcMax(double v) const
{
    return abscisse.nom + QLatin1Char('=') + Deux(v) + QLatin1Char('>') + Deux(concMax);
}

QString TSerieBeer::QuestionClavier(double v) const
{
    return ReelToStr3(v) + QStringLiteral(" ; mini=") + ReelToStr3(abscisse.mini) +
           QStringLiteral(" ; maxi=") + ReelToStr3(abscisse.maxi) +
           QStringLiteral("\r\n    Vous confirmez ?");
}

TChampsModeBeer TSerieBeer::ChampsModeDlg() const
{
    TChampsModeBeer c;
    if (abscisse.nom == QLatin1String("n")) {
        c.nom = QStringLiteral("c");
        c.unite = QStringLiteral("mol/L");
        c.signif = QStringLiteral("Concentration");
        c.maxi = ReelToStrDefaut(concMax);
    } else {
        c.nom = abscisse.nom;
        c.unite = abscisse.unite;
        c.signif = abscisse.signif;
        c.maxi = ReelToStrDefaut(abscisse.maxi);
    }
    c.mini = ReelToStrDefaut(abscisse.mini);
    c.maxBeer = ReelToStrDefaut(abscisse.maxi);
    c.mode = ModeAcq;
    c.ajustement = Ajustement;
    return c;
}

void TSerieBeer::AppliqueModeDlg(const TChampsModeBeer& choix)
{
    // Another fit redoes the line of the series kept; a series that changes mode is
    // cleared after the dialog anyway.
    const bool refaire = choix.ajustement != Ajustement && choix.mode == maBeer
                         && ModeAcq == maBeer && NbrePoints >= 3;
    Ajustement = choix.ajustement;
    ModeAcq = choix.mode;
    if (choix.mode == maClavier) {
        abscisse.nom = choix.nom;
        abscisse.unite = choix.unite;
        abscisse.signif = choix.signif;
        double mini = StrToReel(choix.mini);
        double maxi = StrToReel(choix.maxi);
        if (!std::isfinite(mini))
            mini = 0;
        if (!std::isfinite(maxi))
            maxi = 5;
        Ordonne(mini, maxi);
        // An empty range cannot be drawn.
        if (!(maxi > mini))
            maxi = mini + 1;
        abscisse.mini = mini;
        abscisse.maxi = maxi;
    } else if (choix.mode == maBeer) {
        double c = std::fabs(StrToReel(choix.maxBeer));
        // Not a number, or 0 which would leave no range to draw.
        if (!std::isfinite(c) || c == 0)
            c = 0.1;
        if (!(c <= 1))
            c = 1;
        concMax = c;
        abscisse.mini = 0;
        abscisse.maxi = concMax;
        abscisse.nom = QStringLiteral("c");
        abscisse.unite = QStringLiteral("mol/L");
        abscisse.signif = QStringLiteral("Concentration");
    }
    if (refaire)
        Recalibre();
}

QStringList TSerieBeer::BlocPressePapier(const QString& executable, const QString& dateHeure,
                                         const TValeursConstante& c) const
{
    QStringList l;
    l << executable << QStringLiteral("Loi de Beer-Lambert ") + dateHeure
      << UneLigne(c.Commentaire)
      << UneLigne(abscisse.nom) + QLatin1Char('\t') + UneLigne(absorbance.nom)
      << UneLigne(abscisse.unite) + QLatin1Char('\t') + UneLigne(absorbance.unite);
    for (qint32 i = 0; i < NbrePoints; ++i)
        l << ReelToStrPoint(valeurX[i]) + QLatin1Char('\t') + ReelToStrPoint(valeurY[i]);
    if (ModeAcq == maBeer)
        for (qint32 j = 0; j < NbreCalc; ++j)
            l << ReelToStrPoint(ConcCalc[j]) + QLatin1Char('\t') + ReelToStrPoint(AbsCalc[j]);
    if (c.avecConstante)
        AjouteConst(l, c);
    return l;
}

QStringList TSerieBeer::LignesFichier(const QString& nom, const QString& executable,
                                      const QString& dateHeure) const
{
    if (EstNomKV3(nom))
        return FichierKV3Beer(executable, dateHeure, Variable(abscisse), Variable(absorbance),
                              valeurX, valeurY, NbrePoints);
    return TexteBeer(dateHeure, Variable(abscisse), Variable(absorbance), valeurX, valeurY,
                     NbrePoints);
}

bool TSerieBeer::SauveDansFichier()
{
    const QString nom = ChoisitFichierDonnees(NomFichierData);
    if (nom.isEmpty())
        return false;
    NomFichierData = nom;
    QString erreur;
    const QStringList lignes =
        LignesFichier(nom, QCoreApplication::applicationFilePath(), DateHeureCourante());
    if (!EcritFichierLignes(nom, lignes, &erreur)) {
        ErreurEcriture(nom, erreur);
        return false;
    }
    DejaSauve = true;
    return true;
}

bool TSerieBeer::SauveRapport()
{
    QString nom =
        Dialogues().FichierSauve(TitreRapport, FiltreRapport, ExtensionRapport, NomRapport);
    if (nom.isEmpty())
        return false;
    nom = NomFichierCsv(nom);
    NomRapport = nom;
    QString erreur;
    if (!EcritFichierOctets(nom, RapportCsv(Etalonnage()), &erreur)) {
        ErreurEcriture(nom, erreur);
        return false;
    }
    return true;
}

void TSerieBeer::ErreurEcriture(const QString& nom, const QString& erreur)
{
    QString msg = QStringLiteral("Erreur d'écriture du fichier ") + nom;
    if (!erreur.isEmpty())
        msg += QStringLiteral("\r\n") + erreur;
    Dialogues().Message(msg);
}

bool TSerieBeer::DemandeSauvegarde() const
{
    return NbrePoints >= 3 && !DejaSauve && ModeAcq != maBeer;
}

void TSerieBeer::LitReglages(const TIniFile& ini)
{
    // Exclusive items checked in turn: the last one found checked wins, and with none
    // found checked none is.
    const bool k = ini.ReadBool(SectionSave, QStringLiteral("Kurvalis"), true);
    const bool c = ini.ReadBool(SectionSave, QStringLiteral("Clip"), false);
    const bool f = ini.ReadBool(SectionSave, QStringLiteral("File"), false);
    SauveKurvalis = k && !c && !f;
    SauveClip = c && !f;
    SauveFichier = f;

    // A mode the enumeration does not hold would leave the window in none.
    const qint32 mode = ini.ReadInteger(SectionBeer, QStringLiteral("Mode"), 0);
    ModeAcq = mode >= maIncrement && mode <= maClavier ? TModeAcquisition(mode) : maIncrement;
    // The plot cannot be drawn over an empty or reversed range.
    double maxi = ini.ReadFloat(SectionBeer, QStringLiteral("Maxi"), 1);
    double mini = ini.ReadFloat(SectionBeer, QStringLiteral("Mini"), 0);
    Ordonne(mini, maxi);
    if (!(maxi > mini))
        maxi = mini + 1;
    abscisse.mini = mini;
    abscisse.maxi = maxi;
    const double cm = ini.ReadFloat(SectionBeer, QStringLiteral("ConcMax"), 0.1);
    concMax = cm > 0 ? cm : 0.1;
    abscisse.nom = ini.ReadString(SectionBeer, QStringLiteral("Nom"), QStringLiteral("c"));
    abscisse.unite =
        ini.ReadString(SectionBeer, QStringLiteral("Unite"), QStringLiteral("mol/L"));
    // The meaning is not stored.
    abscisse.signif.clear();
    Ajustement = LitAjustement(ini);
}

void TSerieBeer::EcritReglages(TIniFile& ini) const
{
    ini.WriteBool(SectionSave, QStringLiteral("Kurvalis"), SauveKurvalis);
    ini.WriteBool(SectionSave, QStringLiteral("Clip"), SauveClip);
    ini.WriteBool(SectionSave, QStringLiteral("File"), SauveFichier);
    ini.WriteInteger(SectionBeer, QStringLiteral("Mode"), ModeAcq);
    ini.WriteFloat(SectionBeer, QStringLiteral("ConcMax"), concMax);
    ini.WriteFloat(SectionBeer, QStringLiteral("Maxi"), abscisse.maxi);
    ini.WriteFloat(SectionBeer, QStringLiteral("Mini"), abscisse.mini);
    ini.WriteString(SectionBeer, QStringLiteral("Nom"), abscisse.nom);
    ini.WriteString(SectionBeer, QStringLiteral("Unite"), abscisse.unite);
    EcritAjustement(ini, Ajustement);
}

} // namespace kelvor
