#include "util/dialogues.h"

#include <QDebug>

namespace kelvor {

namespace {

// Used before the program installs its boxes: every question is declined, so nothing
// irreversible happens without a person agreeing.
class TDialoguesRefus : public TDialogues
{
public:
    void Message(const QString& texte) override { qWarning().noquote() << texte; }
    bool Confirme(const QString&, TBoutons) override { return false; }
    bool Saisie(const QString&, const QString&, QString&) override { return false; }
    QString FichierSauve(const QString&, const QString&, const QString&,
                         const QString&) override
    {
        return {};
    }
    QString FichierOuvre(const QString&, const QString&, const QString&) override { return {}; }
    bool Execute(QDialog&) override { return false; }
    void Bip() override {}
};

TDialogues* dialoguesInstalles = nullptr;

} // namespace

TDialogues& Dialogues()
{
    static TDialoguesRefus refus;
    return dialoguesInstalles ? *dialoguesInstalles : refus;
}

void SetDialogues(TDialogues* dialogues)
{
    dialoguesInstalles = dialogues;
}

} // namespace kelvor
