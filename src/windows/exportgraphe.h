#pragma once
// The graph of a measurement window leaves as an image file, on the clipboard or on
// paper. Each window hands over how it draws its whole graph on a surface; the format
// follows the file's extension: PNG (raster), SVG and PDF (vector).

#include "graph/imprimante.h"

#include <QImage>
#include <QSize>
#include <QString>

class QToolButton;

namespace kelvor {

// Raster images and the clipboard: big enough for a slide or a report.
inline constexpr QSize TailleImageGraphe{1600, 900};
// The save dialog's file types, PNG first.
extern const QString FiltreImages;

QImage ImageGraphe(const TDessin& dessin, QSize taille = TailleImageGraphe);
// Writes the graph to nom in the format of its extension (png, svg or pdf, any case);
// false with a French reason otherwise.
bool EcritImageGraphe(const TDessin& dessin, const QString& nom, QString* erreur = nullptr);

// "Image du graphe...": the save dialog, then the file; a failure is said in a box.
void ExporteImageGraphe(const TDessin& dessin);
// "Copier l'image": the raster image on the clipboard.
void CopieImageGraphe(const TDessin& dessin);
// Gives a window's print button a drop-down with both, also on Ctrl+Maj+E and Ctrl+Maj+C
// in that window.
void AjouteMenuImage(QToolButton& bouton, const TDessin& dessin);

} // namespace kelvor
