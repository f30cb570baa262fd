#include "windows/impression.h"

#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>

namespace kelvor {

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
        erreur = QStringLiteral("Aucune imprimante n'est installée : impression impossible.");
        return nullptr;
    }
    printer_ = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    printer_->setPageOrientation(QPageLayout::Landscape);
    page_ = std::make_unique<TCanevasQt>();
    if (!page_->Attache(printer_.get())) {
        erreur = QStringLiteral("L'imprimante « %1 » ne répond pas : impression impossible.")
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
