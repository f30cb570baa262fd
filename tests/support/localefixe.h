#pragma once
// Switches the default locale for one scope and puts the previous one back.

#include <QLocale>

class LocaleFixe
{
public:
    explicit LocaleFixe(const QLocale& locale) : ancienne_(QLocale()) { QLocale::setDefault(locale); }
    LocaleFixe(QLocale::Language langue, QLocale::Territory pays)
        : LocaleFixe(QLocale(langue, pays))
    {
    }
    ~LocaleFixe() { QLocale::setDefault(ancienne_); }
    LocaleFixe(const LocaleFixe&) = delete;
    LocaleFixe& operator=(const LocaleFixe&) = delete;

private:
    QLocale ancienne_;
};
