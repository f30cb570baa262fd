#pragma once
// The system's default printer as the graph's printer.

#include "graph/imprimante.h"

#include <memory>

class QPrinter;

namespace kelvor {

class TImprimanteSysteme : public TImprimante
{
public:
    TImprimanteSysteme();
    ~TImprimanteSysteme() override;

    TCanevas* Commence(QString& erreur) override;
    void Termine() override;
    void Abandonne() override;

private:
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<TCanevasQt> page_;
};

} // namespace kelvor
