#pragma once
// Every modal interaction goes through this seam: the program shows real boxes,
// tests answer from a script and record each text shown.

#include <QString>

class QDialog;

namespace kelvor {

class TDialogues
{
public:
    enum TBoutons { bOkAnnuler, bOuiNon };

    virtual ~TDialogues() = default;
    // Plain message box with an OK button.
    virtual void Message(const QString& texte) = 0;
    // Confirmation; true for OK or Yes.
    virtual bool Confirme(const QString& texte, TBoutons boutons) = 0;
    // Input box; true when confirmed, the text typed in valeur.
    virtual bool Saisie(const QString& titre, const QString& invite, QString& valeur) = 0;
    // File dialogs: the chosen path, or the empty text when cancelled. filtre uses the
    // "Caption (*.ext)|*.ext|..." form; extensionDefaut is appended to a bare name.
    virtual QString FichierSauve(const QString& titre, const QString& filtre,
                                 const QString& extensionDefaut, const QString& nom) = 0;
    virtual QString FichierOuvre(const QString& titre, const QString& filtre,
                                 const QString& nom) = 0;
    // Shows a dialog modally; true when it was accepted.
    virtual bool Execute(QDialog& dialogue) = 0;
    // The system's exclamation beep.
    virtual void Bip() = 0;
};

// The dialogues in use; SetDialogues installs them (the caller keeps ownership).
TDialogues& Dialogues();
void SetDialogues(TDialogues* dialogues);

} // namespace kelvor
