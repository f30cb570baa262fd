#include "graph/imprimante.h"

#include "util/dialogues.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

namespace kelvor {

namespace {
TImprimante* imprimanteCourante = nullptr;
}

TImprimante* Imprimante()
{
    return imprimanteCourante;
}

void SetImprimante(TImprimante* imprimante)
{
    imprimanteCourante = imprimante;
}

TImprimantePdf::TImprimantePdf(const QString& chemin, int pointsParPouce)
    : chemin_(chemin), resolution_(pointsParPouce)
{}

TImprimantePdf::~TImprimantePdf()
{
    Abandonne();
}

TCanevas* TImprimantePdf::Commence(QString& erreur)
{
    Abandonne();
    pdf_ = std::make_unique<QPdfWriter>(chemin_);
    pdf_->setResolution(resolution_);
    pdf_->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                    QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
    page_ = std::make_unique<TCanevasQt>();
    if (!page_->Attache(pdf_.get())) {
        erreur = QStringLiteral("Impossible d'écrire le fichier « %1 ».").arg(chemin_);
        page_.reset();
        pdf_.reset();
        return nullptr;
    }
    return page_.get();
}

void ImprimeDessin(const TDessin& dessin)
{
    if (!Dialogues().Confirme(QStringLiteral("Impression ?"), TDialogues::bOkAnnuler))
        return;
    TImprimante* imprimante = Imprimante();
    QString erreur;
    TCanevas* page = imprimante ? imprimante->Commence(erreur) : nullptr;
    if (!page) {
        Dialogues().Message(erreur.isEmpty()
                                ? QStringLiteral("Aucune imprimante n'est installée : "
                                                 "impression impossible.")
                                : erreur);
        return;
    }
    try {
        dessin(*page, page->ClipRect());
    } catch (...) {
        imprimante->Abandonne();
        throw;
    }
    imprimante->Termine();
}

void TImprimantePdf::Termine()
{
    page_.reset(); // ending the painter writes the file
    pdf_.reset();
}

void TImprimantePdf::Abandonne()
{
    Termine();
}

} // namespace kelvor
