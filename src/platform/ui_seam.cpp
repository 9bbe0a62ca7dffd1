#include "platform/ui_seam.h"

#include <QFileDialog>
#include <QMessageBox>

void WidgetUiSeam::message(QWidget *parent, const QString &title, const QString &text, Icon icon)
{
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Warning: box.setIcon(QMessageBox::Warning); break;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

bool WidgetUiSeam::question(QWidget *parent, const QString &title, const QString &text)
{
    return QMessageBox::warning(parent, title, text, QMessageBox::Yes | QMessageBox::No,
                                QMessageBox::No)
           == QMessageBox::Yes;
}

std::optional<QString> WidgetUiSeam::saveFileName(QWidget *parent, const QString &startPath,
                                                  const QStringList &filters)
{
    const QString path = QFileDialog::getSaveFileName(parent, QString(), startPath,
                                                      filters.join(QStringLiteral(";;")));
    if (path.isEmpty())
        return std::nullopt;
    return path;
}
