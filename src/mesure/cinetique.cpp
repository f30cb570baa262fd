#include "mesure/cinetique.h"

#include "instrument/inifile.h"
#include "graph/canevas.h"
#include "util/horloge.h"

#include <QLocale>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace kelvor {

TControlesCinetique ControlesEtat(TEtatAcquisition etat)
{
    TControlesCinetique c;
    c.LambdaBtn = etat == eaReglageLambda;
    c.ZeroBtn = etat == eaReglageZero;
    c.StartBtn = etat == eaAttente;
    c.StopBtn = etat == eaEnCours;
    c.ResetBtn = etat == eaTerminee;
    c.SaveBtn = etat == eaTerminee;
    c.ExitBtn = etat != eaEnCours;
    c.ZeroBtnBis = etat != eaReglageZero;
    c.RepereBtn = etat == eaEnCours;
    c.LambdaSE = etat == eaReglageLambda || etat == eaReglageZero || etat == eaAttente;
    c.Panneaux = etat == eaEnCours;
    c.Timer = etat == eaEnCours;
    return c;
}

quint16 BorneDeltat(qint64 secondes)
{
    return static_cast<quint16>(std::clamp<qint64>(secondes, DeltatMini, DeltatMaxi));
}

quint16 BorneDuree(qint64 secondes)
{
    return static_cast<quint16>(std::clamp<qint64>(secondes, 1, DureeMaxi));
}

quint16 DureeSuivante(quint16 duree)
{
    const qint32 d = ValeurRonde(duree * 2.15);
    return d > DureeMaxi ? duree : static_cast<quint16>(d);
}

quint16 DureePrecedente(quint16 duree)
{
    const qint32 d = ValeurRonde(duree / 2.15);
    return static_cast<quint16>(std::clamp<qint32>(d, 30, DureeMaxi));
}

qint32 CalculeNbreMax(quint16& duree, quint16 deltat)
{
    deltat = BorneDeltat(deltat);
    qint32 n = duree / deltat;
    if (n > MaxIndiceVecteur)
        n = MaxIndiceVecteur;
    if (n < 10) {
        n = 10;
        duree = static_cast<quint16>(10 * deltat);
    }
    if (n >= 300)
        n -= n % 60;
    if (n >= 90)
        n -= n % 30;
    if (n >= 30)
        n -= n % 10;
    return n;
}

qint32 DivisePoints(Vecteur& x, Vecteur& y, qint32 n)
{
    const qint32 moitie = n / 2;
    for (qint32 i = 1; i < moitie; ++i) {
        x[i] = x[2 * i];
        y[i] = y[2 * i];
    }
    return moitie;
}

bool RunAbandonne(qint32 n, qint32 nbreMax)
{
    return n <= 10 && n <= nbreMax / 2;
}

double MaxiOrdonneeFin(const Vecteur& y, qint32 n, double maxiAbs)
{
    double maxi = maxiAbs;
    if (n >= 3) {
        double mini = 0;
        MinMaxVecteur(y, static_cast<quint16>(std::min(n, NbrePointsMaxi)), mini, maxi);
    }
    return maxi < 1 || std::isnan(maxi) ? 1.0 : maxi;
}

bool EtendOrdonnee(double a, double& mini, double& maxi)
{
    if (!std::isfinite(a))
        return false;
    bool change = false;
    if (a > maxi) {
        maxi = std::ceil(a * 1.1 / 0.5) * 0.5;
        change = true;
    }
    if (a < mini) {
        mini = -std::ceil(-a * 1.1 / 0.1) * 0.1;
        change = true;
    }
    return change;
}

QList<TPlageProposee> PlagesAnalyse(const Vecteur& x, qint32 n, const std::vector<Trepere>& reperes)
{
    n = std::clamp<qint32>(n, 0, NbrePointsMaxi);
    QList<TPlageProposee> plages;
    if (n == 0)
        return plages;
    const double fin = *std::max_element(x.begin(), x.begin() + n);
    plages << TPlageProposee{QStringLiteral("Toute l'acquisition"), x[0], fin};
    std::vector<Trepere> tries = reperes;
    std::stable_sort(tries.begin(), tries.end(),
                     [](const Trepere& a, const Trepere& b) { return a.Valeur < b.Valeur; });
    const auto nom = [](size_t i, const Trepere& r) {
        return r.Text.isEmpty() ? QStringLiteral("repère %1").arg(i + 1)
                                : QStringLiteral("« %1 »").arg(r.Text);
    };
    for (size_t i = 0; i < tries.size(); ++i) {
        const double t1 = tries[i].Valeur;
        if (i + 1 < tries.size())
            plages << TPlageProposee{QStringLiteral("Du %1 au %2").arg(nom(i, tries[i]), nom(i + 1, tries[i + 1])),
                                     t1, tries[i + 1].Valeur};
        else
            plages << TPlageProposee{QStringLiteral("Du %1 à la fin").arg(nom(i, tries[i])), t1, fin};
    }
    return plages;
}

TAnalyseCinet AnalysePlage(const Vecteur& x, const Vecteur& y, qint32 n, double t1, double t2,
                           const TOptionsAnalyse& options)
{
    const TPlage p = PlageTemps(x, n, t1, t2);
    return AnalyseCinetique(std::span<const double>(x.data() + p.debut, size_t(p.Nombre())),
                            std::span<const double>(y.data() + p.debut, size_t(p.Nombre())), options);
}

QStringList LignesCopieAnalyse(const TRunCinetique& run, const TAnalyseCinet& analyse)
{
    return QStringList{QStringLiteral("Analyse cinétique à %1 nm, acquisition du %2")
                           .arg(run.Lambda)
                           .arg(QLocale().toString(run.Debut, QLocale::ShortFormat))}
           + LignesAnalyseCinet(analyse);
}

void TraceFonction(TCanevas& c, const Tgraphe& graphe, const std::function<double(double)>& f,
                   double t1, double t2, QRgb couleur)
{
    Ordonne(t1, t2);
    qint32 x1, x2, y;
    graphe.WindowXY(t1, 0, x1, y);
    graphe.WindowXY(t2, 0, x2, y);
    const TRectangle& zone = graphe.LimiteCourbe;
    x1 = std::max(x1, zone.Left);
    x2 = std::min(x2, zone.Right);
    c.Pen.Color = couleur;
    c.Pen.Width = 2;
    c.Pen.Style = psSolid;
    bool trace = false;
    for (qint32 xi = x1; xi <= x2; ++xi) {
        double t, inutile;
        graphe.MondeXY(xi, 0, t, inutile);
        qint32 px, py;
        graphe.WindowXY(t, f(std::clamp(t, t1, t2)), px, py);
        const bool dedans = py >= zone.Top && py <= zone.Bottom && px != -1;
        if (dedans && trace)
            c.LineTo(xi, py);
        else if (dedans)
            c.MoveTo(xi, py);
        trace = dedans;
    }
    Tgraphe::penDefault(c);
}

QString TexteDuree(qint64 secondes)
{
    return TexteHeures(std::max<qint64>(secondes, 0));
}

const QString IndicationDuree =
    QStringLiteral("Durée : 5:00, 1:30:00, 90 (secondes), 1h30 ou 2 min");

QValidator::State TValidateurDuree::validate(QString& input, int&) const
{
    const QChar sep = SeparateurHeureLocale();
    const QChar virgule = SeparateurDecimal();
    for (QChar& c : input)
        if ((c == '.' || c == ',') && c != sep)
            c = virgule;
    QString s = input;
    s.remove(' ');
    if (s.isEmpty())
        return Intermediate;
    const QString S = QRegularExpression::escape(QString(sep));
    const QString D = QRegularExpression::escape(QString(virgule));
    const QString nombre = QStringLiteral("\\d+(?:%1\\d*)?").arg(D);
    const QRegularExpression forme(QStringLiteral(
        "^(?:(?:[01]?\\d|2[0-3])%1[0-5]?\\d%1[0-5]?\\d|[0-5]?\\d%1[0-5]?\\d"
        "|(?=.)(?:\\d+h)?(?:%2min)?(?:%2s?)?)$").arg(S, nombre));
    const QRegularExpressionMatch m = forme.match(s, 0, QRegularExpression::PartialPreferCompleteMatch);
    if (m.hasMatch())
        return Acceptable;
    return m.hasPartialMatch() ? Intermediate : Invalid;
}

TCinetique::TCinetique(Vecteur& valeurX, Vecteur& valeurY, qint32& nbrePoints)
    : m_x(valeurX), m_y(valeurY), m_n(nbrePoints)
{
}

void TCinetique::LitReglages(const TIniFile& ini, TReglagesCinetique& r)
{
    const QString save = QStringLiteral("Save");
    const QString cinet = QStringLiteral("Cinetique");
    r.Kurvalis = ini.ReadBool(save, QStringLiteral("Kurvalis"), true);
    r.Clip = ini.ReadBool(save, QStringLiteral("Clip"), false);
    r.Fichier = ini.ReadBool(save, QStringLiteral("File"), false);
    r.Lambda = ini.ReadInteger(cinet, QStringLiteral("Lambda"), 600);
    DeltatMesure = BorneDeltat(ini.ReadInteger(cinet, QStringLiteral("Deltat"), 3));
    DureeMesure = BorneDuree(ini.ReadInteger(cinet, QStringLiteral("Duree"), 120));
    NbreMax = DureeMesure / DeltatMesure;
}

void TCinetique::EcritReglages(TIniFile& ini, const TReglagesCinetique& r) const
{
    const QString save = QStringLiteral("Save");
    const QString cinet = QStringLiteral("Cinetique");
    ini.WriteBool(save, QStringLiteral("Kurvalis"), r.Kurvalis);
    ini.WriteBool(save, QStringLiteral("Clip"), r.Clip);
    ini.WriteBool(save, QStringLiteral("File"), r.Fichier);
    ini.WriteInteger(cinet, QStringLiteral("Lambda"), r.Lambda);
    ini.WriteInteger(cinet, QStringLiteral("Deltat"), DeltatMesure);
    ini.WriteInteger(cinet, QStringLiteral("Nombre"), NbreMax);
}

void TCinetique::Demarre()
{
    InstantDebut = Horloge().HeureDuJour();
    MsDebut = Horloge().Millisecondes();
    msOrigine_ = MsDebut;
    creneau_ = 0;
    m_n = 0;
}

qint64 TCinetique::Echeance(qint64 creneau) const
{
    return msOrigine_ + creneau * DeltatMesure * 1000;
}

qint64 TCinetique::MsAvantLecture() const
{
    return std::max<qint64>(Echeance(creneau_) - Horloge().Millisecondes(), 0);
}

qint32 TCinetique::LectureDemandee()
{
    const qint64 maintenant = Horloge().Millisecondes();
    const qint64 pas = qint64(DeltatMesure) * 1000;
    creneau_ = std::max(creneau_ + 1, (maintenant - msOrigine_) / pas + 1);
    return SecondesEcoulees();
}

void TCinetique::ChangeDeltat(quint16 deltat)
{
    msOrigine_ = Echeance(std::max<qint64>(creneau_ - 1, 0));
    creneau_ = creneau_ > 0 ? 1 : 0;
    DeltatMesure = deltat;
}

qint64 TCinetique::MillisecondesEcoulees() const
{
    return std::max<qint64>(Horloge().Millisecondes() - MsDebut, 0);
}

qint32 TCinetique::SecondesEcoulees() const
{
    return static_cast<qint32>(std::min<qint64>(MillisecondesEcoulees() / 1000, INT32_MAX));
}

TCinetique::TAjout TCinetique::AjoutePoint(double absC, qint32 instant)
{
    // A full table already ended its run: nothing more is stored.
    if (std::isnan(absC) || m_n < 0 || m_n >= NbrePointsMaxi)
        return ajIgnore;
    m_x[m_n] = instant;
    m_y[m_n] = absC;
    ++m_n;
    if (instant > DureeMesure)
        return ajTermine;
    return m_n >= NbrePointsMaxi ? ajPlein : ajAjoute;
}

void TCinetique::PrepareAbscisses()
{
    for (qint32 i = 0; i < NbrePointsMaxi; ++i)
        m_x[i] = static_cast<double>(i) * DeltatMesure;
}

void TCinetique::Restaure(const TRunCinetique& run)
{
    DeltatMesure = BorneDeltat(run.Deltat);
    DureeMesure = BorneDuree(run.Duree);
    NbreMax = CalculeNbreMax(DureeMesure, DeltatMesure);
    m_n = std::clamp<qint32>(run.n, 0, NbrePointsMaxi);
    std::copy(run.x.begin(), run.x.begin() + m_n, m_x.begin());
    std::copy(run.y.begin(), run.y.begin() + m_n, m_y.begin());
    EtatAcq = eaTerminee;
}

void TCinetique::MajNbreMax()
{
    DeltatMesure = BorneDeltat(DeltatMesure);
    NbreMax = CalculeNbreMax(DureeMesure, DeltatMesure);
}

void TCinetique::DureePlus()
{
    const quint16 duree = DureeSuivante(DureeMesure);
    // At the top of the range the duration stays, and so do the points.
    if (duree == DureeMesure)
        return;
    if (EtatAcq == eaEnCours && m_n > 1024)
        m_n = DivisePoints(m_x, m_y, m_n);
    DureeMesure = duree;
    MajNbreMax();
}

void TCinetique::DureeMoins()
{
    DureeMesure = DureePrecedente(DureeMesure);
    MajNbreMax();
}

bool TCinetique::DeltatPlus()
{
    if (DeltatMesure >= DeltatMaxi)
        return false;
    ChangeDeltat(DeltatMesure + 1);
    MajNbreMax();
    return true;
}

bool TCinetique::DeltatMoins()
{
    if (DeltatMesure <= DeltatMini)
        return false;
    ChangeDeltat(DeltatMesure - 1);
    MajNbreMax();
    return true;
}

bool TCinetique::SetDuree(qint32 secondes)
{
    const quint16 d = BorneDuree(secondes);
    if (d == DureeMesure)
        return false;
    DureeMesure = d;
    MajNbreMax();
    return true;
}

} // namespace kelvor
