#pragma once

#include <QApplication>

namespace kelvor {

// The application object: one place where an exception that no handler took is
// reported in a box, after which the event loop goes on.
class TApplication : public QApplication
{
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Shows the message of an unhandled failure and undoes the wait appearance.
void RapporteErreur(const QString& message);

} // namespace kelvor
