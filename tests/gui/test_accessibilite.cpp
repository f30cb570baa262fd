// The three windows as a screen reader walks them offscreen: every control named, the
// windows exposed as windows, readouts that say their value, spin edits whose value is
// their text.

#include "app/application.h"
#include "instrument/inifile.h"
#include "support/dialoguesscript.h"
#include "support/horlogefactice.h"
#include "support/ports.h"
#include "support/qtprint.h"
#include "support/attente.h"
#include "support/appareilscript.h"
#include "support/localefixe.h"
#include "util/labutil.h"
#include "windows/communs.h"
#include "windows/dialoguesqt.h"
#include "windows/kelvorbeer.h"
#include "windows/kelvorcinet.h"
#include "windows/specmain.h"
#include "windows/spinedit.h"

#include <QAccessible>
#include <QApplication>
#include <QRegularExpression>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

using namespace kelvor;

namespace {

// Kinetics instrument: a slow fading reaction on a clock the test moves.
class TAppareilCinetique : public TAppareil
{
public:
    explicit TAppareilCinetique(THorlogeFactice& h) : horloge(h) {}
    THorlogeFactice& horloge;
    void GotoLambda(qint32) override {}
    void SetBlancProc() override {}
    double getAbsorbance() override { return 0.8 * std::exp(-horloge.ms / 90000.0); }
    void SetMode(Tmode) override {}
    bool EchangeEnCours() const override { return false; }
};

bool Conteneur(QAccessible::Role r)
{
    switch (r) {
    case QAccessible::Client:
    case QAccessible::Pane:
    case QAccessible::Grouping:
    case QAccessible::Separator:
    case QAccessible::Cell:
    case QAccessible::ColumnHeader:
    case QAccessible::RowHeader:
    case QAccessible::ScrollBar:
        return true;
    default:
        return false;
    }
}

// Every fault found under i, one line each, with the path of names leading to it.
void Parcourt(QAccessibleInterface* i, const QString& chemin, QStringList& defauts)
{
    if (!i || i->state().invisible)
        return;
    const QString nom = i->text(QAccessible::Name);
    const QString ici = chemin + QStringLiteral(" / ") +
                        (nom.isEmpty() ? QString::number(i->role(), 16) : nom);
    QWidget* w = i->object() && i->object()->isWidgetType() ? static_cast<QWidget*>(i->object())
                                                             : nullptr;
    if (nom.trimmed().isEmpty() && !Conteneur(i->role()))
        defauts << ici + QStringLiteral(": no name");
    if (nom.contains(QRegularExpression(QStringLiteral("\\(\\s*\\)"))))
        defauts << ici + QStringLiteral(": empty unit in the name");
    if (auto* l = qobject_cast<QLabel*>(w); l && l->textFormat() != Qt::RichText) {
        const QString vu = QString(l->text()).remove(QLatin1Char('&')).simplified();
        const QString dit = nom + QLatin1Char(' ') + i->text(QAccessible::Description);
        if (!vu.isEmpty() && !dit.simplified().contains(vu))
            defauts << ici + QStringLiteral(": shows \"%1\" but does not say it").arg(vu);
    }
    if (auto* s = qobject_cast<TSpinEdit*>(w)) {
        QAccessibleValueInterface* v = i->valueInterface();
        if (!v || v->currentValue().toString() != s->text())
            defauts << ici + QStringLiteral(": value %1, text %2")
                                 .arg(v ? v->currentValue().toString() : QStringLiteral("none"),
                                      s->text());
        else if (v->minimumValue().toInt() != s->MinValue() ||
                 v->maximumValue().toInt() != s->MaxValue() ||
                 v->minimumStepSize().toInt() != s->Increment())
            defauts << ici + QStringLiteral(": bounds or step differ");
    }
    for (int n = 0; n < i->childCount(); ++n)
        Parcourt(i->child(n), ici, defauts);
}

QStringList Defauts(QWidget* fenetre)
{
    QAccessibleInterface* racine = QAccessible::queryAccessibleInterface(fenetre);
    QStringList defauts;
    if (!racine || racine->role() != QAccessible::Window)
        defauts << fenetre->windowTitle() + QStringLiteral(": not exposed as a window");
    Parcourt(racine, fenetre->windowTitle(), defauts);
    return defauts;
}

class Accessibilite : public ::testing::Test
{
protected:
    LocaleFixe locale{QLocale::French, QLocale::France};
    QTemporaryDir dossier;
    TDialoguesScript dialogues;

    void SetUp() override
    {
        CacheLesPorts();
        DossierDonnees = dossier.path() + QLatin1Char('/');
        NouveauSpectro().modelNumber = "5100";
    }
    void TearDown() override
    {
        DossierDonnees.clear();
    }
    static void Montre(QWidget& w)
    {
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    }
};

TEST_F(Accessibilite, MainWindowReadoutsAndSpinEdits)
{
    TFenetresProgramme fenetres;
    TSpectreMain& w = fenetres.Principale();
    w.resize(1000, 680);
    Montre(w);
    w.PaintBox->Prepare();
    Vecteur& v = w.GrapheSpectre.valeurY;
    v.fill(PasDeValeur());
    for (qint32 l = 400; l <= 600; l += 2)
        v[l] = 0.722;
    w.DebutSE->SetValue(400);
    w.FinSE->SetValue(600);
    w.dataOK = true;
    w.Redessine();
    w.PaintBox->Prepare();
    qint32 x = 0, y = 0;
    w.GrapheSpectre.WindowXY(500, 1.0, x, y);
    QMouseEvent ev(QEvent::MouseMove, QPoint(x, y), w.PaintBox->mapToGlobal(QPoint(x, y)),
                   Qt::NoButton, Qt::NoButton, {});
    QApplication::sendEvent(w.PaintBox, &ev);

    ASSERT_FALSE(w.AbsLabel->text().isEmpty());
    EXPECT_EQ(w.AbsLabel->accessibleName(), "Absorbance : " + w.AbsLabel->text());
    EXPECT_EQ(w.LambdaLabel->accessibleName(), "Longueur d'onde : " + w.LambdaLabel->text());
    EXPECT_EQ(Defauts(&w), QStringList());

    w.PasSE->SetValue(2);
    QAccessibleInterface* pas = QAccessible::queryAccessibleInterface(w.PasSE);
    ASSERT_TRUE(pas && pas->valueInterface());
    EXPECT_EQ(pas->valueInterface()->currentValue().toInt(), 2);
    pas->valueInterface()->setCurrentValue(5);
    EXPECT_EQ(w.PasSE->text(), QStringLiteral("5")) << "the value is settable from the reader";
}

TEST_F(Accessibilite, KineticsWindowDuringARun)
{
    THorlogeFactice horloge;
    TAppareilCinetique appareil{horloge};
    TCinetiqueForm form(appareil);
    form.resize(800, 500);
    Montre(form);
    form.LambdaBtnClick();
    form.ZeroBtnClick();
    form.StartBtnClick();
    for (int i = 0; i < 3; ++i) {
        horloge.Avance(form.Cinetique.DeltatMesure * 1000);
        form.TimerTimer();
    }
    ASSERT_FALSE(form.PanelAbs->text().isEmpty());
    EXPECT_EQ(form.PanelAbs->accessibleName(), "Dernière absorbance : " + form.PanelAbs->text());
    EXPECT_EQ(form.PanelDuree->accessibleName(), "Temps écoulé : " + form.PanelDuree->text());
    EXPECT_EQ(form.LabelDeltat->accessibleName(), "Intervalle Dt : " + form.LabelDeltat->text());
    EXPECT_EQ(form.Oscillo->accessibleDescription(),
              QStringLiteral("Cinétique à %1 nm, %2 points")
                  .arg(form.LambdaSE->Value())
                  .arg(form.Cinetique.NbrePoints()));
    EXPECT_GE(form.Cinetique.NbrePoints(), 3);
    EXPECT_EQ(Defauts(&form), QStringList());
}

TEST_F(Accessibilite, BeerLambertWindow)
{
    TAppareilScript appareil;
    TBeerForm form(appareil);
    Montre(form);
    EXPECT_TRUE(Attends([&] { return !form.Oscillo->accessibleDescription().isEmpty(); }));
    EXPECT_EQ(form.Oscillo->accessibleDescription(), QStringLiteral("Beer-Lambert, 0 points"));
    EXPECT_EQ(Defauts(&form), QStringList());
}

} // namespace

// The boxes as a screen reader meets them: their text, buttons, fields and image named.
TEST_F(Accessibilite, BoxParts)
{
    TDialoguesQt qt;
    const std::pair<const char*, std::function<void()>> boites[] = {
        {"message", [&] { qt.Message(QStringLiteral("Balayage terminé")); }},
        {"question",
         [&] { qt.Confirme(QStringLiteral("Spectre non sauvé, on continue ?"), TDialogues::bOkAnnuler); }},
        {"saisie",
         [&] {
             QString texte = QStringLiteral("Repère");
             qt.Saisie(QStringLiteral("Repère"), QStringLiteral("Texte du repère :"), texte);
         }},
    };
    for (const auto& [nom, ouvre] : boites) {
        QStringList defauts;
        bool vu = false;
        QTimer::singleShot(0, [&] {
            QWidget* boite = QApplication::activeModalWidget();
            ASSERT_TRUE(boite);
            vu = true;
            Parcourt(QAccessible::queryAccessibleInterface(boite), QString::fromUtf8(nom), defauts);
            boite->close();
        });
        ouvre();
        EXPECT_TRUE(vu) << nom;
        EXPECT_EQ(defauts, QStringList()) << nom;
    }
}
