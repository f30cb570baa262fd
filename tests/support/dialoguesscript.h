#pragma once
// Scripted dialogues for tests: answers are queued in advance, every text shown is
// recorded, and a prompt with no queued answer fails the test.

#include "util/dialogues.h"

#include <QDialog>
#include <QStringList>
#include <deque>
#include <functional>
#include <gtest/gtest.h>

namespace kelvor {

class TDialoguesScript : public TDialogues
{
public:
    struct Reponse
    {
        bool accepte = true;
        QString texte;                              // input box text or file name
        std::function<void(QDialog&)> remplit = {}; // fills a modal dialog before it closes
    };

    TDialoguesScript() { SetDialogues(this); }
    ~TDialoguesScript() override { SetDialogues(nullptr); }

    QStringList messages;       // plain messages, in order
    QStringList questions;      // confirmations, input prompts, dialog titles, in order
    int bips = 0;
    std::deque<Reponse> reponses;

    void Repond(bool accepte, const QString& texte = {}) { reponses.push_back({accepte, texte}); }
    void RepondDialogue(bool accepte, std::function<void(QDialog&)> remplit)
    {
        reponses.push_back({accepte, {}, std::move(remplit)});
    }

    void Message(const QString& texte) override { messages << texte; }
    bool Confirme(const QString& texte, TBoutons) override
    {
        questions << texte;
        return Suivante(texte).accepte;
    }
    bool Saisie(const QString& titre, const QString& invite, QString& valeur) override
    {
        questions << titre + "|" + invite;
        const Reponse r = Suivante(titre);
        if (r.accepte)
            valeur = r.texte;
        return r.accepte;
    }
    QString FichierSauve(const QString& titre, const QString&, const QString&,
                         const QString&) override
    {
        questions << titre;
        const Reponse r = Suivante(titre);
        return r.accepte ? r.texte : QString();
    }
    QString FichierOuvre(const QString& titre, const QString&, const QString&) override
    {
        questions << titre;
        const Reponse r = Suivante(titre);
        return r.accepte ? r.texte : QString();
    }
    bool Execute(QDialog& dialogue) override
    {
        questions << dialogue.windowTitle();
        const Reponse r = Suivante(dialogue.windowTitle());
        if (r.remplit)
            r.remplit(dialogue);
        return r.accepte;
    }
    void Bip() override { ++bips; }

private:
    Reponse Suivante(const QString& quoi)
    {
        if (reponses.empty()) {
            ADD_FAILURE() << "unexpected prompt: " << quoi.toStdString();
            return {false, {}};
        }
        Reponse r = reponses.front();
        reponses.pop_front();
        return r;
    }
};

} // namespace kelvor
