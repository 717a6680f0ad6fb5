#include "desktop_services.h"

#include <QMessageBox>
#include <cstdio>
#include <cstdlib>

namespace tovaro::gui {

void ModalMessageBoxes::Information(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox::information(parent, title, text, QMessageBox::Ok);
}

void ModalMessageBoxes::Warning(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox::warning(parent, title, text, QMessageBox::Ok);
}

void EndProcessNow()
{
    std::fflush(nullptr);
    std::_Exit(0);
}

} // namespace tovaro::gui
