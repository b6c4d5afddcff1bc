#include "message_box.h"

#include <QApplication>
#include <QMessageBox>

namespace platform {

MessageBoxService::~MessageBoxService() = default;

void QtMessageBox::show(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kApplicationTitle), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

}  // namespace platform
