#include "message_box.h"

#include <QApplication>
#include <QMessageBox>

namespace platform {

MessageBoxService::~MessageBoxService() = default;

std::unique_ptr<QMessageBox> makeMessageBox(const QString& text, QWidget* parent)
{
    auto box = std::make_unique<QMessageBox>(QMessageBox::NoIcon, QString::fromLatin1(kApplicationTitle), QString(),
                                             QMessageBox::Ok, parent);
    // Before the text: otherwise Qt guesses rich text from it.
    box->setTextFormat(Qt::PlainText);
    box->setText(text);
    return box;
}

void QtMessageBox::show(const QString& text)
{
    makeMessageBox(text, QApplication::activeWindow())->exec();
}

} // namespace platform
