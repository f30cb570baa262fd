#include "windows/impression.h"

#include "util/dialogues.h"
#include "util/nomfichier.h"

#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>

namespace kelvor {

namespace {

// The PDF file offered instead of a missing printer; empty when the user declines.
QString FichierPdf()
{
    if (!Dialogues().Confirme(QStringLiteral("Aucune imprimante n'est installée.\n"
                                             "Enregistrer la page dans un fichier PDF ?"),
                              TDialogues::bOuiNon))
        return {};
    const QString nom = Dialogues().FichierSauve(QStringLiteral("Enregistrer la page en PDF"),
                                                 QStringLiteral("Document PDF (*.pdf)|*.pdf"),
                                                 QStringLiteral("pdf"), {});
    return nom.isEmpty() ? nom : AvecExtension(nom, QStringLiteral("pdf"));
}

} // namespace

TImprimanteSysteme::TImprimanteSysteme() = default;

TImprimanteSysteme::~TImprimanteSysteme()
{
    Abandonne();
}

TCanevas* TImprimanteSysteme::Commence(QString& erreur)
{
    Abandonne();
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        // Many classroom machines have no printer: the page can still leave as a PDF.
        erreur = QStringLiteral("Aucune imprimante n'est installée : impression impossible.");
        const QString pdf = FichierPdf();
        if (pdf.isEmpty())
            return nullptr;
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer_->setOutputFormat(QPrinter::PdfFormat);
        printer_->setOutputFileName(pdf);
    } else {
        printer_ = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    }
    printer_->setPageOrientation(QPageLayout::Landscape);
    page_ = std::make_unique<TCanevasQt>();
    if (!page_->Attache(printer_.get())) {
        erreur = info.isNull()
                     ? QStringLiteral("Impossible d'écrire le fichier « %1 ».").arg(printer_->outputFileName())
                     : QStringLiteral("L'imprimante « %1 » ne répond pas : impression impossible.")
                           .arg(info.printerName());
        page_.reset();
        printer_.reset();
        return nullptr;
    }
    return page_.get();
}

void TImprimanteSysteme::Termine()
{
    page_.reset(); // ending the painter sends the page
    printer_.reset();
}

void TImprimanteSysteme::Abandonne()
{
    if (page_ && printer_)
        printer_->abort();
    page_.reset();
    printer_.reset();
}

} // namespace kelvor
