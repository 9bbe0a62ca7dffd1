#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

// Every modal window the program opens goes through here, so that tests can
// answer them without blocking.
class UiSeam {
public:
    enum class Icon { None, Information, Warning };

    virtual ~UiSeam() = default;

    // A modal message box with an OK button only; returns when it is closed.
    virtual void message(QWidget *parent, const QString &title, const QString &text, Icon icon) = 0;

    // A modal warning with the buttons Yes and No, No being the default.
    // Returns true when the user chose Yes.
    virtual bool question(QWidget *parent, const QString &title, const QString &text) = 0;

    // A modal save dialog. `filters` are Qt filter texts ("Desc (*.ext)").
    // Returns the chosen path, or nothing when the user cancelled.
    virtual std::optional<QString> saveFileName(QWidget *parent, const QString &startPath,
                                                const QStringList &filters) = 0;
};

// The real thing: QMessageBox and QFileDialog.
class WidgetUiSeam : public UiSeam {
public:
    void message(QWidget *parent, const QString &title, const QString &text, Icon icon) override;
    bool question(QWidget *parent, const QString &title, const QString &text) override;
    std::optional<QString> saveFileName(QWidget *parent, const QString &startPath,
                                        const QStringList &filters) override;
};
