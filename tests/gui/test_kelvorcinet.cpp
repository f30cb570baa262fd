#include "windows/kelvorcinet.h"

#include "mesure/csvcinet.h"
#include "windows/kelvorconst.h"
#include "windows/spectdde.h"
#include "instrument/cfgspect.h"
#include "instrument/inifile.h"
#include "mesure/journalcinet.h"
#include "platform/pressepapier.h"
#include "util/cp1252.h"
#include "windows/spinedit.h"

#include "support/attente.h"
#include "support/controlescoupes.h"
#include "support/mnemoniques.h"
#include "support/compagnon.h"
#include "support/dialoguesscript.h"
#include "support/horlogefactice.h"
#include "support/localefixe.h"
#include "support/qtprint.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QApplication>
#include <QLayout>
#include <QCoreApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMainWindow>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>

using namespace kelvor;

namespace {

// The instrument as the window sees it: readings follow a function of the run's clock,
// and a hook runs while a reading is outstanding (where the real exchange lets the
// event loop run).
class TAppareilFactice : public TAppareil
{
public:
    explicit TAppareilFactice(THorlogeFactice& h) : horloge(h) {}

    THorlogeFactice& horloge;
    qint64 origine = 0;     // ms on the fake clock where the reaction starts
    // A first-order fading reaction unless a test says otherwise.
    std::function<double(double)> absorbance = [](double t) { return 0.8 * std::exp(-t / 90); };
    std::function<void()> pendant;
    QStringList journal;
    QList<double> rendues;  // every value returned, in order
    bool enCours = false;

    void GotoLambda(qint32 lambda) override { journal << QStringLiteral("GOTO %1").arg(lambda); }
    void SetBlancProc() override { journal << QStringLiteral("BLANC"); }
    double getAbsorbance() override
    {
        enCours = true;
        if (pendant)
            pendant();
        enCours = false;
        const double a = absorbance((horloge.ms - origine) / 1000.0);
        rendues << a;
        return a;
    }
    void SetMode(Tmode acq) override { journal << QStringLiteral("MODE %1").arg(acq); }
    bool EchangeEnCours() const override { return enCours; }
};

class Cinetique : public ::testing::Test
{
protected:
    QTemporaryDir dossier;
    THorlogeFactice horloge;
    TDialoguesScript dialogues;
    TAppareilFactice appareil{horloge};
    LocaleFixe locale{QLocale::c()};
    std::unique_ptr<TCinetiqueForm> form;

    void SetUp() override
    {
        DossierDonnees = dossier.path() + '/';
        NouveauSpectro().modelNumber = "5100";
        Cree();
    }
    void TearDown() override
    {
        form.reset();
        DossierDonnees.clear();
    }

    void Cree()
    {
        form.reset();
        form = std::make_unique<TCinetiqueForm>(appareil);
        form->resize(800, 500);
        form->show();
    }
    // Wavelength then blank: ready to start.
    void Prepare()
    {
        form->LambdaBtnClick();
        form->ZeroBtnClick();
        ASSERT_EQ(form->EtatAcq(), eaAttente);
    }
    // Starts and lets the timer tick every Δt until the run ends or maxTicks passed.
    void Lance(int maxTicks = 10000)
    {
        appareil.origine = horloge.ms;
        form->StartBtnClick();
        for (int i = 0; i < maxTicks && form->EtatAcq() == eaEnCours; ++i) {
            horloge.Avance(form->Cinetique.DeltatMesure * 1000);
            form->TimerTimer();
        }
    }
    void Ticks(int n)
    {
        for (int i = 0; i < n; ++i) {
            horloge.Avance(form->Cinetique.DeltatMesure * 1000);
            form->TimerTimer();
        }
    }
    QByteArray Reglages() const
    {
        QFile f(CheminReglages());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QStringList Visibles() const
    {
        QStringList l;
        for (QWidget* w : std::initializer_list<QWidget*>{
                 form->LambdaBtn, form->ZeroBtn, form->StartBtn, form->StopBtn, form->ResetBtn,
                 form->SaveBtn, form->ExitBtn, form->ZeroBtnBis, form->PanelDuree})
            if (w->isVisible())
                l << w->accessibleName().left(12);
        return l;
    }
};

} // namespace

TEST_F(Cinetique, CreationFromEmptySettings)
{
    EXPECT_EQ(form->windowTitle(), "Cinétique avec Kelvor 5100");
    EXPECT_EQ(form->LambdaSE->Value(), 600);
    EXPECT_EQ(form->Cinetique.DeltatMesure, 3);
    EXPECT_EQ(form->Cinetique.NbreMax, 40);
    EXPECT_EQ(form->LabelDeltat->text(), "Dt=3 s");
    EXPECT_EQ(form->DureeEdit->text(), "00:02:00");
    EXPECT_EQ(form->EtatAcq(), eaReglageLambda);
    EXPECT_EQ(Visibles(), QStringList({"Choisir la l", "Quitter", "Zéro/Blanc"}));
    EXPECT_FALSE(form->RepereBtn->isEnabled());
    EXPECT_FALSE(form->Timer->isActive());
    EXPECT_TRUE(form->KurvalisM->isChecked());
    EXPECT_FALSE(form->ClipM->isChecked() || form->FileM->isChecked());
    EXPECT_EQ(form->minimumSize(), form->layout()->minimumSize());   // every control whole
    EXPECT_EQ(form->Graphe.mondeX.maxi, 120);
    EXPECT_EQ(form->Graphe.mondeY.maxi, Spectro().MaxiAbs);
}

TEST_F(Cinetique, StepsThroughWavelengthBlankAndStartWithTheSpaceBar)
{
    QTest::keyClick(form->EditBidon, Qt::Key_Space);
    EXPECT_EQ(form->EtatAcq(), eaReglageZero);
    EXPECT_EQ(Visibles(), QStringList({"Mettre la cu", "Quitter"}));
    QTest::keyClick(form->EditBidon, Qt::Key_Space);
    EXPECT_EQ(form->EtatAcq(), eaAttente);
    EXPECT_EQ(form->LabelDeltat->text(), "3 s");
    QTest::keyClicks(form->EditBidon, "ab");    // other keys do nothing and leave no text
    EXPECT_EQ(form->EditBidon->text(), "");
    EXPECT_EQ(appareil.journal, QStringList({"GOTO 600", "BLANC"}));

    // A new wavelength sends the user back to the first step.
    form->LambdaSE->SetValue(450);
    EXPECT_EQ(form->EtatAcq(), eaReglageLambda);
    form->LambdaBtnClick();
    form->ZeroBtnClick();

    QTest::keyClick(form->EditBidon, Qt::Key_Space);
    EXPECT_EQ(form->EtatAcq(), eaEnCours);
    EXPECT_EQ(Visibles(), QStringList({"Stop", "Zéro/Blanc", "Temps écoulé"}));
    EXPECT_TRUE(form->RepereBtn->isEnabled());
    EXPECT_FALSE(form->LambdaSE->isEnabled());
    EXPECT_TRUE(form->Timer->isActive());
    EXPECT_EQ(form->Timer->interval(), 3000);
    EXPECT_EQ(form->Graphe.NbrePoints, 1);      // the first reading is taken at once
    EXPECT_EQ(appareil.journal, QStringList({"GOTO 600", "BLANC", "GOTO 450", "BLANC"}));
}

// Digits typed into the wavelength field stay there: the space-bar catcher takes the
// focus only from a button step, and is out of reach of Tab and of screen readers.
TEST_F(Cinetique, TypedWavelengthKeepsTheFocusAndIsBroughtInsideTheRange)
{
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    EXPECT_FALSE(form->EditBidon->focusPolicy() & Qt::TabFocus);
    QAccessibleInterface* bidon = QAccessible::queryAccessibleInterface(form->EditBidon);
    ASSERT_NE(bidon, nullptr);
    EXPECT_TRUE(bidon->state().invisible);

    const struct { const char* tape; const char* gotoAttendu; } cas[] = {
        {"530", "GOTO 530"}, {"1200", "GOTO 320"}, {"5", "GOTO 320"},   // "1200": the last 0 is refused
    };
    for (const auto& k : cas) {
        form->LambdaSE->setFocus();
        QTest::keyClick(form->LambdaSE, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), k.tape);
        EXPECT_TRUE(form->LambdaSE->hasFocus()) << k.tape;
        EXPECT_EQ(form->EtatAcq(), eaReglageLambda);
        appareil.journal.clear();
        form->LambdaBtn->click();
        EXPECT_EQ(appareil.journal, QStringList({k.gotoAttendu})) << k.tape;
        EXPECT_EQ(form->EtatAcq(), eaReglageZero);
    }
    // A step made with a button hands the space bar its catcher again.
    QTest::mouseClick(form->ZeroBtn, Qt::LeftButton);
    EXPECT_TRUE(form->EditBidon->hasFocus());
}

// The window's Alt letters are unique and reach the wavelength, the duration and "Quitter".
TEST_F(Cinetique, KeyboardOnlySettingsWithMnemonics)
{
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    const QStringList lettres = Mnemoniques(*form);
    EXPECT_GE(lettres.size(), 9);
    EXPECT_EQ(QSet<QString>(lettres.begin(), lettres.end()).size(), lettres.size())
        << lettres.join(' ').toStdString();

    QTest::keyClick(form.get(), Qt::Key_L, Qt::AltModifier);
    EXPECT_TRUE(form->LambdaSE->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), "450");
    QTest::keyClick(form.get(), Qt::Key_D, Qt::AltModifier);
    EXPECT_TRUE(form->DureeEdit->hasFocus());
    EXPECT_EQ(form->LambdaSE->Value(), 450);
    QTest::keyClick(form->DureeEdit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(form->DureeEdit, "1h30");
    QTest::keyClick(form->DureeEdit, Qt::Key_Return);
    EXPECT_EQ(form->Cinetique.DureeMesure, 3630);     // the parser reads 1 h and 30 s
    // Tab never lands on the space-bar catcher.
    for (QWidget* w = form->nextInFocusChain(); w != form.get(); w = w->nextInFocusChain()) {
        if (w == form->EditBidon) {
            EXPECT_FALSE(w->focusPolicy() & Qt::TabFocus);
        }
    }
    QTest::keyClick(form.get(), Qt::Key_Q, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); }));     // after the click animation
}

TEST_F(Cinetique, NothingIsCutAtTheDefaultOrMinimumSizeOrAt1024x768)
{
    EXPECT_EQ(CoupesAuxTaillesLimites(*form), QStringList());
}

TEST_F(Cinetique, IntervalAndDurationControls)
{
    form->DeltatSBDownClick();
    EXPECT_EQ(form->Cinetique.DeltatMesure, 3);
    EXPECT_EQ(form->LabelDeltat->text(), "Dt=3 s");   // nothing changed, nothing redone

    // Typed duration, from the keyboard alone: select all, type a form the parser reads.
    {
        const LocaleFixe francais(QLocale::French, QLocale::France);
        const auto tape = [&](const char* texte) {
            form->DureeEdit->setFocus();
            QTest::keyClick(form->DureeEdit, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(form->DureeEdit, texte);
        };
        tape("0.5 min");
        EXPECT_EQ(form->DureeEdit->text(), "0,5 min");
        QTest::keyClick(form->DureeEdit, Qt::Key_Return);
        EXPECT_EQ(form->Cinetique.DureeMesure, 30);
        EXPECT_EQ(form->Cinetique.NbreMax, 10);
        EXPECT_EQ(form->DureeEdit->text(), "00:00:30");
        tape("5:00");
        QTest::keyClick(form->DureeEdit, Qt::Key_Enter);
        EXPECT_EQ(form->Cinetique.DureeMesure, 300);
        EXPECT_EQ(form->DureeEdit->text(), "00:05:00");
        // A refused character is dropped with a hint; an unfinished form is put back.
        form->BarreEtat->clearMessage();
        tape("1:x");
        EXPECT_EQ(form->DureeEdit->text(), "1:");
        EXPECT_EQ(form->BarreEtat->currentMessage(), IndicationDuree);
        form->BarreEtat->clearMessage();
        QTest::keyClick(form->DureeEdit, Qt::Key_Return);
        EXPECT_EQ(form->DureeEdit->text(), "00:05:00");
        EXPECT_EQ(form->Cinetique.DureeMesure, 300);
        EXPECT_EQ(form->BarreEtat->currentMessage(), IndicationDuree);
    }
    form->DureeEdit->setText("20");
    form->DureeEditExit();
    EXPECT_EQ(form->Cinetique.DureeMesure, 30);     // 20 s at 3 s is raised to ten intervals
    EXPECT_EQ(form->DureeEdit->text(), "00:00:30");
    EXPECT_EQ(form->Graphe.mondeX.maxi, 30);

    form->DureeEdit->setText("120");
    form->DureeEditExit();
    const struct { void (TCinetiqueForm::*clic)(); int duree, nbre; } suite[] = {
        {&TCinetiqueForm::DureeSpinUpClick, 500, 150},
        {&TCinetiqueForm::DureeSpinDownClick, 200, 60},
        {&TCinetiqueForm::DureeSpinDownClick, 100, 30},
        {&TCinetiqueForm::DureeSpinDownClick, 50, 16},
        {&TCinetiqueForm::DureeSpinDownClick, 30, 10},
        {&TCinetiqueForm::DureeSpinDownClick, 30, 10},
        {&TCinetiqueForm::DeltatSBUpClick, 40, 10},
        {&TCinetiqueForm::DeltatSBUpClick, 50, 10},
    };
    for (const auto& k : suite) {
        (form.get()->*k.clic)();
        EXPECT_EQ(form->Cinetique.DureeMesure, k.duree);
        EXPECT_EQ(form->Cinetique.NbreMax, k.nbre) << k.duree;
        EXPECT_EQ(form->DureeEdit->text(), TexteDuree(k.duree));
    }
    EXPECT_EQ(form->LabelDeltat->text(), "5 s");
    EXPECT_FALSE(form->Timer->isActive()) << "nothing is due before Start";
}

TEST_F(Cinetique, TwoMinuteRunAtThreeSecondsGives42PointsAlsoAcrossMidnight)
{
    for (const double debut : {0.5, (86400.0 - 60) / 86400}) {
        horloge.heure = debut;
        Prepare();
        Lance();
        SCOPED_TRACE(debut);
        EXPECT_EQ(form->EtatAcq(), eaTerminee);
        ASSERT_EQ(form->Graphe.NbrePoints, 42);
        ASSERT_EQ(appareil.rendues.size(), 42);
        for (int i = 0; i < 42; ++i) {
            EXPECT_EQ(form->Graphe.valeurX[i], 3 * i);
            EXPECT_EQ(form->Graphe.valeurY[i], appareil.rendues[i]);
        }
        EXPECT_FALSE(form->Timer->isActive());
        EXPECT_EQ(Visibles(), QStringList({"RàZ", "Sauver", "Quitter", "Zéro/Blanc"}));
        EXPECT_EQ(form->PanelAbs->text(), QLocale().toString(appareil.rendues.last(), 'f', 3));
        appareil.rendues.clear();
        form->ResetBtnClick();
        EXPECT_EQ(form->EtatAcq(), eaAttente);
        EXPECT_EQ(form->Graphe.NbrePoints, 0);
    }
}

TEST_F(Cinetique, StopDiscardsShortRunsOnly)
{
    const struct { int points; TEtatAcquisition apres; int gardes; } cas[] = {
        {6, eaAttente, 0}, {11, eaTerminee, 11}, {10, eaAttente, 0},
    };
    Prepare();
    for (const auto& k : cas) {
        appareil.origine = horloge.ms;
        form->StartBtnClick();
        Ticks(k.points - 1);
        ASSERT_EQ(form->Graphe.NbrePoints, k.points);
        form->StopBtnClick();
        EXPECT_EQ(form->EtatAcq(), k.apres) << k.points;
        EXPECT_EQ(form->Graphe.NbrePoints, k.gardes) << k.points;
        if (k.apres == eaTerminee)
            form->ResetBtnClick();
    }
}

TEST_F(Cinetique, FailedReadingsAddNothingAndNeverEndTheRun)
{
    Prepare();
    appareil.absorbance = [](double) { return PasDeValeur(); };
    Lance(100);     // 300 s of failures on a 120 s run
    EXPECT_EQ(form->EtatAcq(), eaEnCours);
    EXPECT_EQ(form->Graphe.NbrePoints, 0);
    form->StopBtnClick();
    EXPECT_EQ(form->EtatAcq(), eaAttente);
}

TEST_F(Cinetique, TicksDuringAReadingAreSkippedAndLateReadingsGoToTheirOwnRunOnly)
{
    Prepare();
    int imbriquees = 0;
    appareil.pendant = [&] {
        ++imbriquees;
        form->TimerTimer();     // a tick falling due inside the exchange
        EXPECT_TRUE(form->LectureS->isVisible());
    };
    form->StartBtnClick();
    EXPECT_EQ(imbriquees, 1);
    EXPECT_EQ(appareil.rendues.size(), 1);
    EXPECT_FALSE(form->LectureS->isVisible());
    form->StopBtnClick();

    // Clicks handled while a reading waits for its reply, after `avant` points.
    const struct { const char* nom; int avant; std::function<void()> clics; TEtatAcquisition apres; int points; } cas[] = {
        {"short run stopped", 1, [&] { form->StopBtnClick(); }, eaAttente, 0},
        {"long run stopped", 11, [&] { form->StopBtnClick(); }, eaTerminee, 12},
        {"stopped then RàZ", 11, [&] { form->StopBtnClick(); form->ResetBtnClick(); }, eaAttente, 0},
        {"discarded and restarted", 1, [&] { form->StopBtnClick(); form->StartBtnClick(); }, eaEnCours, 0},
    };
    for (const auto& k : cas) {
        appareil.pendant = nullptr;
        form->StartBtnClick();
        Ticks(k.avant - 1);
        appareil.pendant = k.clics;
        Ticks(1);
        appareil.pendant = nullptr;
        EXPECT_EQ(form->EtatAcq(), k.apres) << k.nom;
        EXPECT_EQ(form->Graphe.NbrePoints, k.points) << k.nom;
        if (k.points > 0) {
            EXPECT_EQ(form->Graphe.valeurX[k.points - 1], 3 * (k.points - 1)) << k.nom;
        }
        form->StopBtnClick();
        form->ResetBtnClick();
        ASSERT_EQ(form->EtatAcq(), eaAttente);
    }

    // The blank from the tool bar is refused while a reading waits for its reply.
    appareil.pendant = [&] { form->ZeroBtnBisClick(); };
    form->StartBtnClick();
    EXPECT_EQ(dialogues.bips, 1);
    EXPECT_EQ(appareil.journal.count("BLANC"), 1);
}

TEST_F(Cinetique, MarkerKeepsTheTimeOfTheClickWhileTheBoxStaysOpen)
{
    Prepare();
    form->StartBtnClick();
    horloge.Avance(36000);
    form->TimerTimer();
    horloge.Avance(1000);       // 37 s
    // The box stays open 10 s while readings go on.
    struct Boite : TDialoguesScript
    {
        std::function<void()> ouverte;
        bool Saisie(const QString& t, const QString& i, QString& v) override
        {
            ouverte();
            return TDialoguesScript::Saisie(t, i, v);
        }
    } boite;
    // The timer comes at each due time: 39, 42, 45, 48 and 51 s.
    boite.ouverte = [&] {
        for (int i = 0; i < 5; ++i) {
            horloge.Avance(i == 0 ? 2000 : 3000);
            form->TimerTimer();
        }
    };
    boite.Repond(true, "ajout");
    boite.Repond(false);
    form->RepereBtnClick();
    boite.ouverte = [] {};
    form->RepereBtnClick();     // cancelled: placed all the same, without a text
    SetDialogues(&dialogues);
    EXPECT_EQ(boite.questions,
              QStringList({"Création d'un repère|Signification", "Création d'un repère|Signification"}));
    ASSERT_EQ(form->Graphe.ListeRepere.size(), 2u);
    EXPECT_EQ(form->Graphe.ListeRepere[0].Valeur, 37);
    EXPECT_EQ(form->Graphe.ListeRepere[0].Text, "ajout");
    EXPECT_EQ(form->Graphe.ListeRepere[1].Valeur, 51);
    EXPECT_EQ(form->Graphe.ListeRepere[1].Text, "");
    EXPECT_EQ(form->Graphe.NbrePoints, 7);
}

TEST_F(Cinetique, EndOfRunRescale)
{
    const struct { const char* nom; std::function<double(double)> a; int points; double maxY; } cas[] = {
        {"largest 0.35", [](double t) { return 0.35 - t / 1000; }, 42, 1.0},
        {"largest 1.8", [](double t) { return t == 60 ? 1.8 : 0.9; }, 42, 1.8},
        {"two points", [](double t) { return t == 0 || t > 120 ? 0.4 : PasDeValeur(); }, 2, 2.5},
    };
    Prepare();
    for (const auto& k : cas) {
        appareil.absorbance = k.a;
        Lance();
        EXPECT_EQ(form->EtatAcq(), eaTerminee) << k.nom;
        EXPECT_EQ(form->Graphe.NbrePoints, k.points) << k.nom;
        EXPECT_EQ(form->Graphe.mondeX.mini, 0) << k.nom;
        EXPECT_EQ(form->Graphe.mondeX.maxi, 120) << k.nom;
        EXPECT_EQ(form->Graphe.mondeY.mini, 0) << k.nom;
        EXPECT_EQ(form->Graphe.mondeY.maxi, k.maxY) << k.nom;
        form->ResetBtnClick();
    }
}

TEST_F(Cinetique, AFullTableEndsTheRunWithAMessage)
{
    form->DureeEdit->setText("50000");
    form->DureeEditExit();
    Prepare();
    Lance(3000);
    EXPECT_EQ(form->EtatAcq(), eaTerminee);
    EXPECT_EQ(form->Graphe.NbrePoints, 2049);
    EXPECT_EQ(form->Graphe.valeurX[2048], 6144);
    EXPECT_EQ(dialogues.messages, QStringList({TCinetiqueForm::MessageTablePleine}));
}

TEST_F(Cinetique, ClosingAsksSauvegardeOnlyForAnUnsavedFinishedRun)
{
    form->DureeEdit->setText("500");
    form->DureeEditExit();
    Prepare();
    form->StartBtnClick();
    Ticks(49);
    dialogues.Repond(false);                // "Sauvegarde": No
    form->close();
    EXPECT_EQ(dialogues.questions, QStringList({"Sauvegarde"}));
    EXPECT_EQ(form->EtatAcq(), eaTerminee);
    EXPECT_EQ(form->Graphe.NbrePoints, 50);
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->Timer->isActive());

    // Still unsaved: asked again, and Yes saves to the checked destination.
    form->show();
    form->ClipM->setChecked(true);
    dialogues.Repond(true);
    form->close();
    EXPECT_EQ(dialogues.questions, QStringList({"Sauvegarde", "Sauvegarde"}));
    EXPECT_TRUE(form->DejaSauve);
    EXPECT_EQ(LitPressePapier().split("\r\n").size(), 5 + 50 + 1);

    // After a copy to the clipboard nothing is asked.
    form->show();
    form->KurvalisMClick(form->ClipM);
    form->close();
    EXPECT_EQ(dialogues.questions.size(), 2);

    // "Quitter" returns the main window to spectrum mode first.
    form->show();
    form->ExitItemClick();
    EXPECT_EQ(appareil.journal.last(), "MODE 0");
    EXPECT_FALSE(form->isVisible());
}

TEST_F(Cinetique, SettingsWrittenAtCloseAreReadAtTheNextCreation)
{
    form->LambdaSE->SetValue(450);
    form->DeltatSBUpClick();
    form->DeltatSBUpClick();
    form->ClipM->setChecked(true);
    form->close();
    const QByteArray ini = Reglages();
    for (const char* ligne : {"[Save]\r\nKurvalis=0\r\nClip=1\r\nFile=0\r\n",
                              "[Cinetique]\r\nLambda=450\r\nDeltat=5\r\nNombre=24\r\n"})
        EXPECT_TRUE(ini.contains(ligne)) << ligne << "\n" << ini.toStdString();

    Cree();
    EXPECT_EQ(form->LambdaSE->Value(), 450);
    EXPECT_EQ(form->LabelDeltat->text(), "Dt=5 s");
    EXPECT_EQ(form->Cinetique.NbreMax, 24);
    EXPECT_TRUE(form->ClipM->isChecked());
    EXPECT_FALSE(form->KurvalisM->isChecked());
    EXPECT_EQ(form->SaveBtn->icon().cacheKey(), form->ClipM->icon().cacheKey());
}

TEST(CinetiqueIndications, LongHintsShowInTheWindowsOwnStatusBarNotTheInstruments)
{
    QTemporaryDir dossier;
    DossierDonnees = dossier.path() + '/';
    NouveauSpectro();
    THorlogeFactice horloge;
    TDialoguesScript dialogues;
    struct Principale : QMainWindow, TAppareilFactice
    {
        explicit Principale(THorlogeFactice& h) : TAppareilFactice(h) { statusBar(); }
    } principale(horloge);
    TCinetiqueForm form(principale);
    for (const auto& [bouton, longue] : {std::pair<QWidget*, QString>{form.StopBtn, "Arrêt de l'acquisition"},
                                         {form.StartBtn, "Lance l'acquisition"}}) {
        QStatusTipEvent survol(bouton->statusTip());
        QCoreApplication::sendEvent(bouton, &survol);
        EXPECT_EQ(form.BarreEtat->currentMessage(), longue);
        EXPECT_TRUE(principale.statusBar()->currentMessage().isEmpty());
    }
    DossierDonnees.clear();
}

// A finished run of 6 points with two markers, saved or sent in each of the three ways.
class Sauvegarde : public Cinetique
{
protected:
    QTemporaryDir dde;
    TConstanteDlg dlg;
    std::unique_ptr<TFormDDE> formDDE;

    void SetUp() override
    {
        qputenv("KELVOR_DDE_DIR", dde.path().toUtf8());
        Cinetique::SetUp();
        formDDE = std::make_unique<TFormDDE>();
        formDDE->ServiceApplication = QStringLiteral("kurvalis.exe");
        formDDE->Lanceur = [](const QString&) { return false; };
        formDDE->Attente = [](int) {};
        formDDE->ConstanteDlg = &dlg;
        dlg.CommEdit->setText(QStringLiteral("essai é"));
        form->FormDDE = formDDE.get();

        const double valeurs[] = {0.5, 0.4567, 0.3, 0.00001234, 2, -0.125};
        appareil.absorbance = [valeurs](double t) { return valeurs[int(t) / 3]; };
        form->DureeEdit->setText("30");
        form->DureeEditExit();
        Prepare();
        form->StartBtnClick();
        Ticks(2);
        horloge.Avance(1000);
        dialogues.Repond(true, QStringLiteral("ajout"));
        form->RepereBtnClick();     // 7 s
        horloge.Avance(2000);
        form->TimerTimer();
        horloge.Avance(1000);
        dialogues.Repond(false);
        form->RepereBtnClick();     // 10 s, no text
        horloge.Avance(2000);
        form->TimerTimer();
        Ticks(1);
        form->StopBtnClick();       // 6 points of at most 10: kept
        ASSERT_EQ(form->EtatAcq(), eaTerminee);
        ASSERT_EQ(form->Graphe.NbrePoints, 6);
        dialogues.questions.clear();
    }
    void TearDown() override
    {
        form.reset();
        formDDE.reset();
        qunsetenv("KELVOR_DDE_DIR");
        Cinetique::TearDown();
    }
    static QByteArray Lit(const QString& nom)
    {
        QFile f(nom);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(absent)");
    }
    QByteArray Exe() const { return QCoreApplication::applicationFilePath().toUtf8(); }
};

TEST_F(Sauvegarde, FileInBothLayoutsByteForByte)
{
    const LocaleFixe francais(QLocale::French, QLocale::France);
    form->FileM->setChecked(true);
    const QString kv3 = dossier.filePath("run.Kv3");
    const QString txt = dossier.filePath("run.txt");
    dialogues.Repond(true, kv3);
    dialogues.Repond(true, txt);
    form->SaveBtnClick();
    EXPECT_TRUE(form->FormatKV3);
    form->SaveBtnClick();
    EXPECT_FALSE(form->FormatKV3);
    EXPECT_EQ(form->NomFichierData, txt);
    EXPECT_TRUE(form->DejaSauve);
    EXPECT_EQ(dialogues.questions, QStringList({"Sauvegarde données", "Sauvegarde données"}));

    const QByteArray attenduKv3 =
        "MERIDANE KURVALIS WINDOWS 1.0\r\n"
        "\xA3" "2 NOM VAR\r\nt\r\nA\r\n"
        "\xA3" "2 UNITE VAR\r\ns\r\n\r\n"
        "\xA3" "2 SIGNIF VAR\r\ndur\xE9" "e\r\nAbsorbance\r\n"
        "\xA3" "1 ACQUISITION\r\n" + Exe() + "\r\n"
        "\xA3" "1 PAGE COMMENT\r\nessai \xE9\r\n"
        "&6 VALEUR VAR\r\n"
        "0 0,5\r\n3 0,4567\r\n6 0,3\r\n9 1,234E-05\r\n12 2\r\n15 -0,125\r\n"
        "&2 REPERE\r\n7\tajout\r\n10\t\r\n";
    EXPECT_EQ(Lit(kv3), attenduKv3);
    const QByteArray attenduTxt =
        "Cin\xE9tique avec Kelvor 5100\r\n"
        "t\tA\r\ns\t\r\n"
        "0\t0.5\r\n3\t0.4567\r\n6\t0.3\r\n9\t1.234E-05\r\n12\t2\r\n15\t-0.125\r\n"
        "\r\nREPERE\r\n7\tajout\r\n10\t\r\n";
    EXPECT_EQ(Lit(txt), attenduTxt);
}

TEST_F(Sauvegarde, AFileThatCannotBeWrittenIsReportedAndStaysUnsaved)
{
    form->FileM->setChecked(true);
    dialogues.Repond(true, dossier.filePath("absent/run.kv3"));
    form->SaveBtnClick();
    EXPECT_EQ(dialogues.messages, QStringList({"Erreur d'écriture du fichier"}));
    EXPECT_FALSE(form->DejaSauve);
    dialogues.Repond(false);    // so closing still offers to save
    form->close();
    EXPECT_EQ(dialogues.questions.last(), "Sauvegarde");

    dialogues.Repond(false);    // save dialog cancelled: nothing written, nothing changed
    form->SaveBtnClick();
    EXPECT_FALSE(form->DejaSauve);
    EXPECT_EQ(dialogues.messages.size(), 1);
}

TEST_F(Sauvegarde, CompanionAsNewFileThenNewPageThenClipboard)
{
    TCompagnon compagnon;
    ASSERT_TRUE(compagnon.ecoute);
    dialogues.RepondDialogue(false, {});    // parameter dialog cancelled: nothing sent
    form->SaveBtnClick();
    EXPECT_FALSE(form->DejaSauve);
    dialogues.RepondDialogue(true, {});
    form->SaveBtnClick();
    EXPECT_TRUE(form->DejaSauve);
    ASSERT_TRUE(compagnon.Attend(1));
    const QStringList bloc = compagnon.recus[0].pressePapier.split("\r\n");
    ASSERT_EQ(bloc.size(), 15);
    EXPECT_EQ(bloc[0], QCoreApplication::applicationFilePath());
    EXPECT_TRUE(bloc[1].startsWith("Cinétique  "));
    EXPECT_EQ(bloc.mid(2), QStringList({"essai é", "t\tA", "s\t", "0\t0.5", "3\t0.4567", "6\t0.3",
                                        "9\t1.234E-05", "12\t2", "15\t-0.125", "&2 REPERE",
                                        "7\tajout", "10\t", ""}));

    form->ResetBtnClick();
    appareil.absorbance = [](double) { return 0.2; };
    Lance();
    EXPECT_FALSE(form->DejaSauve);
    dialogues.RepondDialogue(true, {});
    form->SaveBtnClick();
    ASSERT_TRUE(compagnon.Attend(2));
    EXPECT_EQ(compagnon.Macros(), QList<QByteArray>({"CLIP|LOAD", "CLIP|ADD"}));
    EXPECT_EQ(dialogues.questions.size(), 3);

    // Picking the clipboard copies at once, asks nothing and stays the destination.
    form->ResetBtnClick();
    Lance();
    form->KurvalisMClick(form->ClipM);
    EXPECT_TRUE(form->ClipM->isChecked());
    EXPECT_FALSE(form->KurvalisM->isChecked());
    EXPECT_TRUE(form->DejaSauve);
    EXPECT_EQ(dialogues.questions.size(), 3);
    const QStringList copie = LitPressePapier().split("\r\n");
    EXPECT_EQ(copie.size(), 5 + 12 + 1);
    EXPECT_EQ(copie[5], "0\t0.2");
    EXPECT_EQ(compagnon.recus.size(), 2);
}

TEST_F(Sauvegarde, NoDestinationCheckedSavesNothing)
{
    form->KurvalisM->setChecked(false);
    form->SaveBtnClick();
    EXPECT_TRUE(dialogues.questions.isEmpty());
    EXPECT_FALSE(form->DejaSauve);
}

// Ctrl+S is "Sauver", as in the spectrum window; without the companion link "vers
// Kurvalis" shows no dialog and sends nothing.
TEST_F(Sauvegarde, ControlSSavesAndWithoutTheLinkNothingGoesToKurvalis)
{
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->FormDDE = nullptr;
    CopiePressePapier(QStringLiteral("avant"));
    QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(dialogues.questions.isEmpty());
    EXPECT_FALSE(form->DejaSauve);
    EXPECT_EQ(LitPressePapier(), "avant");

    form->ClipM->setChecked(true);
    QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(form->DejaSauve);
    const QStringList copie = LitPressePapier().split("\r\n");
    EXPECT_EQ(copie.value(0), QCoreApplication::applicationFilePath());
    EXPECT_EQ(copie.value(2), "") << "no parameter dialog: no comment";
    EXPECT_EQ(copie.value(5), "0\t0.5");
}

// ------------------------------------------------------------------ rate-law analysis

namespace {

QLabel* Resultats(QWidget& fenetre)
{
    for (QLabel* l : fenetre.findChildren<QLabel*>())
        if (l->accessibleName() == "Analyse cinétique")
            return l;
    return nullptr;
}

// A blue pixel of the fitted curve within a few rows of (x, y).
bool CourbeBleue(const QImage& image, qint32 x, qint32 y)
{
    for (qint32 dy = -3; dy <= 3; ++dy) {
        const QRgb p = image.pixel(x, y + dy);
        if (qBlue(p) > 150 && qRed(p) < 80)
            return true;
    }
    return false;
}

} // namespace

TEST_F(Cinetique, FinishedRunIsAnalysedInThePanelWithTheBestCurveOverThePoints)
{
    Prepare();
    Lance();    // 0.8·e^(−t/90), 42 points
    ASSERT_EQ(form->EtatAcq(), eaTerminee);
    EXPECT_TRUE(form->PanneauAnalyse->isVisible());
    QLabel* resultats = Resultats(*form);
    ASSERT_TRUE(resultats);
    const QString texte = resultats->accessibleDescription();
    EXPECT_EQ(texte, resultats->text());
    for (const char* morceau : {"Ordre 0 : k =", "Ordre 1 : k =", "Ordre 2 : k =", "s⁻¹", "t½ =",
                                "R² =", "Verdict : ordre 1 le plus probable",
                                "Vitesse initiale (5 points)"})
        EXPECT_TRUE(texte.contains(QString::fromUtf8(morceau))) << morceau;
    EXPECT_EQ(form->Analyse.nbrePoints, 42);
    EXPECT_NEAR(form->Analyse.Ajustement(oc1).k, 1 / 90.0, 0.02 / 90);

    // The fitted curve runs between the points, where no square covers it.
    qint32 xi, yi;
    form->Graphe.WindowXY(46.5, 0.8 * std::exp(-46.5 / 90), xi, yi);
    EXPECT_TRUE(CourbeBleue(form->Oscillo->image, xi, yi));

    form->AInfZeroCB->setChecked(true);
    form->VitesseSE->setValue(8);
    EXPECT_FALSE(form->Analyse.options.AInfLibre);
    EXPECT_TRUE(resultats->text().contains("A∞ fixé à 0"));
    EXPECT_TRUE(resultats->text().contains("Vitesse initiale (8 points)"));
    EXPECT_EQ(resultats->accessibleDescription(), resultats->text());

    // The linearised view: ln A against t, with its straight line.
    form->TraceCB->setCurrentIndex(2);
    const Tgraphe& g = form->GrapheLineaire;
    EXPECT_EQ(g.mondeY.nom, "ln(A − A∞)");
    ASSERT_EQ(g.NbrePoints, 42);
    EXPECT_NEAR(g.valeurY[10], std::log(form->Graphe.valeurY[10]), 1e-12);
    g.WindowXY(46.5, std::log(0.8) - 46.5 / 90, xi, yi);
    EXPECT_TRUE(CourbeBleue(form->Oscillo->image, xi, yi));

    // A new run hides the panel and shows its points again.
    form->ResetBtnClick();
    EXPECT_FALSE(form->PanneauAnalyse->isVisible());
    form->StartBtnClick();
    EXPECT_EQ(form->TraceCB->currentIndex(), 0);
    form->StopBtnClick();
}

TEST_F(Cinetique, SpanBetweenMarkersOrDraggedOnTheGraph)
{
    // Flat until the reagent goes in at 30 s, first order after it.
    appareil.absorbance = [](double t) { return t < 30 ? 0.1 : 0.1 + 0.7 * std::exp(-(t - 30) / 40); };
    Prepare();
    appareil.origine = horloge.ms;
    form->StartBtnClick();
    for (int i = 1; i < 100 && form->EtatAcq() == eaEnCours; ++i) {
        horloge.Avance(3000);
        form->TimerTimer();
        if (i == 10 || i == 30) {
            dialogues.Repond(true, i == 10 ? "réactif" : "fin");
            form->RepereBtnClick();
        }
    }
    ASSERT_EQ(form->EtatAcq(), eaTerminee);
    ASSERT_EQ(form->PlageCB->count(), 3);
    EXPECT_EQ(form->PlageCB->itemText(0), "Toute l'acquisition");
    EXPECT_EQ(form->PlageCB->itemText(1), "Du « réactif » au « fin »");
    EXPECT_EQ(form->PlageCB->itemText(2), "Du « fin » à la fin");

    form->PlageCB->setCurrentIndex(1);
    EXPECT_EQ(form->Analyse.tDebut, 30);
    EXPECT_EQ(form->Analyse.tFin, 90);
    EXPECT_EQ(form->Analyse.nbrePoints, 21);
    EXPECT_EQ(TexteVerdict(form->Analyse), "ordre 1 le plus probable");
    EXPECT_NEAR(form->Analyse.Ajustement(oc1).k, 1 / 40.0, 0.02 / 40);

    // A drag on the graph, each end midway between two readings.
    const auto glisse = [&](double t1, double t2) {
        qint32 x1, x2, y;
        form->Graphe.WindowXY(t1, 0.3, x1, y);
        form->Graphe.WindowXY(t2, 0.3, x2, y);
        QTest::mousePress(form->Oscillo, Qt::LeftButton, {}, QPoint(x1, y));
        QTest::mouseMove(form->Oscillo, QPoint((x1 + x2) / 2, y));
        QTest::mouseRelease(form->Oscillo, Qt::LeftButton, {}, QPoint(x2, y));
    };
    glisse(61.5, 31.5);
    ASSERT_EQ(form->PlageCB->count(), 4);
    EXPECT_EQ(form->PlageCB->currentIndex(), 3);
    EXPECT_TRUE(form->PlageCB->currentText().startsWith("Sélection sur le graphe"));
    EXPECT_EQ(form->Analyse.tDebut, 33);
    EXPECT_EQ(form->Analyse.tFin, 60);
    EXPECT_EQ(form->Analyse.nbrePoints, 10);

    // Too few points: the panel says why.
    glisse(31.5, 40.5);
    EXPECT_FALSE(form->Analyse.valide);
    EXPECT_FALSE(form->Analyse.message.isEmpty());
    EXPECT_TRUE(Resultats(*form)->text().startsWith(form->Analyse.message));
    // A click is no span; the whole run is still one choice away.
    const QString courte = form->PlageCB->currentText();
    glisse(50, 50.5);
    EXPECT_EQ(form->PlageCB->count(), 4);
    EXPECT_EQ(form->PlageCB->currentText(), courte);
    form->PlageCB->setCurrentIndex(0);
    EXPECT_EQ(form->Analyse.nbrePoints, 42);
}

TEST_F(Cinetique, CsvExportAndAnalysisCopyThroughTheWindow)
{
    const LocaleFixe francais(QLocale::French, QLocale::France);
    Prepare();
    Lance();
    ASSERT_EQ(form->EtatAcq(), eaTerminee);

    const QString sansExtension = dossier.path() + "/essai";
    dialogues.Repond(true, sansExtension);
    form->ExporteBtn->click();
    EXPECT_EQ(dialogues.questions.last(), "Exporter pour un tableur");
    QFile f(sansExtension + ".csv");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray octets = f.readAll();
    EXPECT_EQ(octets, CsvCinetique(form->RunCourant(), &form->Analyse));
    EXPECT_TRUE(octets.startsWith("\xEF\xBB\xBF" "Cinétique à 600 nm;"));
    const QList<QByteArray> lignes = octets.split('\n');
    ASSERT_GT(lignes.size(), 5);
    EXPECT_EQ(lignes[2], "t (s);A\r");
    EXPECT_EQ(lignes[3], "0;0,8\r");
    EXPECT_TRUE(octets.contains("\r\nVerdict;ordre 1 le plus probable\r\n"));
    EXPECT_FALSE(form->DejaSauve) << "an export is not the run's save";

    // A name with its own extension keeps it; a cancelled dialog writes nothing.
    dialogues.Repond(true, dossier.path() + "/essai.txt");
    form->ExporteBtn->click();
    EXPECT_TRUE(QFile::exists(dossier.path() + "/essai.txt"));
    dialogues.Repond(false);
    form->ExporteBtn->click();
    dialogues.Repond(true, dossier.path() + "/absent/essai.csv");
    form->ExporteBtn->click();
    EXPECT_EQ(dialogues.messages, QStringList({"Erreur d'écriture du fichier"}));

    form->CopieAnalyseBtn->click();
    const QString copie = LitPressePapier();
    EXPECT_TRUE(copie.startsWith("Analyse cinétique à 600 nm, acquisition du ")) << copie.toStdString();
    EXPECT_TRUE(copie.contains("\r\nVerdict : ordre 1 le plus probable\r\n"));
    EXPECT_TRUE(copie.endsWith("\r\n"));
}

// ------------------------------------------------------------------ recovery journal

TEST_F(Cinetique, JournalFollowsTheRunAndGoesWhenTheRunIsSavedOrDiscarded)
{
    const QString chemin = NomJournalCinet();
    const auto lu = [&]() -> std::optional<TRunCinetique> {
        QFile f(chemin);
        if (!f.open(QIODevice::ReadOnly))
            return std::nullopt;
        return LitJournalCinet(f.readAll());
    };
    Prepare();
    appareil.origine = horloge.ms;
    form->StartBtnClick();
    for (int tick = 0; tick < 5; ++tick) {
        const auto run = lu();
        ASSERT_TRUE(run) << "tick " << tick;
        ASSERT_EQ(run->n, form->Graphe.NbrePoints);
        for (qint32 i = 0; i < run->n; ++i) {
            EXPECT_EQ(run->x[i], form->Graphe.valeurX[i]);
            EXPECT_EQ(run->y[i], form->Graphe.valeurY[i]);
        }
        Ticks(1);
    }
    dialogues.Repond(true, "ajout");
    form->RepereBtnClick();
    form->DeltatSBUpClick();
    auto run = lu();
    ASSERT_TRUE(run);
    EXPECT_EQ(run->Lambda, 600);
    EXPECT_EQ(run->Deltat, 4);
    ASSERT_EQ(run->Reperes.size(), 1u);
    EXPECT_EQ(run->Reperes[0].Valeur, 15);
    EXPECT_EQ(run->Reperes[0].Text, "ajout");
    while (form->EtatAcq() == eaEnCours)
        Ticks(1);
    run = lu();
    ASSERT_TRUE(run) << "a finished run keeps its journal until it is saved";
    EXPECT_EQ(run->n, form->Graphe.NbrePoints);

    form->KurvalisMClick(form->ClipM);
    EXPECT_FALSE(QFile::exists(chemin)) << "copied";

    form->ResetBtnClick();
    Lance();
    EXPECT_TRUE(QFile::exists(chemin));
    form->ResetBtnClick();
    EXPECT_FALSE(QFile::exists(chemin)) << "discarded with RàZ";

    form->StartBtnClick();
    Ticks(2);
    EXPECT_TRUE(QFile::exists(chemin));
    form->StopBtnClick();
    EXPECT_EQ(form->EtatAcq(), eaAttente);
    EXPECT_FALSE(QFile::exists(chemin)) << "a short run stopped is discarded";
    EXPECT_TRUE(dialogues.messages.isEmpty());
}

TEST_F(Cinetique, AJournalThatCannotBeWrittenIsReportedOnceAndTheRunGoesOn)
{
    DossierDonnees = dossier.path() + "/absent/";
    Cree();
    Prepare();
    form->StartBtnClick();
    Ticks(3);
    ASSERT_EQ(dialogues.messages.size(), 1);
    EXPECT_TRUE(dialogues.messages[0].startsWith("Le fichier de récupération ne peut être écrit ("));
    EXPECT_TRUE(dialogues.messages[0].endsWith(") : l'acquisition continue sans lui."));
    EXPECT_EQ(form->Graphe.NbrePoints, 4);
    EXPECT_EQ(form->EtatAcq(), eaEnCours);
    form->StopBtnClick();
}

TEST_F(Cinetique, RecoveryIsOfferedAtTheFirstShowingAndTakenOrDeclined)
{
    const QString chemin = NomJournalCinet();
    for (const bool accepte : {true, false}) {
        SCOPED_TRACE(accepte);
        {
            TJournalCinet j;
            j.Commence(QDateTime(QDate(2026, 12, 10), QTime(14, 2, 31)), 512, 4, 200);
            for (int i = 0; i < 3; ++i)
                j.AjoutePoint(i, 4 * i, 0.5 - 0.1 * i);
            j.AjouteRepere(4, "ajout");
        }
        dialogues.questions.clear();
        dialogues.Repond(accepte);
        Cree();
        ASSERT_TRUE(Attends([&] { return !dialogues.questions.isEmpty(); }));
        EXPECT_EQ(dialogues.questions,
                  QStringList({"Une acquisition interrompue le 10/12/2026 à 14:02 (3 points) a été "
                               "retrouvée. La récupérer ?"}));
        if (!accepte) {
            EXPECT_FALSE(QFile::exists(chemin));
            EXPECT_EQ(form->EtatAcq(), eaReglageLambda);
            EXPECT_EQ(form->Graphe.NbrePoints, 0);
            continue;
        }
        EXPECT_EQ(form->EtatAcq(), eaTerminee);
        ASSERT_EQ(form->Graphe.NbrePoints, 3);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(form->Graphe.valeurX[i], 4 * i);
            EXPECT_EQ(form->Graphe.valeurY[i], 0.5 - 0.1 * i);
        }
        ASSERT_EQ(form->Graphe.ListeRepere.size(), 1u);
        EXPECT_EQ(form->Graphe.ListeRepere[0].Text, "ajout");
        EXPECT_EQ(form->LambdaSE->Value(), 512);
        EXPECT_EQ(form->Cinetique.DeltatMesure, 4);
        EXPECT_EQ(form->Cinetique.DureeMesure, 200);
        EXPECT_EQ(Visibles(), QStringList({"RàZ", "Sauver", "Quitter", "Zéro/Blanc"}));
        EXPECT_TRUE(form->PanneauAnalyse->isVisible());
        EXPECT_TRUE(form->TravailNonSauve());
        EXPECT_TRUE(QFile::exists(chemin)) << "kept until the run is saved";

        form->KurvalisMClick(form->ClipM);
        EXPECT_TRUE(LitPressePapier().contains("\r\n8\t0.3\r\n"));
        EXPECT_FALSE(QFile::exists(chemin));
        // Measured in another session: a new run starts from the wavelength step.
        form->ResetBtnClick();
        EXPECT_EQ(form->EtatAcq(), eaReglageLambda);
    }
    // No journal, no question; and a window shown again does not ask twice.
    dialogues.questions.clear();
    form->hide();
    form->show();
    Attends([] { return false; }, 50);
    EXPECT_TRUE(dialogues.questions.isEmpty());
}

// ------------------------------------------------------------------ readable while it runs

TEST_F(Cinetique, OrdinateGrowsDuringTheRunToKeepEveryPointInView)
{
    appareil.absorbance = [](double t) { return t < 10 ? -0.05 : t / 60; };
    Prepare();
    appareil.origine = horloge.ms;
    form->StartBtnClick();
    QList<double> maxis{form->Graphe.mondeY.maxi};
    while (form->EtatAcq() == eaEnCours) {
        const Tgraphe& g = form->Graphe;
        const qint32 n = g.NbrePoints;
        for (qint32 i = 0; i < n; ++i) {
            EXPECT_GE(g.valeurY[i], g.mondeY.mini) << i;
            EXPECT_LE(g.valeurY[i], g.mondeY.maxi) << i;
        }
        // The newest point is on the picture, drawn where the axis now puts it.
        qint32 xi, yi;
        g.WindowXY(g.valeurX[n - 1], g.valeurY[n - 1], xi, yi);
        EXPECT_LT(qGray(form->Oscillo->image.pixel(xi, yi)), 60) << n;
        if (maxis.last() != g.mondeY.maxi)
            maxis << g.mondeY.maxi;
        EXPECT_EQ(g.mondeY.mini, -0.1);
        Ticks(1);
    }
    EXPECT_EQ(maxis, QList<double>({1, 1.5, 2}));
    // The end-of-run rescale as before.
    EXPECT_EQ(form->Graphe.mondeY.mini, 0);
    EXPECT_DOUBLE_EQ(form->Graphe.mondeY.maxi, 123 / 60.0);
}

// Writes a picture of a finished run when KELVOR_CAPTURE_DIR names a folder.
TEST_F(Cinetique, CaptureOfAFinishedRun)
{
    const QString sortie = qEnvironmentVariable("KELVOR_CAPTURE_DIR");
    if (sortie.isEmpty())
        GTEST_SKIP() << "KELVOR_CAPTURE_DIR not set";
    const LocaleFixe francais(QLocale::French, QLocale::France);
    form->resize(900, 560);
    Prepare();
    appareil.origine = horloge.ms;
    form->StartBtnClick();
    for (int i = 1; i < 42 && form->EtatAcq() == eaEnCours; ++i) {
        horloge.Avance(3000);
        form->TimerTimer();
        if (i == 10 || i == 25) {
            horloge.Avance(1000);
            dialogues.Repond(true, i == 10 ? "ajout réactif" : "agitation");
            form->RepereBtnClick();
            horloge.Avance(-1000);
        }
    }
    ASSERT_EQ(form->EtatAcq(), eaTerminee);
    EXPECT_TRUE(form->grab().save(sortie + "/kinetics-finished-run.png"));
}
