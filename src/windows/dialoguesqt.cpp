#include "windows/dialoguesqt.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QRegularExpression>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>

namespace kelvor {

QString FiltreQt(const QString& filtre)
{
    const QStringList parts = filtre.split('|');
    QStringList entrees;
    for (int i = 0; i < parts.size(); i += 2)
        entrees << parts[i];
    return entrees.join(";;");
}

namespace {

// Standard buttons with French captions, whatever translations the system has.
QMessageBox::StandardButton Boite(QMessageBox::Icon icone, const QString& texte,
                                  QMessageBox::StandardButtons boutons,
                                  QMessageBox::StandardButton defaut)
{
    QMessageBox boite(icone, QCoreApplication::applicationName(), texte, boutons,
                      QApplication::activeWindow());
    const std::pair<QMessageBox::StandardButton, const char*> textes[] = {
        {QMessageBox::Ok, "OK"}, {QMessageBox::Cancel, "Annuler"},
        {QMessageBox::Yes, "&Oui"}, {QMessageBox::No, "&Non"}};
    for (const auto& [bouton, texteBouton] : textes)
        if (QAbstractButton* b = boite.button(bouton))
            b->setText(QString::fromUtf8(texteBouton));
    boite.setDefaultButton(defaut);
    // The image beside the text is read out too: name it after what it signals.
    if (auto* image = boite.findChild<QLabel*>(QStringLiteral("qt_msgboxex_icon_label")))
        image->setAccessibleName(icone == QMessageBox::Question ? QStringLiteral("Question")
                                                                : QStringLiteral("Avertissement"));
    return QMessageBox::StandardButton(boite.exec());
}

} // namespace

void TDialoguesQt::Message(const QString& texte)
{
    Boite(QMessageBox::NoIcon, texte, QMessageBox::Ok, QMessageBox::Ok);
}

bool TDialoguesQt::Confirme(const QString& texte, TBoutons boutons)
{
    const auto oui = boutons == bOuiNon ? QMessageBox::Yes : QMessageBox::Ok;
    const auto non = boutons == bOuiNon ? QMessageBox::No : QMessageBox::Cancel;
    return Boite(QMessageBox::Question, texte, oui | non, oui) == oui;
}

bool TDialoguesQt::Saisie(const QString& titre, const QString& invite, QString& valeur)
{
    QInputDialog saisie(QApplication::activeWindow());
    saisie.setWindowTitle(titre);
    saisie.setLabelText(invite);
    saisie.setTextValue(valeur);
    saisie.setOkButtonText(QStringLiteral("OK"));
    saisie.setCancelButtonText(QStringLiteral("Annuler"));
    if (saisie.exec() != QDialog::Accepted)
        return false;
    valeur = saisie.textValue();
    return true;
}

QString TDialoguesQt::FichierSauve(const QString& titre, const QString& filtre,
                                   const QString& extensionDefaut, const QString& nom)
{
    QFileDialog dlg(QApplication::activeWindow(), titre, nom, FiltreQt(filtre));
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setDefaultSuffix(extensionDefaut);
    // A bare name takes the extension of the file type chosen in the list.
    QObject::connect(&dlg, &QFileDialog::filterSelected, &dlg, [&dlg](const QString& type) {
        const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("\\(\\*\\.(\\w+)")).match(type);
        if (m.hasMatch())
            dlg.setDefaultSuffix(m.captured(1));
    });
    // Choosing an existing name replaces that file without a further question.
    dlg.setOption(QFileDialog::DontConfirmOverwrite);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return {};
    return dlg.selectedFiles().first();
}

QString TDialoguesQt::FichierOuvre(const QString& titre, const QString& filtre, const QString& nom)
{
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), titre, nom,
                                        FiltreQt(filtre));
}

bool TDialoguesQt::Execute(QDialog& dialogue)
{
    return dialogue.exec() == QDialog::Accepted;
}

void TDialoguesQt::Bip()
{
    QApplication::beep();
}

} // namespace kelvor
