#pragma once
// Beside the spectrum graph: λmax of the current spectrum, the colour of the solution, and
// the legend of the spectra on the graph ("Garder" keeps the current scan, "Ajouter..."
// adds one from a file, a spectrum can be hidden or removed). It also draws what these add
// to the graph and gives the graph's exports. The window calls it at a few moments: a new
// current spectrum, a scan starting, the range markers moving, each repaint.

#include "graph/graphker.h"
#include "graph/imprimante.h"
#include "mesure/couleursolution.h"
#include "mesure/pics.h"
#include "mesure/superposition.h"

#include <QWidget>

#include <functional>

class QAction;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QToolBar;

namespace kelvor {

class TPanneauSpectre : public QWidget
{
    Q_OBJECT

public:
    // The graph is the window's: its values are the current spectrum.
    explicit TPanneauSpectre(Tgraphe& graphe, QWidget* parent = nullptr);

    std::function<void()> Redessine;    // the window's full repaint of the graph

    // The graph holds a new current spectrum (a scan ended, a file opened in its place).
    void NouveauCourant(const QString& nom, qint32 debut, qint32 fin);
    // A scan starts: the current spectrum gives way, its readouts with it.
    void BalayageCommence();
    // The range markers moved: peaks and colour are those of the spectrum between them.
    void PlageChange(qint32 debut, qint32 fin);
    // After the graph drew the current spectrum: the others, the peaks and the legend.
    void TraceSurGraphe(TCanevas& canevas, Tgraphe& g) const;
    // The whole graph as the window shows it, for images and printing.
    TDessin Dessin() const;

    // Adds "Imprimer" (with the image entries in its drop-down) to the tool bar before
    // avant, and the spreadsheet export to the menu of the save action.
    void InstalleActions(QToolBar& barre, QAction* avant, QAction& sauver);

    void GarderClick();
    void AjouterClick();
    void RetirerClick();
    void ExporteTableurClick();
    void ImprimeClick();

    // The absorbance axis reaches the highest of the other spectra too.
    void AjusteAxe();

    const TSuperposition& Superposition() const { return superposition_; }
    const TPics& Pics() const { return pics_; }

    QLabel* LambdaMaxLabel = nullptr;
    QLabel* Pastille = nullptr;         // the colour itself
    QLabel* CouleurLabel = nullptr;
    QListWidget* Legende = nullptr;
    QPushButton* GarderBtn = nullptr;
    QPushButton* AjouterBtn = nullptr;
    QPushButton* RetirerBtn = nullptr;

protected:
    bool eventFilter(QObject* objet, QEvent* event) override;

private:
    void Analyse();
    void AfficheAnalyse();
    void MajLegende();
    void LegendeCochee(QListWidgetItem* item);
    void Change();

    Tgraphe& graphe_;
    TSuperposition superposition_;
    TPics pics_;
    TCouleurSolution couleur_;
    bool avecCourant_ = false;
    qint32 debut_ = 0;
    qint32 fin_ = 0;
    bool majLegende_ = false;
};

} // namespace kelvor
