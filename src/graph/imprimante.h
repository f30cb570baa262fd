#pragma once
// Where a printed graph goes: one landscape page whose surface the graph draws on. The
// program installs the system printer; tests install a PDF file instead.

#include "graph/canevas.h"

#include <QString>

#include <functional>
#include <memory>

class QPdfWriter;

namespace kelvor {

class TImprimante
{
public:
    virtual ~TImprimante() = default;
    // Starts a landscape job of one page and returns the page's surface (valid until
    // Termine or Abandonne); nullptr with a French reason in erreur when it cannot start.
    virtual TCanevas* Commence(QString& erreur) = 0;
    // Ends the job, which sends the page.
    virtual void Termine() = 0;
    // Ends the job after a failure while drawing.
    virtual void Abandonne() = 0;
};

// The printer in use, or nullptr when none has been installed; the caller keeps ownership.
TImprimante* Imprimante();
void SetImprimante(TImprimante* imprimante);

// A drawing of a whole picture on a surface, filling the given rectangle.
using TDessin = std::function<void(TCanevas& canevas, const TRectangle& rect)>;
// Asks "Impression ?" and prints the drawing on one page of the installed printer; a
// printer that cannot start says why.
void ImprimeDessin(const TDessin& dessin);

// Prints to a PDF file: A4 landscape at the given resolution.
class TImprimantePdf : public TImprimante
{
public:
    explicit TImprimantePdf(const QString& chemin, int pointsParPouce = 300);
    ~TImprimantePdf() override;

    TCanevas* Commence(QString& erreur) override;
    void Termine() override;
    void Abandonne() override;

private:
    QString chemin_;
    int resolution_;
    std::unique_ptr<QPdfWriter> pdf_;
    std::unique_ptr<TCanevasQt> page_;
};

} // namespace kelvor
