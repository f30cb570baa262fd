#pragma once
// The program's real boxes behind the dialogue seam.

#include "util/dialogues.h"

namespace kelvor {

class TDialoguesQt : public TDialogues
{
public:
    void Message(const QString& texte) override;
    bool Confirme(const QString& texte, TBoutons boutons) override;
    bool Saisie(const QString& titre, const QString& invite, QString& valeur) override;
    QString FichierSauve(const QString& titre, const QString& filtre,
                         const QString& extensionDefaut, const QString& nom) override;
    QString FichierOuvre(const QString& titre, const QString& filtre,
                         const QString& nom) override;
    bool Execute(QDialog& dialogue) override;
    void Bip() override;
};

// "Caption (*.a)|*.a|Other (*.b)|*.b" to Qt's "Caption (*.a);;Other (*.b)".
QString FiltreQt(const QString& filtre);

} // namespace kelvor
