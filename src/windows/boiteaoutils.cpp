#include "windows/boiteaoutils.h"

#include "windows/kelvorconst.h"
#include "windows/spectdde.h"
#include "platform/pressepapier.h"
#include "util/dialogues.h"
#include "windows/communs.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QShortcut>
#include <QToolButton>

namespace kelvor {

TSablier::TSablier()
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

TSablier::~TSablier()
{
    QGuiApplication::restoreOverrideCursor();
}

namespace {

struct TParties
{
    QString bulle;      // the short part, or the long one when there is none
    QString longue;
};

TParties Parties(const QString& indication)
{
    const qsizetype barre = indication.indexOf('|');
    if (barre < 0)
        return {indication, indication};
    const QString court = indication.left(barre);
    const QString longue = indication.mid(barre + 1);
    return {court.isEmpty() ? longue : court, longue};
}

} // namespace

void Indication(QWidget* w, const QString& indication, TBulle bulle)
{
    const TParties p = Parties(indication);
    if (bulle == buAvec)
        w->setToolTip(p.bulle);
    w->setStatusTip(p.longue);
    w->setAccessibleDescription(p.longue);
}

void Indication(QAction* a, const QString& indication)
{
    const TParties p = Parties(indication);
    a->setToolTip(p.bulle);
    a->setStatusTip(p.longue);
}

void ProposeSauvegarde(bool nonSauve, const std::function<void()>& sauve)
{
    if (nonSauve && Dialogues().Confirme(QStringLiteral("Sauvegarde"), TDialogues::bOuiNon))
        sauve();
}

TConstanteDlg* DialogueParametres(const TFormDDE* dde)
{
    return dde ? dde->ConstanteDlg : nullptr;
}

TValeursConstante ValeursParametres(const TFormDDE* dde)
{
    const TConstanteDlg* dlg = DialogueParametres(dde);
    return dlg ? dlg->Valeurs() : TValeursConstante{};
}

QString ExecutableEnvoi(const TFormDDE* dde)
{
    return dde ? dde->Executable : QCoreApplication::applicationFilePath();
}

bool ConfirmeEnvoi(const TFormDDE* dde)
{
    TConstanteDlg* dlg = DialogueParametres(dde);
    return dlg && dlg->Montre();
}

void EnvoieTable(TFormDDE* dde, const QStringList& lignes, bool envoyer)
{
    if (dde)
        dde->EnvoieTable(lignes, envoyer);
    else
        CopiePressePapier(TexteBloc(lignes));
}

TDestinations::TDestinations(QToolButton* bouton) : QObject(bouton), bouton_(bouton)
{
    Menu = new QMenu(bouton);
    groupe_ = new QActionGroup(this);
    // Settings may leave every destination unchecked.
    groupe_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    const auto item = [&](const QString& texte, TDestination quoi) {
        QAction* a = Menu->addAction(ImageDestination(quoi), texte);
        a->setCheckable(true);
        a->setData(quoi);
        groupe_->addAction(a);
        return a;
    };
    KurvalisM = item(QStringLiteral("vers Kurvalis"), deKurvalis);
    ClipM = item(QStringLiteral("vers presse papiers"), dePressePapier);
    FileM = item(QStringLiteral("vers fichier"), deFichier);
    connect(groupe_, &QActionGroup::triggered, this, &TDestinations::Choix);
    bouton->setMenu(Menu);
    bouton->setPopupMode(QToolButton::MenuButtonPopup);
    bouton->installEventFilter(this);

    // The spectrum window's key for saving; a hidden or disabled button takes no key.
    auto* sauver = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), bouton);
    sauver->setContext(Qt::WindowShortcut);
    connect(sauver, &QShortcut::activated, bouton, [bouton] {
        if (bouton->isVisible() && bouton->isEnabled())
            bouton->click();
    });
}

void TDestinations::Coche(bool kurvalis, bool clip, bool fichier)
{
    const std::pair<QAction*, bool> etats[] = {{KurvalisM, kurvalis}, {ClipM, clip}, {FileM, fichier}};
    for (const auto& [item, coche] : etats)
        if (coche)
            Choisit(item);
}

void TDestinations::Choisit(QAction* item)
{
    item->setChecked(true);
    bouton_->setIcon(item->icon());
}

bool TDestinations::eventFilter(QObject* objet, QEvent* event)
{
    if (objet != bouton_ || event->type() != QEvent::KeyPress)
        return QObject::eventFilter(objet, event);
    const auto* touche = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers mods = touche->modifiers() & ~Qt::KeypadModifier;
    const bool bas = touche->key() == Qt::Key_Down
                     && (mods == Qt::NoModifier || mods == Qt::AltModifier);
    if (bas || touche->key() == Qt::Key_Menu) {
        bouton_->showMenu();
        return true;
    }
    return false;
}

} // namespace kelvor
