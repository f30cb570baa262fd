#pragma once

#include <QDialog>
#include <QUrl>
#include <functional>

class QPushButton;

namespace kelvor {

// Home page of the program, and the update page opened by "Version à jour".
extern const QString PageAccueil;
QString PageMiseAJour();

class TAboutBox : public QDialog
{
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    // Opens a web page through the desktop shell; replaced by tests.
    std::function<bool(const QUrl&)> ouvrePage;

    QPushButton* MiseAJourBtn = nullptr;
    QPushButton* OKBtn = nullptr;

    // Opens the update page; says so when the shell cannot.
    void MiseAJourBtnClick();

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace kelvor
